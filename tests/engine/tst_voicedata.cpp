#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "app/globals.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "support/standinjob.h"
#include "support/testsupport.h"

namespace {

// How often a job ended, counting any late notice still queued.
int finishedCount(const QSignalSpy &finished)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return finished.count();
}

const QString countAttempt = QStringLiteral("echo x >> \"$(dirname \"$0\")/attempts\"\n");

} // namespace

class TestVoiceData : public QObject
{
    Q_OBJECT
    QScopedPointer<QTemporaryDir> appDir, outDir;
    TestSupport::StandInJob *job = nullptr;

private slots:
    void init()
    {
        appDir.reset(new QTemporaryDir);
        // A "\\" is part of a folder's name: the output goes into this very folder.
        outDir.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/out\\put-XXXXXX")));
        g_appDir = appDir->path();
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir->path());
        job = new TestSupport::StandInJob(QStringLiteral("-test"), QStringLiteral("wav"));
        job->filePath = outDir->filePath(QStringLiteral("song.flac"));
    }
    void cleanup() { delete job; }

    void verdict_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<qint64>("keptSize"); // -1: no file left
        const auto sized = [](int size, int code) {
            return countAttempt +
                   QStringLiteral("head -c %1 /dev/zero > \"$out\"\nexit %2").arg(size).arg(code);
        };
        const QString crash = countAttempt + QStringLiteral("head -c 4096 /dev/zero > \"$out\"\nkill -9 $$");
        // clang-format off
        QTest::addRow("1025 bytes succeed") << sized(1025, 0) << 2 << 1 << qint64(1025);
        QTest::addRow("1024 bytes fail at once") << sized(1024, 0) << 3 << 1 << qint64(-1);
        QTest::addRow("1023 bytes retried twice") << sized(1023, 0) << 3 << 3 << qint64(-1);
        QTest::addRow("no file retried twice") << countAttempt + QStringLiteral("exit 0") << 3 << 3 << qint64(-1);
        QTest::addRow("non-zero exit with a big file") << sized(4096, 1) << 3 << 3 << qint64(-1);
        QTest::addRow("crash with a big file") << crash << 3 << 3 << qint64(-1);
        // clang-format on
    }
    void verdict()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(int, attempts);
        QFETCH(qint64, keptSize);
        QVERIFY(TestSupport::writeStandInFfmpeg(appDir->path(), script));
        QSignalSpy finished(job, &VoiceData::convertfinished);
        job->startConvert();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finishedCount(finished), 1);
        QCOMPARE(finished.first().first().value<VoiceData *>(), static_cast<VoiceData *>(job));
        QCOMPARE(job->status, status);
        QFile counted(appDir->filePath(QStringLiteral("attempts")));
        QVERIFY(counted.open(QIODevice::ReadOnly));
        QCOMPARE(counted.readAll().count('\n'), attempts);
        QCOMPARE(job->outputPath, outDir->filePath(QStringLiteral("song-test.wav")));
        const QFileInfo kept(job->outputPath);
        QCOMPARE(kept.exists() ? kept.size() : qint64(-1), keptSize);
    }

    void aLinkInTheOutputFolderIsNeverWrittenThrough()
    {
        QVERIFY(TestSupport::writeStandInFfmpeg(appDir->path(), "head -c 2000 /dev/zero > \"$out\""));
        const QString outside = appDir->filePath(QStringLiteral("victim.wav"));
        QVERIFY(QFile::link(outside, outDir->filePath(QStringLiteral("song-test.wav")))); // leads nowhere yet
        QSignalSpy finished(job, &VoiceData::convertfinished);
        job->startConvert();
        QVERIFY(finished.wait(20000));
        QCOMPARE(job->status, int(VoiceData::Succeeded));
        QCOMPARE(QFileInfo(job->outputPath).canonicalPath(), QFileInfo(outDir->path()).canonicalFilePath());
        QVERIFY(!QFileInfo::exists(outside));
    }

    void childThatCannotStart_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("stopAtOnce");
        QTest::addRow("no ffmpeg") << false << false;
        QTest::addRow("ffmpeg not executable") << true << false;
        // Depending on how far the failed start got, the stop may end the run itself.
        QTest::addRow("stopped while the failed start is on its way") << false << true;
    }
    void childThatCannotStart()
    {
        QFETCH(bool, present);
        QFETCH(bool, stopAtOnce);
        if (present)
            QVERIFY(TestSupport::writeFileOfSize(appDir->filePath(QStringLiteral("ffmpeg")), 2000));
        QSignalSpy finished(job, &VoiceData::convertfinished);
        int errors = 0;
        connect(&job->process, &QProcess::errorOccurred, this, [&errors] { ++errors; });
        job->startConvert();
        if (stopAtOnce)
            job->stopConvert();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(finishedCount(finished), 1);
        QCOMPARE(job->status, int(stopAtOnce ? VoiceData::Stopped : VoiceData::Failed));
        QVERIFY(!QFileInfo::exists(job->outputPath));
        if (!stopAtOnce)
            QCOMPARE(errors, 3); // three attempts, each failing to start
    }

    void endingTheRunEndsTheWholeTree_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::addRow("stop") << false;
        QTest::addRow("job destroyed while converting") << true;
    }
    void endingTheRunEndsTheWholeTree()
    {
        QFETCH(bool, destroy);
        // A pkill that hangs, as on a loaded machine: the tree must end all the same.
        QTemporaryDir bin;
        QVERIFY(TestSupport::writeExecutable(bin.filePath(QStringLiteral("pkill")),
                                             QStringLiteral("#!/bin/sh\nexec sleep 60\n")));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        // Three levels of shells below the child, restarting sleeps: a tree that keeps
        // changing while it is being ended. Every process carries a fresh mark.
        const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            appDir->path(),
            QStringLiteral("[ -z \"$QV_TREE\" ] && exec env QV_TREE=%1 \"$0\" \"$@\"\n"
                           "head -c 3000 /dev/zero > \"$out\"\n"
                           "sh -c 'sh -c \"echo \\$\\$ > great.pid; while :; do sleep 30; done\" & "
                           "while :; do sleep 30; done' &\nwhile :; do sleep 30; done")
                .arg(mark)));
        const auto living = [&mark] {
            return TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark);
        };
        job->startConvert();
        QFile pidFile(appDir->filePath(QStringLiteral("great.pid")));
        QTRY_VERIFY_WITH_TIMEOUT(pidFile.size() > 0, 60000);
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        // The whole tree is seen, not one line of descent.
        const QStringList tree = job->getChildProcessList();
        QCOMPARE(tree.value(0), QString::number(job->process.processId()));
        QVERIFY2(tree.contains(QString::fromLatin1(pidFile.readAll().trimmed())),
                 qPrintable(tree.join(QLatin1Char(' '))));
        QVERIFY(living().size() >= 3);

        int finished = 0;
        connect(job, &VoiceData::convertfinished, this, [&finished] { ++finished; });
        if (destroy) {
            delete job;
            job = nullptr;
        } else {
            job->stopConvert();
            QCOMPARE(job->status, int(VoiceData::Stopped));
            QCOMPARE(QFileInfo(job->outputPath).size(), qint64(3000)); // the partial output stays
        }
        // Killed processes may take a moment to be gone; one left stopped or
        // orphaned would stay.
        QTRY_COMPARE_WITH_TIMEOUT(living(), QList<qint64>(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(finished, destroy ? 0 : 1, 60000);
        qputenv("PATH", path);
    }
};

QTEST_GUILESS_MAIN(TestVoiceData)
#include "tst_voicedata.moc"
