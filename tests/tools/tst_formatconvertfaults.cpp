// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QDir>
#include <QRandomGenerator>
#include <QUuid>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "common/globals.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

// Faults from outside (a missing converter is tst_voicedata's): vanishing folders and inputs,
// damaged files, hostile names and stops at random moments. Whatever happens,
// every job ends in a final state, nothing hangs and no input is touched.
class TestFormatConvertFaults : public ToolFixture
{
    Q_OBJECT
private:
    QScopedPointer<QTemporaryDir> standIn;
    ToolsBaseWidget *panel = nullptr;
    QHash<VoiceData *, int> finishedCount;
    QString tone(const QString &name, double seconds = 0.5)
    {
        const QString path = inputs.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        return TestSupport::makeTone(path, seconds) ? path : QString();
    }

    // Jobs without the probe: records made from the name alone.
    void addRecords(const QStringList &paths)
    {
        for (const QString &path : paths) {
            VoiceData record;
            record.filePath = path;
            record.fileName = QFileInfo(path).fileName();
            panel->AddVoiceData(&record);
        }
    }

    // Presses Convert, counting every job's finished notices.
    void convert()
    {
        for (VoiceData *job : panel->jobs())
            connect(job, &VoiceData::convertfinished, this, [this, job] { ++finishedCount[job]; });
        panel->convertButton_slots();
    }
private slots:
    void init()
    {
        standIn.reset(new QTemporaryDir);
        window->setSameMaxCount(2);
        finishedCount.clear();
        panel = open(Format);
    }

    void cleanup()
    {
        ToolFixture::cleanup();
        window->setOutputFolder(outputs.path());
        for (const QString &name : outputFiles())
            QFile::remove(outputs.filePath(name));
    }

