// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <sys/stat.h>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "common/globals.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "support/standinjob.h"
#include "support/testsupport.h"

namespace {
class TestPanel : public ToolsBaseWidget
{
public:
    using ToolsBaseWidget::ToolsBaseWidget;
    void AddVoiceData(VoiceData *record) override
    {
        ToolsBaseWidget::AddVoiceData(record);
        adoptJob(new TestSupport::StandInJob(QStringLiteral("-out"), QStringLiteral("wav")), record);
    }
    void drop(const QList<QUrl> &urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        dropEvent(&event);
    }
};

// Plays ffmpeg: a conversion notes its start, then a moment's work and a copy of a prepared tone.
const char standInBody[] = R"(echo "$2" >> "$(dirname "$0")/runs.log"
sleep 0.3
cp "$(dirname "$0")/tone.wav" "$out")";
} // namespace

class TestToolsBaseWidget : public QObject
{
    Q_OBJECT
    QTemporaryDir standIn, inputs, outputs;
    MainWidget *window = nullptr;
    TestPanel *panel = nullptr;

    QStringList makeInputs(int count)
    {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            paths << inputs.filePath(
                QStringLiteral("%1%2-%3.wav")
                    .arg(QLatin1String(QTest::currentTestFunction()), QLatin1String(QTest::currentDataTag()))
                    .arg(i));
            TestSupport::writeFileOfSize(paths.last(), 100);
        }
        return paths;
    }
    // Adds the files and waits until each has become a job.
    void addJobs(const QStringList &paths)
    {
        const int expected = panel->jobs().size() + paths.size();
        panel->AddFiles(paths);
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), expected, 60000);
    }
