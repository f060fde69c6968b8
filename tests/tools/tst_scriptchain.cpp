#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "app/globals.h"
#include "common/qcommonutils.h"
#include "engine/voicedata.h"
#include "support/chainrecorder.h"
#include "support/testsupport.h"
#include "tools/changeconvert/voicechangedata.h"

// The chain machinery of the script tools, run with the real ffmpeg and a
// stand-in runtime whose behaviour each test picks: copy the segments over
// (a script that changes nothing), fail, hang with children, or block the
// job's join list.
namespace {
// clang-format off
const char standInPython[] = R"SH(#!/bin/sh
here=$(dirname "$0")
mode=$(cat "$here/mode" 2>/dev/null)
if [ "$mode" = hang ] && [ -z "$QV_TREE" ]; then exec env QV_TREE="$(cat "$here/mark")" "$0" "$@"; fi
echo run >> "$here/runs"
while [ $# -gt 0 ]; do
    case "$1" in
        --input_path) in=$2; shift ;;
        --opt_path|--out_path) out=$2; shift ;;
    esac
    shift
done
case "$mode" in
    fail) echo "infer_cli2.py: error: unknown model: nosuch.pth" >&2; exit 1 ;;
    hang) sleep 30 & while :; do sleep 30; done ;;
    blocklist) mkdir "$(dirname "$out")/join.txt" ;;
