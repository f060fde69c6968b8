#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "app/globals.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

namespace {
// The smallest job kind: its start is its argument list, everything else is the base's.
class StandInJob : public VoiceData
{
public:
    void startConvert() override
    {
        status = Converting;
        const QString out = UniqueOutputPath(filePath, QStringLiteral("-test"), QStringLiteral("bin"));
        beginRun(out);
        startFFmpeg({QStringLiteral("-i"), filePath, QStringLiteral("-y"), out});
    }
};

// Converts to WAV with the real ffmpeg.
class WavJob : public VoiceData
{
public:
    void startConvert() override
    {
        status = Converting;
        const QString out = UniqueOutputPath(filePath, QString(), QStringLiteral("wav"));
        beginRun(out);
        startFFmpeg({QStringLiteral("-i"), filePath, QStringLiteral("-vn"), QStringLiteral("-threads"),
                     QStringLiteral("1"), QStringLiteral("-y"), out});
    }
};

const QString countAttempt = QStringLiteral("echo x >> \"$(dirname \"$0\")/attempts\"\n");
} // namespace

class TestVoiceData : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void constructedIdle();
    void verdict_data();
    void verdict();
    void childThatCannotStart_data();
    void childThatCannotStart();
    void stopWhileFailedStartIsOnItsWay();
    void progressFromStatusLines_data();
    void progressFromStatusLines();
    void realConversion();
    void stopWithoutChildOnlyMarks();
    void stopKillsWholeTree();
    void destroyingJobEndsItsTree();

private:
    int attempts() const;
    int countFinished(QSignalSpy &spy);

    QScopedPointer<QTemporaryDir> appDir;
    QScopedPointer<QTemporaryDir> outDir;
};

void TestVoiceData::init()
{
    appDir.reset(new QTemporaryDir);
    outDir.reset(new QTemporaryDir);
    QVERIFY(appDir->isValid());
    QVERIFY(outDir->isValid());
    g_appDir = appDir->path();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir->path());
}

void TestVoiceData::cleanup()
{
    outDir.reset();
    appDir.reset();
}

int TestVoiceData::attempts() const
{
    QFile file(appDir->filePath(QStringLiteral("attempts")));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

int TestVoiceData::countFinished(QSignalSpy &spy)
{
    // Anything still queued (a late notice of a child) would show up here.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return spy.count();
}

void TestVoiceData::constructedIdle()
{
    StandInJob job;
    QCOMPARE(job.status, int(VoiceData::Idle));
    QCOMPARE(job.retryCount, 0);
    QCOMPARE(job.duration, qint64(0));
    QCOMPARE(job.channels, 0);
    QVERIFY(job.fileName.isEmpty());
    QVERIFY(!job.selected);
    QCOMPARE(job.process.state(), QProcess::NotRunning);
    QCOMPARE(job.process.processEnvironment().value(QStringLiteral("FONTCONFIG_FILE")),
             g_appDir + QStringLiteral("/font/fonts.conf"));
    QVERIFY(QMetaType::type("VoiceData*") != QMetaType::UnknownType);
}

void TestVoiceData::verdict_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<qint64>("keptSize"); // -1: no file left
    const auto sized = [](int size, int code) {
        return countAttempt + QStringLiteral("head -c %1 /dev/zero > \"$out\"\nexit %2").arg(size).arg(code);
    };
    QTest::addRow("1025 bytes succeed") << sized(1025, 0) << 2 << 1 << qint64(1025);
    QTest::addRow("1024 bytes fail at once") << sized(1024, 0) << 3 << 1 << qint64(-1);
    QTest::addRow("1023 bytes retried twice") << sized(1023, 0) << 3 << 3 << qint64(-1);
    QTest::addRow("empty file retried twice") << sized(0, 0) << 3 << 3 << qint64(-1);
    QTest::addRow("no file retried twice") << countAttempt + QStringLiteral("exit 0") << 3 << 3 << qint64(-1);
    QTest::addRow("non-zero exit with a big file") << sized(4096, 1) << 3 << 3 << qint64(-1);
    QTest::addRow("crash with a big file")
        << countAttempt + QStringLiteral("head -c 4096 /dev/zero > \"$out\"\nkill -9 $$") << 3 << 3
        << qint64(-1);
    QTest::addRow("third attempt succeeds")
        << countAttempt +
               QStringLiteral("if [ $(wc -l < \"$(dirname \"$0\")/attempts\") -lt 3 ]; then size=10; "
                              "else size=2000; fi\nhead -c $size /dev/zero > \"$out\"")
        << 2 << 3 << qint64(2000);
}