private slots:
    void initTestCase()
    {
        TestSupport::useBuildAppDir();
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
        window = new MainWidget;
        QVERIFY(TestSupport::writeStandInFfmpeg(standIn.path(), QLatin1String(standInBody)));
        QVERIFY(TestSupport::makeTone(standIn.filePath(QStringLiteral("tone.wav")), 0.5));
        g_appDir = standIn.path();
    }
    void cleanupTestCase() { delete window; }
    void init()
    {
        QFile::remove(standIn.filePath(QStringLiteral("runs.log")));
        window->setSameMaxCount(2);
        window->setOutputFolder(outputs.path());
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
        panel = new TestPanel(window);
    }
    void cleanup() { delete panel; }
    void queueKeepsTheLimit_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expectedRunning"); // -1: the ceiling
        QTest::addRow("three at a time") << 3 << 3;
        QTest::addRow("a damaged limit still runs one") << 0 << 1;
        QTest::addRow("an absurd limit is held to the ceiling") << 100000 << -1;
    }
    void queueKeepsTheLimit()
    {
        QFETCH(int, limit);
        QFETCH(int, expectedRunning);
        if (expectedRunning < 0)
            expectedRunning = MaxJobLimit();
        window->setSameMaxCount(limit);
        const QStringList paths = makeInputs(qMax(5, expectedRunning + 1));
        addJobs(paths);
        panel->convertButton_slots();
        panel->convertButton_slots(); // leaves running and waiting jobs as they are
        // Convert starts them at once; none can have ended before the event loop runs.
        const QList<VoiceData *> jobs = panel->jobs();
        QCOMPARE(std::count_if(jobs.begin(), jobs.end(),
                               [](VoiceData *job) { return job->status() == VoiceData::Converting; }),
                 expectedRunning);
        QVERIFY(TestSupport::waitForJobsToEnd(panel->jobs()));
        // Each started once; the batch's order and limit are tst_jobqueue's, on the queue alone.
        for (VoiceData *job : panel->jobs())
            QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QFile log(standIn.filePath(QStringLiteral("runs.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count('\n'), paths.size());

        // The row's Convert runs a finished job again, to a new name.
        VoiceData *job = panel->jobs().first();
        const QString firstOutput = job->outputPath;
        panel->Convertitem_slots(job);
        QCOMPARE(job->status(), int(VoiceData::Converting));
        QVERIFY(TestSupport::waitForJobsToEnd(panel->jobs()));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QCOMPARE(job->outputPath, firstOutput.chopped(4) + QStringLiteral(" (0).wav"));
        QVERIFY(QFileInfo::exists(firstOutput));
    }

    void queuedAgainRightAfterAStop()
    {
        addJobs(makeInputs(1));
        VoiceData *job = panel->jobs().first();
        QSignalSpy finished(job, &VoiceData::convertfinished);
        panel->Convertitem_slots(job);
        job->stopConvert();
        panel->Convertitem_slots(job); // the killed child's end is still on its way
        // The stopped run ends, then the new one runs in full.
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60000);
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
    }
    // What leaving or closing does once the user agrees (the question: tst_wholelisttool).
    void stopAllEndsEveryJob()
    {
        addJobs(makeInputs(3));
        const QDir folder(outputs.path());
        const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
        panel->convertButton_slots();
        panel->StopAllJobs();
        for (VoiceData *job : panel->jobs())
            QVERIFY(job->status() == VoiceData::Stopped || job->status() == VoiceData::Idle);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), before);
    }
    void selectionRules()
    {
        const QStringList paths = makeInputs(2);
        addJobs(paths.mid(0, 1));
        VoiceData *first = panel->jobs().at(0);
        panel->Clickeditem_slots(first); // a lone job is not selected
        QVERIFY(!first->selected);
        addJobs(paths.mid(1));
        VoiceData *second = panel->jobs().at(1);
        panel->Clickeditem_slots(first);
        panel->Clickeditem_slots(second);
        QVERIFY(second->selected && !first->selected);
        QCOMPARE(panel->selectedJob(), second);
        panel->ItemDeleted_slots(second);
        QCOMPARE(panel->selectedJob(), static_cast<VoiceData *>(nullptr));
        QCOMPARE(panel->jobs(), QList<VoiceData *>{first});
    }
    void writeTest_data()
    {
        QTest::addColumn<QString>("folder"); // below a fresh folder, unless absolute
        QTest::addColumn<bool>("accepted");
        QTest::addRow("writable folder") << "" << true;
        QTest::addRow("read-only file system") << "/proc/1" << false;
        QTest::addRow("deleted folder") << "gone" << false;
        QTest::addRow("a backslash is part of the name") << "back\\slash" << true;
    }
    void writeTest()
    {
        QFETCH(QString, folder);
        QFETCH(bool, accepted);
        QTemporaryDir chosen;
        if (!folder.startsWith(QLatin1Char('/')))
            folder = QDir::cleanPath(chosen.path() + QLatin1Char('/') + folder);
        QVERIFY(!accepted || QDir().mkpath(folder));
        QCOMPARE(panel->SetOutputFolderIfWritable(folder), accepted);
        QCOMPARE(window->outputFolder(), accepted ? folder : outputs.path());
        // The next start begins where this one left off.
        QCOMPARE(GetSettingFolder(QLatin1String(SettingsKey::OutFolder)), accepted ? folder : outputs.path());
        // The test leaves nothing behind.
        if (accepted)
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
    }
    void openShowsTheFolderAsOneArgument()
    {
        QTemporaryDir bin;
        const QString record = bin.filePath(QStringLiteral("opened"));
        QVERIFY(TestSupport::writeExecutable(
            bin.filePath(QStringLiteral("xdg-open")),
            QStringLiteral("#!/bin/sh\n(echo $#; printf '%s' \"$1\") > '%1.tmp'\nmv '%1.tmp' '%1'\n")
                .arg(record)));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        const QString folder = bin.filePath(QStringLiteral("it's a \"dir\" $(x) \\"));
        QVERIFY(QDir().mkpath(folder));
        window->setOutputFolder(folder);
        panel->openOutputButton_slots();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 60000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("1\n") + folder);
        qputenv("PATH", path);
    }
    void dropAddsMediaInDroppedOrder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("album")));
        for (const char *name :
             {"album/track10.flac", "album/track2.mp3", "album/cover.jpg", "b.WAV", "a.m4a", "notes.txt"})
            QVERIFY(TestSupport::writeFileOfSize(dir.filePath(QLatin1String(name)), 100));
        QList<QUrl> urls;
        for (const char *name : {"b.WAV", "album", "a.m4a", "notes.txt"})
            urls << QUrl::fromLocalFile(dir.filePath(QLatin1String(name)));
        panel->drop(urls);
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 4, 60000);
        QStringList names;
        for (VoiceData *job : panel->jobs())
            names << job->fileName;
        QCOMPARE(names, (QStringList{"b.WAV", "track2.mp3", "track10.flac", "a.m4a"}));
    }
    void onlyRegularFilesBecomeJobs()
    {
        QTemporaryDir dir;
        const auto at = [&dir](const char *name) {
            return dir.filePath(QLatin1String(name));
        };
        QVERIFY(TestSupport::writeFileOfSize(at("real.wav"), 100) && QDir(dir.path()).mkdir("folder.wav"));
        QVERIFY(QFile::link("real.wav", at("link.wav")) && QFile::link("link.wav", at("chain.wav")));
        QVERIFY(QFile::link("/dev/urandom", at("random.wav")) && QFile::link("nothing", at("gone.wav")));
        QCOMPARE(::mkfifo(QFile::encodeName(at("fifo.wav")).constData(), 0600), 0);
        // Given directly, none is even queued for probing.
        panel->AddFiles({at("fifo.wav"), at("random.wav"), at("gone.wav"), at("folder.wav")});
        QVERIFY(!panel->isProbing());
        // Dropped as a folder: its links, resolved, and the file itself.
        panel->drop({QUrl::fromLocalFile(dir.path())});
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 3, 60000);
        QVERIFY(!panel->isProbing());
        for (VoiceData *job : panel->jobs())
            QCOMPARE(job->filePath, QFileInfo(at("real.wav")).canonicalFilePath());
    }
    // Names typed into the Add dialog, one of them of a kind its filter hides.
    void typedNamesAreAllAdded_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("a hidden kind between shown ones")
            << R"("Side_Left.wav" "bell.caf" "alarm-clock.ogg")"
            << QStringList{"Side_Left.wav", "bell.caf", "alarm-clock.ogg"};
        QTest::addRow("a hidden kind last") << R"("Side_Left.wav" "alarm-clock.ogg" "bell.caf")"
                                            << QStringList{"Side_Left.wav", "alarm-clock.ogg", "bell.caf"};
        QTest::addRow("one name, unquoted") << "bell.caf" << QStringList{"bell.caf"};
    }
    void typedNamesAreAllAdded()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        for (const char *name : {"Side_Left.wav", "alarm-clock.ogg", "bell.caf"})
            QVERIFY(TestSupport::writeFileOfSize(dir.filePath(QLatin1String(name)), 100));
        SetSettingValue(QLatin1String(SettingsKey::AddVideoPath), dir.path());
        // The dialog is modal: the user types inside its loop, once the folder is listed.
        QTimer typist;
        connect(&typist, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *view = dialog ? dialog->findChild<QListView *>(QStringLiteral("listView")) : nullptr;
            if (!view || view->model()->rowCount(view->rootIndex()) < 2)
                return;
            typist.stop();
            // All names at once, as pasted: the dialog selects in its view what it shows of them.
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QApplication::setActiveWindow(dialog);
            edit->setFocus();
            edit->setText(typed);
            static_cast<QDialog *>(dialog)->accept(); // Open
        });
        typist.start(20);
        panel->addfileButton_slots();
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), expected.size(), 60000);
        QStringList names;
        for (VoiceData *job : panel->jobs())
            names << job->fileName;
        QCOMPARE(names, expected);
    }
    void leavingDuringProbesAddsNothingLater()
    {
        panel->AddFiles(makeInputs(6));
        panel->RemoveAllItems();
        // Probes run one at a time: a job from before the removal would arrive first.
        const QStringList later = makeInputs(7).mid(6);
        panel->AddFiles(later);
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 60000);
        QCOMPARE(panel->jobs().first()->filePath, later.first());
    }
};

QTEST_MAIN(TestToolsBaseWidget)
#include "tst_toolsbasewidget.moc"