esac
mkdir -p "$out"
for f in "$in"/*.wav; do cp "$f" "$out/"; done
echo "['segment0.wav']->Success"
)SH";
// clang-format on

} // namespace

class TestScriptChain : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void segmentTime_data();
    void segmentTime();
    void scriptLine_data();
    void scriptLine();
    void joinList();
    void cutting_data();
    void cutting();
    void shortLastSegmentIsDropped();
    void inputUnderOneSecondFails();
    void failingScriptEndsTheChain();
    void missingRuntimeFailsOnce();
    void missingFfmpegFailsOnceAndLater();
    void unwritableJoinListFailsOnce();
    void stopDuringScriptLeavesNoProcessAndResumes();
    void stopWhileProbingTheLastSegment();
    void deletingWhileProbingTheLastSegment();
    void sameFileTwiceAtOnce();
    void staleWorkFoldersAreRemoved();

private:
    void setMode(const QString &mode);
    int pythonRuns() const;
    VoiceChangeData *newJob(const QString &input);
    QString tone(const QString &name, double seconds);

    QScopedPointer<QTemporaryDir> appDir;
    QScopedPointer<QTemporaryDir> outDir;
    QScopedPointer<QTemporaryDir> inDir;
};

void TestScriptChain::init()
{
    appDir.reset(new QTemporaryDir);
    outDir.reset(new QTemporaryDir);
    inDir.reset(new QTemporaryDir);
    g_appDir = appDir->path();
    QVERIFY(QFile::link(QStringLiteral("/usr/bin/ffmpeg"), appDir->filePath(QStringLiteral("ffmpeg"))));
    QVERIFY(QDir().mkpath(appDir->filePath(QStringLiteral("runtime"))));
    QVERIFY(TestSupport::writeExecutable(ScriptChainData::PythonPath(), QLatin1String(standInPython)));
    setMode(QStringLiteral("copy"));
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir->path());
    g_changeModel = QStringLiteral("pellimorV2.pth");
}

void TestScriptChain::cleanup()
{
    inDir.reset();
    outDir.reset();
    appDir.reset();
}

void TestScriptChain::setMode(const QString &mode)
{
    QFile file(appDir->filePath(QStringLiteral("runtime/mode")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(mode.toLatin1());
}

int TestScriptChain::pythonRuns() const
{
    QFile file(appDir->filePath(QStringLiteral("runtime/runs")));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

QString TestScriptChain::tone(const QString &name, double seconds)
{
    const QString path = inDir->filePath(name);
    if (!TestSupport::makeTone(path, seconds))
        return QString();
    return path;
}

VoiceChangeData *TestScriptChain::newJob(const QString &input)
{
    auto *job = new VoiceChangeData;
    VoiceData record;
    if (TestSupport::probeFile(input, record))
        job->copyProbeFacts(record);
    return job;
}

void TestScriptChain::segmentTime_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("time");
    QTest::addRow("0 s") << 0.0 << 5;
    QTest::addRow("10 s") << 10.0 << 6;
    QTest::addRow("12 s") << 12.0 << 5;
    QTest::addRow("12.4 s: whole seconds count") << 12.4 << 5;
    QTest::addRow("10.5 s") << 10.5 << 6;
    QTest::addRow("30 s") << 30.0 << 7;
    QTest::addRow("210 s") << 210.0 << 8;
    QTest::addRow("840 s") << 840.0 << 9;
    QTest::addRow("2520 s: all divide") << 2520.0 << 5;
    QTest::addRow("2520.3 s") << 2520.3 << 5;
}

void TestScriptChain::segmentTime()
{
    QFETCH(double, seconds);
    QFETCH(int, time);
    QCOMPARE(ScriptChainData::SegmentTime(qint64(seconds * 1000000)), time);
}

void TestScriptChain::scriptLine_data()
{
    QTest::addColumn<int>("segments");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("reported");
    const QString two = QStringLiteral("['segment0.wav', 'segment1.wav']->Success");
    QTest::addRow("four segments, two done") << 4 << 1000 << two << 4200 << true;
    QTest::addRow("then half of the next") << 4 << 4200 << "progress 50%" << 5000 << true;
    QTest::addRow("success line sets, does not add") << 4 << 6000 << two << 4200 << true;
    QTest::addRow("percentage and markers: success only")
        << 4 << 1000 << two + QStringLiteral(" 50%") << 4200 << true;
    QTest::addRow("three segments, three done")
        << 3 << 1000 << "['segment0.wav', 'segment1.wav', 'segment2.wav']->Success" << 7000 << true;
    QTest::addRow("fraction") << 4 << 1000 << "progress 12.5%" << 1200 << true;
    QTest::addRow("only the first figure") << 4 << 1000 << "25% then 75%" << 1400 << true;
    QTest::addRow("no figure") << 4 << 3000 << "voice lumo: pitch x0.78, formants x0.88, 4 segments" << 3000
                               << false;
    QTest::addRow("markers without the list") << 4 << 3000 << "segment0.wav->Success" << 3000 << false;
    QTest::addRow("never the stage's end") << 1 << 8500 << "progress 100%" << 8999 << true;
}

void TestScriptChain::scriptLine()
{
    QFETCH(int, segments);
    QFETCH(int, before);
    QFETCH(QString, line);
    QFETCH(int, after);
    QFETCH(bool, reported);
    int progress = before;
    QCOMPARE(ScriptChainData::ReadScriptLine(line, segments, ScriptChainData::ScriptEndProgress, progress),
             reported);
    QCOMPARE(progress, after);
}

void TestScriptChain::joinList()
{
    const QString list = outDir->filePath(QStringLiteral("join.txt"));
    QVERIFY(TestSupport::writeFileOfSize(list, 5000));
    QVERIFY(ScriptChainData::WriteJoinList(
        list, {QStringLiteral("/w/vocal/segment0.wav"), QStringLiteral("/w/it's/s\u00e9gment1.wav")}));
    QFile file(list);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("file '/w/vocal/segment0.wav' \n"
                                        "file '/w/it'\\''s/s\xc3\xa9gment1.wav' \n"));
    file.close();

    QVERIFY(ScriptChainData::WriteJoinList(list, {}));
    QCOMPARE(QFileInfo(list).size(), qint64(0));
    QVERIFY(
        !ScriptChainData::WriteJoinList(QStringLiteral("/proc/1/join.txt"), {QStringLiteral("/w/a.wav")}));
}

void TestScriptChain::cutting_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QList<double>>("lengths");
    QTest::addRow("12.4 s keeps three") << 12.4 << QList<double>{5.0, 5.0, 2.4};
    QTest::addRow("10.5 s: two of six and 4.5") << 10.5 << QList<double>{6.0, 4.5};
    QTest::addRow("5 s: one") << 5.0 << QList<double>{5.0};
}

void TestScriptChain::cutting()
{
    QFETCH(double, seconds);
    QFETCH(QList<double>, lengths);
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("in.wav"), seconds)));
    QList<double> cut;
    int countAtCut = -1;
    connect(job.data(), &VoiceData::updateProgress, this, [&] {
        if (job->stage != 0)
            return;
        countAtCut = job->segmentCount;
        const QFileInfoList files = QDir(job->segmentsFolder).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo &file : files)
            cut << TestSupport::mediaSeconds(file.absoluteFilePath());
    });
    QSignalSpy finished(job.data(), &VoiceData::convertfinished);
    job->startConvert();
    QVERIFY(finished.wait(30000));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(countAtCut, lengths.size());
    QCOMPARE(job->segmentCount, lengths.size());
    QCOMPARE(cut.size(), lengths.size());
    for (int i = 0; i < cut.size(); ++i)
        QVERIFY2(qAbs(cut.at(i) - lengths.at(i)) < 0.03, qPrintable(QString::number(cut.at(i))));
    // The stand-in script copies the segments: the join gives the input back.
    QVERIFY(qAbs(TestSupport::mediaSeconds(job->outputPath) - seconds) < 0.03);
}

void TestScriptChain::shortLastSegmentIsDropped()
{
    // A cut whose last piece is under a second, as a 2520.3 s input would
    // give: the stand-in ffmpeg lays out prepared segments, the probe and
    // the rest of the chain are real.
    const QString prepared = inDir->filePath(QStringLiteral("prepared"));
    QVERIFY(QDir().mkpath(prepared));
    QVERIFY(TestSupport::makeTone(prepared + QStringLiteral("/segment0.wav"), 5.0));
    QVERIFY(TestSupport::makeTone(prepared + QStringLiteral("/segment1.wav"), 5.0));
    QVERIFY(TestSupport::makeTone(prepared + QStringLiteral("/segment2.wav"), 0.3));
    QFile::remove(appDir->filePath(QStringLiteral("ffmpeg")));
    QVERIFY(TestSupport::writeStandInFfmpeg(
        appDir->path(), QStringLiteral("case \"$out\" in */segment%d.wav)\n"
                                       "    cp \"%1\"/*.wav \"$(dirname \"$out\")\"; exit 0 ;;\n"
                                       "esac\n"
                                       "exec /usr/bin/ffmpeg \"$@\"")
                            .arg(prepared)));

    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("long.wav"), 10.3)));
    QStringList kept;
    connect(job.data(), &VoiceData::updateProgress, this, [&] {
        if (job->stage == 0)
            kept = QDir(job->segmentsFolder).entryList(QDir::Files, QDir::Name);
    });
    QSignalSpy finished(job.data(), &VoiceData::convertfinished);
    job->startConvert();
    QVERIFY(finished.wait(30000));
    QCOMPARE(kept, (QStringList{"segment0.wav", "segment1.wav"}));
    QCOMPARE(job->segmentCount, 2);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QVERIFY(qAbs(TestSupport::mediaSeconds(job->outputPath) - 10.0) < 0.03);
} // namespace

