// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Mix and concat: one ffmpeg child for the whole list, mirrored into every
// entry. A stand-in ffmpeg holds a run at a gate, so that a test can act
// while it goes on.
#include <optional>

#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "app/wholelisttoolwidget.h"
#include "common/globals.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"
#include "tools/concatconvert/concatconvertwidget.h"
#include "tools/concatconvert/voiceconcatdata.h"
#include "tools/concatconvert/voiceconcatitemwidget.h"
#include "tools/mixconvert/mixconvertwidget.h"
#include "tools/mixconvert/voicemixdata.h"
#include "widgets/bgicontextbutton.h"

class TestWholeListTool : public ToolFixture
{
    Q_OBJECT
private:
    WholeListToolWidget *openList(int tool) { return qobject_cast<WholeListToolWidget *>(open(tool)); }
    void openGate() { QVERIFY(TestSupport::writeFileOfSize(standIn.filePath(QStringLiteral("gate")), 0)); }

    QTemporaryDir standIn;
    // Tones of 300, 500, 700 Hz ... under the given names, or numbered WAV files.
    QStringList tones(const QList<double> &seconds, const QStringList &names = QStringList())
    {
        QStringList paths;
        for (int i = 0; i < seconds.size(); ++i) {
            paths << inputs.filePath(
                names.value(i, QStringLiteral("tone%1-%2.wav").arg(i).arg(seconds.at(i))));
            if (!QFileInfo::exists(paths.last()) &&
                !TestSupport::makeTone(paths.last(), seconds.at(i), 300 + 200 * i, 8000, 1))
                return {};
        }
        return paths;
    }

    // Makes jobs run a stand-in ffmpeg: probes pass to the real one; a run
    // counts itself, creates its output, prints `statusLine`, waits for the
    // gate and then runs `finish`.
    bool useStandIn(const QString &finish, const QString &statusLine = QString())
    {
        g_appDir = standIn.path();
        return TestSupport::writeStandInFfmpeg(
            standIn.path(), QStringLiteral("[ $# -le 2 ] && exec /usr/bin/ffmpeg \"$@\"\n"
                                           "echo run >> '%1/runs'\n: > \"$out\"\nprintf '%s\\n' '%2'\n"
                                           "while [ ! -e '%1/gate' ]; do sleep 0.02; done\n%3")
                                .arg(standIn.path(), statusLine, finish));
    }

    int runCount() const
    {
        QFile runs(standIn.filePath(QStringLiteral("runs")));
        return runs.open(QIODevice::ReadOnly) ? runs.readAll().count('\n') : 0;
    }

    static bool allInState(WholeListToolWidget *panel, int state)
    {
        const QList<VoiceData *> entries = panel->jobs();
        return !entries.isEmpty() && std::all_of(entries.cbegin(), entries.cend(),
                                                 [state](VoiceData *e) { return e->status() == state; });
    }

    static VoiceConcatItemWidget *rowOf(WholeListToolWidget *panel, int position)
    {
        return qobject_cast<VoiceConcatItemWidget *>(
            panel->itemList()->searchMyTableItemWidget(panel->jobs().at(position)));
    }

    // "U" for a row showing Up, "D" for Down, "-" for neither, in list order.
    static QString arrows(WholeListToolWidget *panel)
    {
        QStringList shown;
        for (int i = 0; i < panel->jobs().size(); ++i) {
            const VoiceConcatItemWidget *row = rowOf(panel, i);
            const QString text = QLatin1String(row->upButton->isHidden() ? "" : "U") +
                                 QLatin1String(row->downButton->isHidden() ? "" : "D");
            shown << (text.isEmpty() ? QStringLiteral("-") : text);
        }
        return shown.join(QLatin1Char(' '));
    }
private slots:
    void init()
    {
        QFile::remove(standIn.filePath(QStringLiteral("gate")));
        QFile::remove(standIn.filePath(QStringLiteral("runs")));
        for (const QString &name : outputFiles())
            QFile::remove(outputs.filePath(name));
    }

    void cleanup()
    {
        // A run the test left behind must not reach the next one.
        openGate();
        for (int tool : {Mix, Concat}) {
            auto *panel =
                qobject_cast<WholeListToolWidget *>(window->panels.value(ToolsSelectWidget::PanelName(tool)));
            QTRY_VERIFY_WITH_TIMEOUT(!panel || !panel->isRunning(), 60000);
        }
        ToolFixture::cleanup();
    }