void TestVoiceData::verdict()
{
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(int, attempts);
    QFETCH(qint64, keptSize);
    QVERIFY(TestSupport::writeStandInFfmpeg(appDir->path(), script));

    StandInJob job;
    job.filePath = outDir->filePath(QStringLiteral("song.wav"));
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    QCOMPARE(job.status, int(VoiceData::Converting));
    QVERIFY(finished.wait(20000));

    QCOMPARE(countFinished(finished), 1);
    QCOMPARE(finished.first().first().value<VoiceData *>(), static_cast<VoiceData *>(&job));
    QCOMPARE(job.status, status);
    QCOMPARE(this->attempts(), attempts);
    QCOMPARE(job.retryCount, 0);
    QCOMPARE(job.outputPath, outDir->filePath(QStringLiteral("song-test.bin")));
    QCOMPARE(QFileInfo(job.outputPath).exists() ? QFileInfo(job.outputPath).size() : qint64(-1), keptSize);
}

void TestVoiceData::childThatCannotStart_data()
{
    QTest::addColumn<bool>("present");
    QTest::addRow("no ffmpeg") << false;
    QTest::addRow("ffmpeg not executable") << true;
}

void TestVoiceData::childThatCannotStart()
{
    QFETCH(bool, present);
    if (present)
        QVERIFY(TestSupport::writeFileOfSize(appDir->filePath(QStringLiteral("ffmpeg")), 2000));

    StandInJob job;
    job.filePath = outDir->filePath(QStringLiteral("song.wav"));
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    QSignalSpy errors(&job.process, &QProcess::errorOccurred);
    job.startConvert();
    QVERIFY(finished.wait(10000));

    QCOMPARE(countFinished(finished), 1);
    QCOMPARE(job.status, int(VoiceData::Failed));
    QVERIFY(job.lastRunFailed());
    QCOMPARE(job.retryCount, 0);
    // Three attempts, each failing to start.
    QCOMPARE(errors.count(), 3);
    for (const QList<QVariant> &error : qAsConst(errors))
        QCOMPARE(error.first().value<QProcess::ProcessError>(), QProcess::FailedToStart);
    QVERIFY(!QFileInfo::exists(job.outputPath));
}

void TestVoiceData::stopWhileFailedStartIsOnItsWay()
{
    StandInJob job;
    job.filePath = outDir->filePath(QStringLiteral("song.wav"));
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    // Depending on how far the failed start got, the stop may end the run itself.
    job.stopConvert();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(countFinished(finished), 1);
    QCOMPARE(job.status, int(VoiceData::Stopped));
}

void TestVoiceData::progressFromStatusLines_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<QList<int>>("reported");
    // 30 s, then a smaller time, then a time text too short to count, then
    // one beyond the end written in two pieces.
    QTest::addRow("sixty seconds") << qint64(60000000) << QList<int>{5000, 5000, 9999};
    QTest::addRow("unknown duration") << qint64(0) << QList<int>();
}

void TestVoiceData::progressFromStatusLines()
{
    QFETCH(qint64, duration);
    QFETCH(QList<int>, reported);
    QVERIFY(TestSupport::writeStandInFfmpeg(
        appDir->path(), QStringLiteral("printf 'size=1kB time=00:00:30.00 bitrate=1k\\n'\n"
                                       "printf 'size=1kB time=00:00:10.00 bitrate=1k\\n'\n"
                                       "printf 'size=1kB time=1:2:3 bitrate=1k\\n'\n"
                                       "printf 'size=1kB tim'\nsleep 0.2\n"
                                       "printf 'e=00:01:30.00 bitrate=1k\\n'\n"
                                       "head -c 2000 /dev/zero > \"$out\"")));
    StandInJob job;
    job.filePath = outDir->filePath(QStringLiteral("song.wav"));
    job.duration = duration;
    QList<int> seen;
    connect(&job, &VoiceData::updateProgress, this,
            [&seen](VoiceData *data) { seen.append(data->progress); });
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    QVERIFY(finished.wait(20000));
    QCOMPARE(seen, reported);
    QCOMPARE(job.status, int(VoiceData::Succeeded));
    QCOMPARE(job.progress, reported.isEmpty() ? 0 : reported.last());
}