    void outputFolderLost_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("states");
        // Jobs named quick finish at once; the others wait for a go before writing.
        QTest::addRow("deleted while two jobs run") << "deleted" << QStringList{"2", "2", "3", "3"};
        QTest::addRow("never writable") << "/proc/1" << QStringList{"3", "3", "3", "3"};
    }

    void outputFolderLost()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, states);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            standIn->path(),
            QStringLiteral("case \"$2\" in *quick*) ;; *) while [ ! -e \"$(dirname \"$0\")/go\" ]; "
                           "do sleep 0.02; done ;; esac\ncp '%1' \"$out\"")
                .arg(tone(QStringLiteral("made.wav")))));
        g_appDir = standIn->path();
        QStringList paths;
        for (const char *name : {"quick-1.wav", "quick-2.wav", "late-3.wav", "late-4.wav"}) {
            paths << inputs.filePath(QLatin1String(name));
            QVERIFY(TestSupport::writeFileOfSize(paths.last(), 5000));
        }
        addRecords(paths);
        const QList<VoiceData *> jobs = panel->jobs();
        const bool deleted = folder == QLatin1String("deleted");
        window->setOutputFolder(deleted ? outputs.filePath(QStringLiteral("lost")) : folder);
        QVERIFY(deleted ? QDir().mkpath(window->outputFolder())
                        : TestSupport::writeFileOfSize(standIn->filePath(QStringLiteral("go")), 0));
        convert();
        if (deleted) {
            QTRY_VERIFY_WITH_TIMEOUT(jobs.at(2)->status() == VoiceData::Converting &&
                                         jobs.at(3)->status() == VoiceData::Converting,
                                     60000);
            QVERIFY(QDir(window->outputFolder()).removeRecursively());
            QVERIFY(TestSupport::writeFileOfSize(standIn->filePath(QStringLiteral("go")), 0));
        }
        QVERIFY(waitForEnd(panel));
        for (int i = 0; i < jobs.size(); ++i) {
            QCOMPARE(QString::number(jobs.at(i)->status()), states.at(i));
            QCOMPARE(finishedCount.value(jobs.at(i)), 1);
            QCOMPARE(QFileInfo(paths.at(i)).size(), qint64(5000));
        }
    }

    void troubledInputs_data()
    {
        QTest::addColumn<QString>("made");  // the input as added
        QTest::addColumn<QString>("later"); // what happens to it before Convert
        QTest::addColumn<int>("state");
        const QString none;
        // clang-format off
        QTest::addRow("zero bytes") << "empty" << none << int(VoiceData::Failed);
        QTest::addRow("not media, Grüße 日本") << "text" << none << int(VoiceData::Failed);
        QTest::addRow("truncated mp3") << "truncated" << none << int(VoiceData::Succeeded);
        QTest::addRow("deleted after adding") << "tone" << "delete" << int(VoiceData::Failed);
        QTest::addRow("replaced by text") << "tone" << "text" << int(VoiceData::Failed);
        QTest::addRow("replaced by longer audio") << "tone" << "tone" << int(VoiceData::Succeeded);
        // clang-format on
    }

    void troubledInputs()
    {
        QFETCH(QString, made);
        QFETCH(QString, later);
        QFETCH(int, state);
        const QString input =
            inputs.filePath(QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".mp3"));
        auto write = [&](const QString &kind, double seconds) {
            if (kind == QLatin1String("tone") || kind == QLatin1String("truncated"))
                QCOMPARE(tone(QFileInfo(input).fileName(), seconds), input);
            if (kind == QLatin1String("truncated")) // cut in the middle of a frame
                QVERIFY(QFile(input).resize(QFileInfo(input).size() / 2 + 77));
            if (kind == QLatin1String("empty") || kind == QLatin1String("text"))
                QVERIFY(TestSupport::writeFileOfSize(input, kind == QLatin1String("empty") ? 0 : 4000));
        };
        write(made, 3.0);
        panel->AddFiles({input});
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 60000);
        if (!later.isEmpty())
            QVERIFY(QFile::remove(input));
        write(later, 4.0);
        const QByteArray digest = TestSupport::fileDigest(input);
        convert();
        QVERIFY(waitForEnd(panel));
        VoiceData *job = panel->jobs().first();
        QCOMPARE(job->status(), state);
        QCOMPARE(finishedCount.value(job), 1);
        // A failure leaves nothing behind; a success is a file that probes as MP3.
        QCOMPARE(outputFiles().size(), state == VoiceData::Succeeded ? 1 : 0);
        VoiceData result;
        if (state == VoiceData::Succeeded)
            QVERIFY(TestSupport::probeFile(job->outputPath, result) &&
                    result.codecName == QLatin1String("mp3"));
        QCOMPARE(TestSupport::fileDigest(input), digest);
        // The reason reads as ffmpeg wrote it, whatever the script of the name.
        if (made == QLatin1String("text"))
            QVERIFY2(job->errorText.startsWith(input + QStringLiteral(": Invalid")),
                     qPrintable(job->errorText));
    }

    void awkwardNames()
    {
        // Each name with the output the naming rule gives it; list order counts for
        // the two that share a base name.
        const QList<QPair<QString, QString>> cases{
            {"with space.wav", "with space.mp3"},
            {"it's.wav", "it's.mp3"},
            {"say \"hi\".wav", "say \"hi\".mp3"},
            {"-dash.wav", "-dash.mp3"},
            {"ünïcødé 声音.wav", "ünïcødé 声音.mp3"},
            {"Output/inside a folder named Output.wav", "inside a folder named Output.mp3"},
            {"Case.wav", "Case.mp3"},
            {"case.wav", "case.mp3"},
            {"twice.wav", "twice.mp3"},
            {"line\nbreak.wav", "line\nbreak.mp3"},
            {"100%d.wav", "100%d.mp3"},
            {"pipe:1.wav", "pipe:1.mp3"},
            {"a\\b.wav", "a\\b.mp3"},
            {"twice.flac", "twice (0).mp3"},
            {QString(251, QLatin1Char('n')) + QStringLiteral(".wav"),
             QString(251, QLatin1Char('n')) + ".mp3"},
        };
        QStringList paths;
        QList<QByteArray> digests;
        for (const auto &c : cases) {
            paths << tone(c.first);
            QVERIFY2(!paths.last().isEmpty(), qPrintable(c.first));
            digests << TestSupport::fileDigest(paths.last());
        }
        panel->AddFiles(paths);
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), cases.size(), 60000);
        convert();
        QVERIFY(waitForEnd(panel));
        for (int i = 0; i < cases.size(); ++i) {
            VoiceData *job = panel->jobs().at(i);
            QVERIFY2(job->status() == VoiceData::Succeeded,
                     qPrintable(cases.at(i).first + QLatin1Char(' ') + job->errorText));
            QCOMPARE(job->outputPath, outputs.filePath(cases.at(i).second));
            VoiceData result;
            QVERIFY2(TestSupport::probeFile(job->outputPath, result) &&
                         result.codecName == QLatin1String("mp3"),
                     qPrintable(cases.at(i).first));
            QCOMPARE(TestSupport::fileDigest(paths.at(i)), digests.at(i));
        }
        QCOMPARE(outputFiles().size(), cases.size());
    }

    void randomStopsLeaveNoProcess()
    {
        // Every child carries the mark; a quarter write a result at once, the rest
        // hang with a child of their own until stopped.
        const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            standIn->path(),
            QStringLiteral("if [ -z \"$QV_MARK\" ]; then exec env QV_MARK=%1 \"$0\" \"$@\"; fi\n"
                           "case \"$2\" in *quick*) cp '%2' \"$out\"; exit 0 ;; esac\n"
                           "sleep 30 &\nwait")
                .arg(mark, tone(QStringLiteral("made.wav")))));
        g_appDir = standIn->path();
        QStringList paths;
        for (int i = 0; i < 200; ++i)
            paths << inputs.filePath(
                QStringLiteral("%1-%2.wav").arg(QLatin1String(i % 4 ? "hang" : "quick")).arg(i));
        addRecords(paths);
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        const QList<VoiceData *> jobs = panel->jobs();
        auto pending = [&jobs] {
            return std::any_of(jobs.cbegin(), jobs.cend(),
                               [](VoiceData *job) { return job->status() <= VoiceData::Converting; });
        };
        QSet<VoiceData *> requeued;
        convert();
        while (pending()) {
            QList<VoiceData *> running;
            for (VoiceData *job : jobs) {
                if (job->status() == VoiceData::Converting)
                    running << job;
            }
            if (!running.isEmpty())
                running.at(random.bounded(running.size()))->stopConvert();
            // Now and then a stopped job is queued again: a second run, a second notice.
            VoiceData *again = jobs.at(random.bounded(jobs.size()));
            if (again->status() == VoiceData::Stopped && random.bounded(4) == 0 &&
                !requeued.contains(again)) {
                requeued.insert(again);
                panel->Convertitem_slots(again);
            }
            QTest::qWait(random.bounded(20));
        }
        // A stopped run's notice comes once its killed child has ended.
        const auto noticed = [&] {
            for (VoiceData *job : jobs) {
                if (finishedCount.value(job) < (requeued.contains(job) ? 2 : 1))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(noticed(), 60000);
        for (int i = 0; i < jobs.size(); ++i) {
            QVERIFY(jobs.at(i)->status() == VoiceData::Stopped ||
                    jobs.at(i)->status() == VoiceData::Succeeded);
            QCOMPARE(finishedCount.value(jobs.at(i)), requeued.contains(jobs.at(i)) ? 2 : 1);
        }
        QVERIFY(!requeued.isEmpty());
        // A stopped run leaves no part file behind, once its child has gone.
        QTRY_COMPARE_WITH_TIMEOUT(
            TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_MARK"), mark), QList<qint64>(),
            60000);
        QTRY_COMPARE_WITH_TIMEOUT(
            QDir(outputs.path()).entryList({".quillvane-*"}, QDir::Files | QDir::Hidden), QStringList(),
            60000);
    }

    void diskFills_data()
    {
        QTest::addColumn<int>("format");  // entry of the option box
        QTest::addColumn<bool>("killed"); // by SIGXFSZ, or a write that fails and an exit with 0
        // clang-format off
        QTest::addRow("mp3") << 0 << false;
        QTest::addRow("aac") << 1 << false;
        QTest::addRow("flac") << 2 << false;
        QTest::addRow("wav") << 3 << false;
        QTest::addRow("amr") << 4 << false;
        QTest::addRow("mp3, killed") << 0 << true;
        // clang-format on
    }

    void diskFills()
    {
        QFETCH(int, format);
        QFETCH(bool, killed);
        // The real ffmpeg with room for 8 KiB per file, as on a disk that fills.
        QVERIFY(TestSupport::writeStandInFfmpeg(standIn->path(),
                                                QStringLiteral("%1ulimit -f 16\nexec /usr/bin/ffmpeg \"$@\"")
                                                    .arg(QLatin1String(killed ? "" : "trap '' XFSZ\n"))));
        g_appDir = standIn->path();
        choose(panel, format);
        panel->AddFiles({tone(QStringLiteral("eight.wav"), 8.0)});
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 60000);
        convert();
        QVERIFY(waitForEnd(panel));
        VoiceData *job = panel->jobs().first();
        QCOMPARE(job->status(), int(VoiceData::Failed));
        QCOMPARE(job->errorText, killed ? QStringLiteral("No usable output was written.")
                                        : QStringLiteral("The file grew larger than this disk allows."));
        QCOMPARE(QDir(outputs.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestFormatConvertFaults)
#include "tst_formatconvertfaults.moc"