void TestScriptChain::inputUnderOneSecondFails()
{
    // Its only segment is under a second and is dropped: nothing is left to convert.
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("blip.wav"), 0.5)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 30000);
    QCOMPARE(job->status, int(VoiceData::Failed));
    QCOMPARE(job->segmentCount, 0);
    QCOMPARE(job->errorText, ScriptChainData::tr("The input is shorter than one second."));
    QCOMPARE(pythonRuns(), 0);
    QVERIFY(!QFileInfo::exists(work));
}

void TestScriptChain::failingScriptEndsTheChain()
{
    setMode(QStringLiteral("fail"));
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("in.wav"), 3.0)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 30000);
    QCOMPARE(job->status, int(VoiceData::Failed));
    QCOMPARE(job->errorText, QStringLiteral("infer_cli2.py: error: unknown model: nosuch.pth"));
    // Nothing after the script ran: no join, no encode, no output.
    QCOMPARE(recorder.stageEndProgress(), QList<int>{1000});
    QCOMPARE(QDir(outDir->path()).entryList(QDir::Files), QStringList());
    QCOMPARE(job->stage, 0);
    QVERIFY(!QFileInfo::exists(work));
    QCoreApplication::processEvents();
    QCOMPARE(recorder.finished, 1);
}

void TestScriptChain::missingRuntimeFailsOnce()
{
    QVERIFY(QFile::remove(ScriptChainData::PythonPath()));
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("in.wav"), 3.0)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 30000);
    QCOMPARE(job->status, int(VoiceData::Failed));
    QCOMPARE(job->errorText, VoiceData::tr("The converter could not be started."));
    QVERIFY(!QFileInfo::exists(work));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(recorder.finished, 1);
}

