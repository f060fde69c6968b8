// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "common/globals.h"
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
    QTemporaryDir tones;
    TestSupport::StandInJob *job = nullptr;

    // Everything in the output folder, hidden files too.
    QStringList outputFiles() const { return QDir(outDir->path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        for (int seconds : {1, 2})
            QVERIFY(TestSupport::makeTone(tones.filePath(QStringLiteral("%1.wav").arg(seconds)), seconds));
    }
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

    // The stand-in writes a real WAV of 1 or 2 s ("tone 2") into its part file.
    void verdict_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<double>("promised"); // seconds; the input's length
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QString>("reason"); // empty: a success
        // clang-format off
        QTest::addRow("whole") << "tone 2" << 2.0 << 1 << "";
        QTest::addRow("length unknown") << "tone 1" << 0.0 << 1 << "";
        QTest::addRow("cut short, exit 0") << "tone 1" << 3.0 << 3 << "The output was cut short: 1.0 s of 3.0 s.";
        QTest::addRow("the input ended early") << "echo 'size= 9kB time=00:00:01.00 x'\ntone 1" << 3.0 << 1 << "";
        QTest::addRow("failed write, exit 0") << "tone 2\necho 'Error closing file x: No space left on device'" << 2.0 << 3 << "The disk is full.";
        QTest::addRow("no audio, exit 0") << "head -c 4096 /dev/zero > \"$out\"" << 2.0 << 3 << "The output holds no audio.";
        QTest::addRow("nothing written") << "exit 0" << 2.0 << 3 << "The output holds no audio.";
        QTest::addRow("non-zero exit, whole file") << "tone 2\nexit 1" << 2.0 << 3 << "No usable output was written.";
        QTest::addRow("crash, whole file") << "tone 2\nkill -9 $$" << 2.0 << 3 << "No usable output was written.";
        // clang-format on
    }
    void verdict()
    {
        QFETCH(QString, script);
        QFETCH(double, promised);
        QFETCH(int, attempts);
        QFETCH(QString, reason);
        script.replace(QRegularExpression(QStringLiteral("tone (\\d)")),
                       QStringLiteral("cp '%1/\\1.wav' \"$out\"").arg(tones.path()));
        QVERIFY(TestSupport::writeStandInFfmpeg(appDir->path(), countAttempt + script));
        job->duration = qint64(promised * 1e6);
        QSignalSpy finished(job, &VoiceData::convertfinished);
        job->startConvert();
        QVERIFY(finished.wait(60000));
        QCOMPARE(finishedCount(finished), 1);
        QCOMPARE(finished.first().first().value<VoiceData *>(), static_cast<VoiceData *>(job));
        QCOMPARE(job->status(), int(reason.isEmpty() ? VoiceData::Succeeded : VoiceData::Failed));
        QCOMPARE(job->errorText, reason);
        QFile counted(appDir->filePath(QStringLiteral("attempts")));
        QVERIFY(counted.open(QIODevice::ReadOnly));
        QCOMPARE(counted.readAll().count('\n'), attempts);
        // A result under its final name, or nothing at all: no part file stays.
        QCOMPARE(outputFiles(),
                 reason.isEmpty() ? QStringList{QStringLiteral("song-test.wav")} : QStringList());
        if (reason.isEmpty())
            QCOMPARE(job->outputPath, outDir->filePath(QStringLiteral("song-test.wav")));
    }

    void aLinkInTheOutputFolderIsNeverWrittenThrough()
    {
        QVERIFY(TestSupport::writeStandInFfmpeg(
            appDir->path(), QStringLiteral("cp '%1' \"$out\"").arg(tones.filePath("1.wav"))));
        const QString outside = appDir->filePath(QStringLiteral("victim.wav"));
        QVERIFY(QFile::link(outside, outDir->filePath(QStringLiteral("song-test.wav")))); // leads nowhere yet
        QSignalSpy finished(job, &VoiceData::convertfinished);
        job->startConvert();
        QVERIFY(finished.wait(60000));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
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
        const TestSupport::NoFfmpegOnPath noFfmpeg;
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
        QCOMPARE(job->status(), int(stopAtOnce ? VoiceData::Stopped : VoiceData::Failed));
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
            QCOMPARE(job->status(), int(VoiceData::Stopped));
        }
        // Killed processes may take a moment to be gone; one left stopped or
        // orphaned would stay.
        QTRY_COMPARE_WITH_TIMEOUT(living(), QList<qint64>(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(finished, destroy ? 0 : 1, 60000);
        qputenv("PATH", path);
        // The unfinished file is gone with its child; nothing has a final name.
        QTRY_COMPARE_WITH_TIMEOUT(outputFiles(), QStringList(), 60000);
    }
};

QTEST_GUILESS_MAIN(TestVoiceData)
#include "tst_voicedata.moc"