void TestVoiceData::realConversion()
{
    TestSupport::useBuildAppDir();
    const QString input = outDir->filePath(QStringLiteral("tone.flac"));
    QVERIFY(TestSupport::makeTone(input, 1.0));
    WavJob job;
    job.filePath = input;
    job.duration = 1000000;
    QSignalSpy progress(&job, &VoiceData::updateProgress);
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    QVERIFY(finished.wait(20000));
    QCOMPARE(job.status, int(VoiceData::Succeeded));
    QCOMPARE(job.outputPath, outDir->filePath(QStringLiteral("tone.wav")));
    QVERIFY(QFileInfo(job.outputPath).size() > 1024);
    // ffmpeg's last status line reports the whole second.
    QVERIFY(progress.count() >= 1);
    QCOMPARE(job.progress, RunningProgressLimit);
    QVERIFY(QFileInfo::exists(input));
}

void TestVoiceData::stopWithoutChildOnlyMarks()
{
    StandInJob job;
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.stopConvert();
    QVERIFY(job.stopped);
    QCOMPARE(job.status, int(VoiceData::Idle));
    QCOMPARE(countFinished(finished), 0);
}

void TestVoiceData::stopKillsWholeTree()
{
    // Three levels of shells, each restarting short sleeps: a tree that keeps
    // changing while it is being stopped. Every process carries the mark.
    const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString dir = appDir->path();
    QVERIFY(TestSupport::writeExecutable(dir + QStringLiteral("/great.sh"),
                                         QStringLiteral("echo $$ > \"%1/great.pid\"\n"
                                                        "while :; do sleep 30; done\n")
                                             .arg(dir)));
    QVERIFY(TestSupport::writeExecutable(dir + QStringLiteral("/grand.sh"),
                                         QStringLiteral("sh \"%1/great.sh\" &\n"
                                                        "while :; do sleep 30; done\n")
                                             .arg(dir)));
    QVERIFY(TestSupport::writeStandInFfmpeg(
        dir, QStringLiteral("if [ -z \"$QV_TREE\" ]; then exec env QV_TREE=%1 \"$0\" \"$@\"; fi\n"
                            "head -c 3000 /dev/zero > \"$out\"\n"
                            "sh \"%2/grand.sh\" &\n"
                            "while :; do sleep 30; done")
                 .arg(mark, dir)));

    StandInJob job;
    job.filePath = outDir->filePath(QStringLiteral("song.wav"));
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    const QString greatPidFile = dir + QStringLiteral("/great.pid");
    QTRY_VERIFY(QFileInfo(greatPidFile).size() > 0);
    QFile pidFile(greatPidFile);
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const QString greatPid = QString::fromLatin1(pidFile.readAll().trimmed());

    // The whole tree is seen, not one line of descent.
    const QStringList tree = job.getChildProcessList();
    QCOMPARE(tree.value(0), QString::number(job.process.processId()));
    QVERIFY2(tree.contains(greatPid), qPrintable(tree.join(QLatin1Char(' '))));
    QVERIFY(TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark).size() >= 3);

    job.stopConvert();
    QCOMPARE(job.status, int(VoiceData::Stopped));
    QCOMPARE(countFinished(finished), 1);
    QCOMPARE(job.process.state(), QProcess::NotRunning);
    // The partial output stays.
    QCOMPARE(QFileInfo(job.outputPath).size(), qint64(3000));
    // Killed processes may take a moment to be gone; one that survived would stay.
    QTRY_COMPARE(TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark),
                 QList<qint64>());
    QCOMPARE(countFinished(finished), 1);
}

void TestVoiceData::destroyingJobEndsItsTree()
{
    const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QVERIFY(TestSupport::writeStandInFfmpeg(
        appDir->path(), QStringLiteral("if [ -z \"$QV_TREE\" ]; then exec env QV_TREE=%1 \"$0\" \"$@\"; fi\n"
                                       "sleep 30 &\n"
                                       "while :; do sleep 30; done")
                            .arg(mark)));
    auto *job = new StandInJob;
    job->filePath = outDir->filePath(QStringLiteral("song.wav"));
    int finishedCount = 0;
    connect(job, &VoiceData::convertfinished, this, [&finishedCount] { ++finishedCount; });
    job->startConvert();
    QTRY_COMPARE(TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark).size(), 3);
    delete job;
    QTRY_COMPARE(TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark),
                 QList<qint64>());
    QCoreApplication::processEvents();
    QCOMPARE(finishedCount, 0);
}

QTEST_GUILESS_MAIN(TestVoiceData)
#include "tst_voicedata.moc"