void TestScriptChain::missingFfmpegFailsOnceAndLater()
{
    const QString input = tone(QStringLiteral("in.wav"), 3.0);
    QScopedPointer<VoiceChangeData> job(newJob(input));
    QVERIFY(QFile::remove(appDir->filePath(QStringLiteral("ffmpeg"))));
    ChainRecorder recorder(job.data());
    job->startConvert();
    // Whoever started the job sees it converting first.
    QCOMPARE(job->status, int(VoiceData::Converting));
    QCOMPARE(recorder.finished, 0);
    QTRY_COMPARE(recorder.finished, 1);
    QCOMPARE(job->status, int(VoiceData::Failed));
    QVERIFY(!QFileInfo::exists(job->workFolder));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(recorder.finished, 1);
}

void TestScriptChain::unwritableJoinListFailsOnce()
{
    setMode(QStringLiteral("blocklist"));
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("in.wav"), 3.0)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 30000);
    QCOMPARE(job->status, int(VoiceData::Failed));
    QCOMPARE(job->errorText, ScriptChainData::tr("The list of pieces to join could not be written."));
    QCOMPARE(recorder.stageEndProgress(), (QList<int>{1000, 9000}));
    QVERIFY(!QFileInfo::exists(work));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(recorder.finished, 1);
}

void TestScriptChain::stopDuringScriptLeavesNoProcessAndResumes()
{
    const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QFile markFile(appDir->filePath(QStringLiteral("runtime/mark")));
    QVERIFY(markFile.open(QIODevice::WriteOnly));
    markFile.write(mark.toLatin1());
    markFile.close();
    setMode(QStringLiteral("hang"));

    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("talk.wav"), 3.0)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    // The script, its sleeping child and the sleep of its loop.
    QTRY_VERIFY_WITH_TIMEOUT(
        TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark).size() >= 3, 30000);
    QCOMPARE(job->stage, 1);

    job->stopConvert();
    QCOMPARE(job->status, int(VoiceData::Stopped));
    QCOMPARE(recorder.finished, 1);
    QTRY_COMPARE(TestSupport::livingProcessesWithEnvironment(QStringLiteral("QV_TREE"), mark),
                 QList<qint64>());
    // The chain keeps its place and its segments for the next start.
    QCOMPARE(job->stage, 1);
    QCOMPARE(QDir(job->segmentsFolder).entryList(QDir::Files), QStringList{"segment0.wav"});
    QCOMPARE(pythonRuns(), 1);

    setMode(QStringLiteral("copy"));
    job->startConvert();
    QCOMPARE(job->process.program(), ScriptChainData::PythonPath());
    QCOMPARE(job->progress, ScriptChainData::CutEndProgress);
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 2, 30000);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(pythonRuns(), 2);
    QCOMPARE(job->outputPath, outDir->filePath(QStringLiteral("talk-vocal.wav")));
    QVERIFY(!QFileInfo::exists(job->workFolder));
}

void TestScriptChain::stopWhileProbingTheLastSegment()
{
    // Probes take a second here, which leaves time to stop between two children.
    QFile::remove(appDir->filePath(QStringLiteral("ffmpeg")));
    QVERIFY(TestSupport::writeStandInFfmpeg(
        appDir->path(), QStringLiteral("[ $# -eq 2 ] && sleep 1\nexec /usr/bin/ffmpeg \"$@\"")));
    QScopedPointer<VoiceChangeData> job(newJob(tone(QStringLiteral("in.wav"), 3.0)));
    ChainRecorder recorder(job.data());
    job->startConvert();
    QTRY_VERIFY_WITH_TIMEOUT(job->process.state() == QProcess::NotRunning, 30000);
    QCOMPARE(job->status, int(VoiceData::Converting));
    job->stopConvert();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 10000);
    QCOMPARE(job->status, int(VoiceData::Stopped));
    QCOMPARE(job->stage, 0);
    QCOMPARE(pythonRuns(), 0);
    QVERIFY(recorder.reports.isEmpty());
}