    void outputName_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("mix") << int(Mix) << "/in/a.wav" << QStringList() << "a-mix.wav";
        QTest::addRow("mix, suffix inside the name") << int(Mix) << "/in/a.mp3.b.mp3" << QStringList() << "a.b-mix.mp3";
        QTest::addRow("mix, a container ffmpeg only reads") << int(Mix) << "/in/clip.MOD" << QStringList() << "clip-mix.mp3";
        QTest::addRow("concat, the mix's numbering is no collision") << int(Concat) << "/in/a.wav" << QStringList{"a-cat.wav", "a-cat (0).wav"} << "a-cat(0).wav";
        QTest::addRow("concat, a container ffmpeg only reads") << int(Concat) << "/in/tape.DV" << QStringList() << "tape-cat.mp3";
        // clang-format on
    }

    void outputName()
    {
        QFETCH(int, tool);
        QFETCH(QString, reference);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        for (const QString &name : existing)
            QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(name), 10));
        const OutputName name =
            tool == Mix ? VoiceMixData::ResultName(reference) : VoiceConcatData::ResultName(reference);
        PartFile part;
        QVERIFY(part.create(name.folder, name.extension));
        QCOMPARE(part.publish(name), outputs.filePath(expected));
    }

    void mixLastsAsLongAsTheFirstFile()
    {
        WholeListToolWidget *panel = openList(Mix);
        const QStringList paths = tones({2, 5, 3}, {"m.wav", "m.mp3", "m.ogg"});
        QList<QByteArray> digests;
        for (const QString &path : paths)
            digests << TestSupport::fileDigest(path);
        QVERIFY(add(panel, paths));
        QVERIFY(convert(panel));

        const QString output = outputs.filePath(QStringLiteral("m-mix.wav"));
        for (VoiceData *entry : panel->jobs()) {
            QCOMPARE(entry->status(), int(VoiceData::Succeeded));
            QCOMPARE(entry->outputPath, output);
            QCOMPARE(entry->progress, panel->jobs().first()->progress);
            QCOMPARE(panel->itemList()->searchMyTableItemWidget(entry)->findChild<QProgressBar *>()->value(),
                     entry->progress);
        }
        QVERIFY(qAbs(TestSupport::decodeMono(output, 8000).size() - 2 * 8000) < 400);
        QCOMPARE(outputFiles(), QStringList{QStringLiteral("m-mix.wav")});
        for (int i = 0; i < paths.size(); ++i) // the inputs are left as they were
            QCOMPARE(TestSupport::fileDigest(paths.at(i)), digests.at(i));
    }

    void concatJoinsInTheArrangedOrder()
    {
        WholeListToolWidget *panel = openList(Concat);
        QVERIFY(add(panel, tones({1, 2, 3}, {"a.wav", "b.ogg", "c.flac"})));

        // a down, then c up twice: c, b, a.
        QTest::mouseClick(rowOf(panel, 0)->downButton, Qt::LeftButton);
        QTest::mouseClick(rowOf(panel, 2)->upButton, Qt::LeftButton);
        QTest::mouseClick(rowOf(panel, 1)->upButton, Qt::LeftButton);
        QStringList order;
        for (VoiceData *entry : panel->jobs())
            order << entry->fileName;
        QCOMPARE(order, (QStringList{"c.flac", "b.ogg", "a.wav"}));
        QCOMPARE(arrows(panel), QStringLiteral("D UD U"));

        panel->convertButton_slots();
        QCOMPARE(arrows(panel), QStringLiteral("- - -"));
        QVERIFY(waitForEnd(panel));
        QCOMPARE(arrows(panel), QStringLiteral("D UD U"));
        // Open shows beside them now: no two buttons of a row overlap.
        for (int i = 0; i < 3; ++i) {
            QList<QRect> shown;
            for (const auto *button : rowOf(panel, i)->findChildren<MyQtCustom::BgIconTextButton *>()) {
                for (const QRect &other : qAsConst(shown))
                    QVERIFY(button->isHidden() || !other.intersects(button->geometry()));
                if (!button->isHidden())
                    shown << button->geometry();
            }
        }
        // Named after the new first entry, with its suffix.
        const QString output = outputs.filePath(QStringLiteral("c-cat.flac"));
        for (VoiceData *entry : panel->jobs()) {
            QCOMPARE(entry->status(), int(VoiceData::Succeeded));
            QCOMPARE(entry->outputPath, output);
        }
        constexpr int rate = 8000;
        const QVector<qint16> samples = TestSupport::decodeMono(output, rate);
        QVERIFY(qAbs(samples.size() - 6 * rate) < 400);
        // 700 Hz for 3 s, 500 Hz for 2 s, 300 Hz for 1 s; a second of each, away from the joins.
        const double expected[] = {700, 500, 300};
        const double starts[] = {1.0, 3.75, 5.25};
        for (int i = 0; i < 3; ++i) {
            const double frequency =
                TestSupport::toneFrequency(samples, rate, int(starts[i] * rate), rate / 2);
            QVERIFY2(qAbs(frequency - expected[i]) < 10, qPrintable(QString::number(frequency)));
        }
    }

    void upAndDownFollowThePlace()
    {
        const QStringList tone = tones({1});
        WholeListToolWidget *panel = openList(Concat);
        QVERIFY(add(panel, tone));
        QCOMPARE(arrows(panel), QStringLiteral("-"));
        // Each new entry gives the former last row its Down.
        QVERIFY(add(panel, tone));
        QCOMPARE(arrows(panel), QStringLiteral("D U"));
        QVERIFY(add(panel, tone));
        QCOMPARE(arrows(panel), QStringLiteral("D UD U"));

        // Deleting the last refreshes every row: the new last one loses Down.
        const auto buttons = rowOf(panel, 2)->findChildren<MyQtCustom::BgIconTextButton *>();
        const auto deleteButton =
            std::find_if(buttons.cbegin(), buttons.cend(), [](MyQtCustom::BgIconTextButton *b) {
                return b->text() == QLatin1String("Delete");
            });
        QVERIFY(deleteButton != buttons.cend());
        QTest::mouseClick(*deleteButton, Qt::LeftButton);
        QCOMPARE(arrows(panel), QStringLiteral("D U"));
        panel->ItemDeleted_slots(panel->jobs().first());
        QCOMPARE(arrows(panel), QStringLiteral("-"));
    }

    void deleteDuringRunIsSafe_data()
    {
        // Inputs of 2 s and 4 s: the mix lasts as long as the first, the concat as both.
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("halfWay");
        QTest::addRow("mix") << int(Mix) << "size=  1kB time=00:00:01.00 bitrate=1.6kbits/s speed=1x";
        QTest::addRow("concat") << int(Concat) << "size=  1kB time=00:00:03.00 bitrate=1.6kbits/s speed=1x";
    }

    void deleteDuringRunIsSafe()
    {
        QFETCH(int, tool);
        QFETCH(QString, halfWay);
        WholeListToolWidget *panel = openList(tool);
        QVERIFY(add(panel, tones({2, 4})));
        QVERIFY(useStandIn(QStringLiteral("exec /usr/bin/ffmpeg \"$@\""), halfWay));
        panel->convertButton_slots();
        const QString output = panel->runOutputPath();
        const QList<VoiceData *> entries = panel->jobs();
        QTRY_COMPARE_WITH_TIMEOUT(entries.last()->progress, 5000, 60000);

        for (VoiceData *entry : entries) {
            QCOMPARE(entry->status(), int(VoiceData::Converting));
            QCOMPARE(entry->progress, 5000);
            QCOMPARE(panel->itemList()->searchMyTableItemWidget(entry)->findChild<QProgressBar *>()->value(),
                     5000);
        }
        // The reference itself goes: the run still ends for the other entry.
        panel->ItemDeleted_slots(entries.first());
        openGate();
        QVERIFY(waitForEnd(panel));
        QCOMPARE(panel->jobs().size(), 1);
        QVERIFY(allInState(panel, VoiceData::Succeeded));
        QCOMPARE(runCount(), 1);
        // Published under the name of the reference it started with.
        QCOMPARE(outputFiles(), QStringList{QFileInfo(panel->runOutputPath()).fileName()});
        QVERIFY(outputFiles().first().startsWith(QLatin1String("tone0-2-")));
    }

    void endingARunLeavesNothing_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("how"); // the run's Stop, leaving the panel, closing the window
        QTest::addRow("mix, Stop") << int(Mix) << "stop";
        QTest::addRow("concat, Stop") << int(Concat) << "stop";
        QTest::addRow("mix, leaving") << int(Mix) << "leave";
        QTest::addRow("concat, closing") << int(Concat) << "close";
    }

    void endingARunLeavesNothing()
    {
        QFETCH(int, tool);
        QFETCH(QString, how);
        WholeListToolWidget *panel = openList(tool);
        QVERIFY(add(panel, tones({1, 2})));
        QList<QPointer<VoiceData>> entries;
        for (VoiceData *entry : panel->jobs())
            entries << entry;
        // A run that has begun its output and has a child of its own, marked to be found.
        const QString mark =
            QString::number(QCoreApplication::applicationPid()) + QLatin1String(QTest::currentDataTag());
        g_appDir = standIn.path();
        QVERIFY(TestSupport::writeStandInFfmpeg(
            standIn.path(),
            QStringLiteral("[ $# -le 2 ] && exec /usr/bin/ffmpeg \"$@\"\n"
                           "head -c 4096 /dev/zero > \"$out\"\nQV_STOP_MARK='%1' sleep 600 &\nwait\n")
                .arg(mark)));
        const auto treeAlive = [&mark] {
            return !TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_STOP_MARK"), mark)
                        .isEmpty();
        };
        panel->convertButton_slots();
        QTRY_VERIFY_WITH_TIMEOUT(treeAlive(), 60000);

        if (how == QLatin1String("stop")) {
            panel->convertButton_slots(); // Stop while the run goes on
        } else {
            // No: the run goes on; Yes: it is stopped.
            answerNextQuestion(QMessageBox::No);
            how == QLatin1String("leave") ? panel->backupButton_slots() : void(window->close());
            QCOMPARE(lastQuestion, QStringLiteral("2 jobs are still converting. Stop them?"));
            QVERIFY(panel->isRunning() && panel->isVisible());
            answerNextQuestion(QMessageBox::Yes);
            how == QLatin1String("leave") ? panel->backupButton_slots() : void(window->close());
            QVERIFY(!panel->isRunning());
            window->show();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!treeAlive(), 60000);
        QCOMPARE(QDir(outputs.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        if (how == QLatin1String("leave")) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(std::all_of(entries.cbegin(), entries.cend(),
                                [](const QPointer<VoiceData> &e) { return e.isNull(); }));
            return;
        }
        QVERIFY(allInState(panel, VoiceData::Stopped));
        if (tool == Concat)
            QCOMPARE(arrows(panel), QStringLiteral("D U"));
        // The list runs again.
        TestSupport::useBuildAppDir();
        QVERIFY(convert(panel));
        QVERIFY(allInState(panel, VoiceData::Succeeded));
    }

    void failedChildFailsEveryEntry_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("finish"); // none: there is no ffmpeg at all
        // The verdicts themselves are tst_voicedata's: here every entry shows the run's.
        QTest::addRow("mix, exit 1") << int(Mix) << "/usr/bin/ffmpeg -v quiet \"$@\"; exit 1";
        QTest::addRow("concat, no ffmpeg") << int(Concat) << QString();
    }

    void failedChildFailsEveryEntry()
    {
        QFETCH(int, tool);
        QFETCH(QString, finish);
        WholeListToolWidget *panel = openList(tool);
        QVERIFY(add(panel, tones({1, 2, 1})));
        QVERIFY(useStandIn(finish));
        std::optional<TestSupport::NoFfmpegOnPath> noFfmpeg;
        if (finish.isNull()) {
            QVERIFY(QFile::remove(standIn.filePath(QStringLiteral("ffmpeg"))));
            noFfmpeg.emplace();
        }
        openGate();
        QVERIFY(convert(panel));
        QVERIFY(allInState(panel, VoiceData::Failed));
        for (VoiceData *entry : panel->jobs())
            QVERIFY(!entry->errorText.isEmpty());
        QCOMPARE(outputFiles(), QStringList());
    }
};

QTEST_MAIN(TestWholeListTool)
#include "tst_wholelisttool.moc"
