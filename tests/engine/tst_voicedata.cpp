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
class TestJob : public VoiceData
{
public:
    void startConvert() override
    {
        status = Converting;
        const QString out = UniqueOutputPath(filePath, QStringLiteral("-test"), QStringLiteral("wav"));
        beginRun(out);
        startFFmpeg({QStringLiteral("-i"), filePath, QStringLiteral("-y"), out});
    }
};

// A job and its finished signal.
struct Run
{
    explicit Run(const QString &input) { job.filePath = input; }
    // Anything still queued (a late notice of a child) would show up here.
    int finishedCount()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return finished.count();
    }
    TestJob job;
    QSignalSpy finished{&job, &VoiceData::convertfinished};
};

const QString countAttempt = QStringLiteral("echo x >> \"$(dirname \"$0\")/attempts\"\n");

// A stand-in body whose whole process tree carries a fresh mark in its environment.
QString Marked(const QString &mark, const QString &body)
{
    return QStringLiteral("if [ -z \"$QV_TREE\" ]; then exec env QV_TREE=%1 \"$0\" \"$@\"; fi\n").arg(mark) +
           body;
}

QList<qint64> Living(const QString &mark)
{
    return TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark);
}

} // namespace

class TestVoiceData : public QObject
{
    Q_OBJECT
    QScopedPointer<QTemporaryDir> appDir, outDir;
    QString song() const { return outDir->filePath(QStringLiteral("song.flac")); }

private slots:
    void init()
    {
        appDir.reset(new QTemporaryDir);
        outDir.reset(new QTemporaryDir);
        g_appDir = appDir->path();
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir->path());
    }

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
        QTest::addRow("1025 bytes succeed") << sized(1025, 0) << 2 << 1 << qint64(1025);
        QTest::addRow("1024 bytes fail at once") << sized(1024, 0) << 3 << 1 << qint64(-1);
        QTest::addRow("1023 bytes retried twice") << sized(1023, 0) << 3 << 3 << qint64(-1);
        QTest::addRow("no file retried twice")
            << countAttempt + QStringLiteral("exit 0") << 3 << 3 << qint64(-1);
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
    void verdict()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(int, attempts);
        QFETCH(qint64, keptSize);
        QVERIFY(TestSupport::writeStandInFfmpeg(appDir->path(), script));
        Run run(song());
        run.job.startConvert();
        QVERIFY(run.finished.wait(20000));
        QCOMPARE(run.finishedCount(), 1);
        QCOMPARE(run.finished.first().first().value<VoiceData *>(), static_cast<VoiceData *>(&run.job));
        QCOMPARE(run.job.status, status);
        QFile counted(appDir->filePath(QStringLiteral("attempts")));
        QVERIFY(counted.open(QIODevice::ReadOnly));
        QCOMPARE(counted.readAll().count('\n'), attempts);
        QCOMPARE(run.job.outputPath, outDir->filePath(QStringLiteral("song-test.wav")));
        const QFileInfo kept(run.job.outputPath);
        QCOMPARE(kept.exists() ? kept.size() : qint64(-1), keptSize);
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
        Run run(song());
        QSignalSpy errors(&run.job.process, &QProcess::errorOccurred);
        run.job.startConvert();
        if (stopAtOnce)
            run.job.stopConvert();
        QTRY_COMPARE(run.finished.count(), 1);
        QCOMPARE(run.finishedCount(), 1);
        QCOMPARE(run.job.status, int(stopAtOnce ? VoiceData::Stopped : VoiceData::Failed));
        QVERIFY(!QFileInfo::exists(run.job.outputPath));
        if (stopAtOnce)
            return;
        QVERIFY(run.job.lastRunFailed());
        QCOMPARE(errors.count(), 3); // three attempts, each failing to start
        for (const QList<QVariant> &error : qAsConst(errors))
            QCOMPARE(error.first().value<QProcess::ProcessError>(), QProcess::FailedToStart);
    }

    void progressFromStatusLines_data()
    {
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<QList<int>>("reported");
        // 30 s, then a smaller time (kept, but reported), then a time text too
        // short to count, then one beyond the end written in two pieces.
        QTest::addRow("sixty seconds") << qint64(60000000) << QList<int>{5000, 5000, 9999};
        QTest::addRow("unknown duration") << qint64(0) << QList<int>();
    }
    void progressFromStatusLines()
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
        Run run(song());
        run.job.duration = duration;
        QList<int> seen;
        connect(&run.job, &VoiceData::updateProgress, this,
                [&seen](VoiceData *job) { seen << job->progress; });
        run.job.startConvert();
        QVERIFY(run.finished.wait(20000));
        QCOMPARE(seen, reported);
        QCOMPARE(run.job.status, int(VoiceData::Succeeded));
    }

    void realFfmpegReportsItsProgress()
    {
        TestSupport::useBuildAppDir();
        QVERIFY(TestSupport::makeTone(song(), 1.0));
        const QByteArray digest = TestSupport::fileDigest(song());
        Run run(song());
        run.job.duration = 1000000;
        run.job.startConvert();
        QVERIFY(run.finished.wait(20000));
        QCOMPARE(run.job.status, int(VoiceData::Succeeded));
        // ffmpeg's last status line reports the whole second.
        QCOMPARE(run.job.progress, RunningProgressLimit);
        QCOMPARE(TestSupport::fileDigest(song()), digest);
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
        // Three levels of shells below the child, restarting sleeps: a tree that
        // keeps changing while it is being ended. Every process carries the mark.
        const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            appDir->path(),
            Marked(mark,
                   QStringLiteral("head -c 3000 /dev/zero > \"$out\"\n"
                                  "sh -c 'sh -c \"echo \\$\\$ > great.pid; while :; do sleep 30; done\" & "
                                  "while :; do sleep 30; done' &\nwhile :; do sleep 30; done"))));
        QScopedPointer<Run> run(new Run(song()));
        run->job.startConvert();
        QFile pidFile(appDir->filePath(QStringLiteral("great.pid")));
        QTRY_VERIFY(pidFile.size() > 0);
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        // The whole tree is seen, not one line of descent.
        const QStringList tree = run->job.getChildProcessList();
        QCOMPARE(tree.value(0), QString::number(run->job.process.processId()));
        QVERIFY2(tree.contains(QString::fromLatin1(pidFile.readAll().trimmed())),
                 qPrintable(tree.join(QLatin1Char(' '))));
        QVERIFY(Living(mark).size() >= 3);

        int finished = 0;
        connect(&run->job, &VoiceData::convertfinished, this, [&finished] { ++finished; });
        if (destroy) {
            run.reset();
        } else {
            run->job.stopConvert();
            QCOMPARE(run->job.status, int(VoiceData::Stopped));
            QCOMPARE(run->job.process.state(), QProcess::NotRunning);
            QCOMPARE(QFileInfo(run->job.outputPath).size(), qint64(3000)); // the partial output stays
        }
        // Killed processes may take a moment to be gone; one that survived would stay.
        QTRY_COMPARE(Living(mark), QList<qint64>());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(finished, destroy ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestVoiceData)
#include "tst_voicedata.moc"