void TestScriptChain::deletingWhileProbingTheLastSegment()
{
    QFile::remove(appDir->filePath(QStringLiteral("ffmpeg")));
    QVERIFY(TestSupport::writeStandInFfmpeg(
        appDir->path(), QStringLiteral("[ $# -eq 2 ] && sleep 1\nexec /usr/bin/ffmpeg \"$@\"")));
    VoiceChangeData *job = newJob(tone(QStringLiteral("in.wav"), 3.0));
    job->startConvert();
    const QString work = job->workFolder;
    QTRY_VERIFY_WITH_TIMEOUT(job->process.state() == QProcess::NotRunning, 30000);
    QVERIFY(QFileInfo::exists(work + QStringLiteral("/segments/segment0.wav")));
    delete job;
    // Nothing of the job is left behind, and its probe's end reaches no one.
    QVERIFY(!QFileInfo::exists(work));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(pythonRuns(), 0);
}

void TestScriptChain::sameFileTwiceAtOnce()
{
    const QString input = tone(QStringLiteral("twice.wav"), 3.0);
    QScopedPointer<VoiceChangeData> first(newJob(input));
    QScopedPointer<VoiceChangeData> second(newJob(input));
    ChainRecorder one(first.data());
    ChainRecorder two(second.data());
    first->startConvert();
    second->startConvert();
    QVERIFY(first->workFolder != second->workFolder);
    QVERIFY(first->workFolder.contains(QCommonUtils::GetStringMD5(input)));
    QTRY_VERIFY_WITH_TIMEOUT(one.finished == 1 && two.finished == 1, 30000);
    QCOMPARE(first->status, int(VoiceData::Succeeded));
    QCOMPARE(second->status, int(VoiceData::Succeeded));
    QCOMPARE(QDir(outDir->path()).entryList(QDir::Files, QDir::Name),
             (QStringList{"twice-vocal(0).wav", "twice-vocal.wav"}));
    for (const QString &name : {QStringLiteral("twice-vocal.wav"), QStringLiteral("twice-vocal(0).wav")})
        QVERIFY(qAbs(TestSupport::mediaSeconds(outDir->filePath(name)) - 3.0) < 0.03);
    QVERIFY(!QFileInfo::exists(first->workFolder));
    QVERIFY(!QFileInfo::exists(second->workFolder));
}

void TestScriptChain::staleWorkFoldersAreRemoved()
{
    const QString temp = GetTempFolder() + QLatin1Char('/');
    const QString digest = QCommonUtils::GetStringMD5(QStringLiteral("/music/song.wav"));
    // pid_max never reaches this: no process owns the folder.
    const QString stale = temp + digest + QStringLiteral("-999999999-3");
    const QString own = ScriptChainData::WorkFolderFor(QStringLiteral("/music/song.wav"), 77);
    const QString other = temp + QStringLiteral("notes-999999999-3");
    for (const QString &folder : {stale, own, other}) {
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/segments")));
        QVERIFY(TestSupport::writeFileOfSize(folder + QStringLiteral("/segments/.segment0.wav.part"), 10));
    }
    ScriptChainData::RemoveStaleWorkFolders();
    QVERIFY(!QFileInfo::exists(stale));
    QVERIFY(QFileInfo::exists(own + QStringLiteral("/segments/.segment0.wav.part")));
    QVERIFY(QFileInfo::exists(other + QStringLiteral("/segments/.segment0.wav.part")));
    QDir(own).removeRecursively();
    QDir(other).removeRecursively();
}

QTEST_GUILESS_MAIN(TestScriptChain)
#include "tst_scriptchain.moc"
