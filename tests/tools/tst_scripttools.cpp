// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The voice changer and the voice separation: whole chains with the real
// runtime of the application directory, and the chain's failures and stop
// with a stand-in runtime whose behaviour each test picks.
#include <optional>

#include <QDir>
#include <QScopeGuard>
#include <QUuid>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/optioncombobox.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "common/qcommonutils.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"
#include "tools/common/scriptchaindata.h"

namespace {
// Copies the segments over (a script that changes nothing), or in mode
// "fail" fails, "hang" hangs with a child, "blocklist" blocks the join list,
// "queue" lets the first run go and holds the others until a gate opens.
// clang-format off
const char standInPython[] = R"SH(#!/bin/sh
mode='%1'
if [ "$mode" = hang ] && [ -z "$QV_TREE" ]; then exec env QV_TREE=%2 "$0" "$@"; fi
echo run >> "$(dirname "$0")/runs"
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
    queue) mkdir "$(dirname "$0")/first" 2>/dev/null || while [ ! -e "$(dirname "$0")/gate" ]; do sleep 0.05; done ;;
esac
mkdir -p "$out"
for f in "$in"/*.wav; do cp "$f" "$out/"; done
echo "['segment0.wav']->Success"
)SH";
// clang-format on
} // namespace

class TestScriptTools : public ToolFixture
{
    Q_OBJECT
private:
    // What a job reported at every updateProgress (the stage, the progress
    // and the arguments of the child it last ran) and how often it ended.
    struct Report
    {
        int stage;
        int progress;
        QStringList arguments;
    };
    QList<Report> reports;
    int finished = 0;

    QScopedPointer<QTemporaryDir> runtime;
    ToolsBaseWidget *panel = nullptr;
    // Points the application directory at a stand-in runtime beside the real ffmpeg.
    bool useStandInRuntime(const QString &mode, const QString &mark = QString())
    {
        if (!runtime) {
            runtime.reset(new QTemporaryDir);
            if (!QFile::link(QStringLiteral("/usr/bin/ffmpeg"),
                             runtime->filePath(QStringLiteral("ffmpeg"))) ||
                !QDir().mkpath(runtime->filePath(QStringLiteral("runtime"))))
                return false;
        }
        g_appDir = runtime->path();
        return TestSupport::writeExecutable(ScriptChainData::PythonPath(),
                                            QString::fromLatin1(standInPython).arg(mode, mark));
    }

    int scriptRuns() const
    {
        QFile runs(runtime->filePath(QStringLiteral("runtime/runs")));
        return runs.open(QIODevice::ReadOnly) ? runs.readAll().count('\n') : 0;
    }

    // A job of the voice changer for a tone of `seconds`, recorded.
    ScriptChainData *addTone(const QString &name, double seconds)
    {
        const QString input = inputs.filePath(name);
        panel = open(Changer);
        if (!TestSupport::makeTone(input, seconds) || !add(panel, {input}))
            return nullptr;
        auto *job = qobject_cast<ScriptChainData *>(panel->jobs().last());
        record(job);
        return job;
    }

    void record(ScriptChainData *job)
    {
        reports.clear();
        finished = 0;
        connect(job, &VoiceData::updateProgress, this, [this, job] {
            reports.append({job->stage, job->progress, job->process.arguments()});
        });
        connect(job, &VoiceData::convertfinished, this, [this] { ++finished; });
    }

    // The last report of each stage, in the order the stages ran: the report
    // a stage gives as it ends, with the child that ran it.
    QList<Report> stageEnds() const
    {
        QList<Report> ends;
        for (int i = 0; i < reports.size(); ++i) {
            if (i + 1 == reports.size() || reports.at(i + 1).stage != reports.at(i).stage)
                ends.append(reports.at(i));
        }
        return ends;
    }

    QList<int> stageEndProgress() const
    {
        QList<int> progress;
        for (const Report &report : stageEnds())
            progress.append(report.progress);
        return progress;
    }
private slots:
    void cleanup()
    {
        ToolFixture::cleanup();
        runtime.reset();
        for (const QString &name : outputFiles())
            QFile::remove(outputs.filePath(name));
    }

    void segmentTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("time");
        QTest::addRow("0 s") << 0.0 << 5;
        QTest::addRow("10 s") << 10.0 << 6;
        QTest::addRow("12.4 s: whole seconds count") << 12.4 << 5;
        QTest::addRow("30 s") << 30.0 << 7;
        QTest::addRow("210 s") << 210.0 << 8;
        QTest::addRow("840 s") << 840.0 << 9;
        QTest::addRow("2520.3 s: all divide") << 2520.3 << 5;
    }

    void segmentTime()
    {
        QFETCH(double, seconds);
        QFETCH(int, time);
        QCOMPARE(ScriptChainData::SegmentTime(qint64(seconds * 1000000)), time);
    }

    void scriptLine_data()
    {
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("reported");
        const QString two = QStringLiteral("['segment0.wav', 'segment1.wav']->Success");
        // Four segments share 8000 in five steps of 1600 after the cut's 1000.
        // clang-format off
        QTest::addRow("two segments done") << 4 << 1000 << two << 4200 << true;
        QTest::addRow("then half of the next") << 4 << 4200 << "progress 50%" << 5000 << true;
        QTest::addRow("a success line sets, it does not add") << 4 << 6000 << two << 4200 << true;
        QTest::addRow("percentage and markers: success only") << 4 << 1000 << two + QStringLiteral(" 50%") << 4200 << true;
        QTest::addRow("fraction") << 4 << 1000 << "progress 12.5%" << 1200 << true;
        QTest::addRow("only the first figure") << 4 << 1000 << "25% then 75%" << 1400 << true;
        QTest::addRow("no figure") << 4 << 3000 << "voice lumo: pitch x0.78, 4 segments" << 3000 << false;
        QTest::addRow("markers without the list") << 4 << 3000 << "segment0.wav->Success" << 3000 << false;
        QTest::addRow("never the stage's end") << 1 << 8500 << "progress 100%" << 8999 << true;
        // clang-format on
    }

    void scriptLine()
    {
        QFETCH(int, segments);
        QFETCH(int, before);
        QFETCH(QString, line);
        QFETCH(int, after);
        QFETCH(bool, reported);
        int progress = before;
        QCOMPARE(
            ScriptChainData::ReadScriptLine(line, segments, ScriptChainData::ScriptEndProgress, progress),
            reported);
        QCOMPARE(progress, after);
    }

    void reopenedPanelShowsTheChoiceInForce_data()
    {
        // The box shows the entry whose model is in force, so a choice that was
        // not kept shows as entry 0.
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("choice");
        QTest::addRow("speaker 2") << int(Changer) << 2;
        QTest::addRow("speaker 3") << int(Changer) << 3;
        QTest::addRow("de-echo model") << int(Separation) << 1;
        QTest::addRow("all-vocals model") << int(Separation) << 2;
    }

    void reopenedPanelShowsTheChoiceInForce()
    {
        QFETCH(int, tool);
        QFETCH(int, choice);
        choose(open(tool), choice);
        window->toolsSelectWidget->ShowSelector();
        panel = open(tool);
        auto *box = panel->findChild<OptionComboBox *>();
        QCOMPARE(box->currentIndex(), choice);
        // Texts rebuilt in another language keep it too.
        panel->FlushText();
        QCOMPARE(box->currentIndex(), choice);
        choose(panel, 0);
    }

    // Runs before any other chain of this process starts.
    void firstStartSweepsWorkFoldersOfEndedProcesses()
    {
        const QString work = GetTempFolder() + '/' + QCommonUtils::GetStringMD5("x");
        const QString ended = work + "-99999999-1", running = work + "-1-1";
        QVERIFY(QDir().mkpath(ended) && QDir().mkpath(running));
        QVERIFY(useStandInRuntime(QStringLiteral("copy")));
        QVERIFY(addTone(QStringLiteral("sweep.wav"), 3.0) && convert(panel));
        QVERIFY(!QFileInfo::exists(ended));
        QVERIFY(QDir(running).removeRecursively());
    }

    void wholeChain_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QList<int>>("endProgress");
        QTest::addColumn<QStringList>("results");
        // clang-format off
        QTest::addRow("voice changer") << int(Changer) << 1 << "lumoV1.pth" << "talk.m4a" << QStringList{"talk-vocal.m4a"}
            << QList<int>{1000, 9000, 9500, 9999} << QStringList{"talk-vocal(0).m4a"};
        QTest::addRow("separation") << int(Separation) << 0 << "HP5_only_main_vocal" << "song.wav" << QStringList{"song-instrument.wav", "song-vocal.wav"}
            << QList<int>{1000, 9000, 9200, 9500, 9700, 9999} << QStringList{"song-instrument(0).wav", "song-vocal(0).wav"};
        // clang-format on
    }

    void wholeChain()
    {
        QFETCH(int, tool);
        QFETCH(int, choice);
        QFETCH(QString, model);
        QFETCH(QString, input);
        QFETCH(QStringList, earlier);
        QFETCH(QList<int>, endProgress);
        QFETCH(QStringList, results);
        input = inputs.filePath(input);
        QVERIFY(TestSupport::makeTone(input, 6.5, 440, 44100, 2));
        const QByteArray digest = TestSupport::fileDigest(input);
        for (const QString &name : earlier)
            QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(name), 10));

        panel = open(tool);
        choose(panel, choice);
        QVERIFY(add(panel, {input}));
        auto *job = qobject_cast<ScriptChainData *>(panel->jobs().first());
        record(job);
        QVERIFY(convert(panel));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QCOMPARE(finished, 1);
        QCOMPARE(job->stage, 0);
        QVERIFY(!QFileInfo::exists(job->workFolder));

        // 6 s cut by 5 s: two segments. Every stage ran in order, the script with the chosen model.
        QCOMPARE(job->segmentCount, 2);
        QCOMPARE(stageEndProgress(), endProgress);
        const QList<Report> ends = stageEnds();
        for (int i = 0; i < ends.size(); ++i)
            QCOMPARE(ends.at(i).stage, i);
        QVERIFY(ends.at(1).arguments.contains(model));
        // The script's lines moved progress a segment at a time (1000 + n x 2666 for
        // two segments); no other stage's lines moved it.
        QList<int> scriptProgress;
        QVector<int> reportsOfStage(ends.size());
        for (const Report &report : qAsConst(reports)) {
            ++reportsOfStage[report.stage];
            if (report.stage == 1)
                scriptProgress << report.progress;
        }
        QVERIFY(scriptProgress.contains(3666) && scriptProgress.contains(6332));
        for (int stage = 0; stage < ends.size(); ++stage)
            QVERIFY(stage == 1 || reportsOfStage.at(stage) == 1);

        QStringList files = earlier + results;
        files.sort();
        QCOMPARE(outputFiles(), files);
        // The job names every result it left (the command line's outputs).
        QStringList named;
        for (const QString &path : job->results())
            named << QFileInfo(path).fileName();
        named.sort();
        QCOMPARE(named, results);
        for (const QString &name : results) {
            const double seconds = TestSupport::decodeMono(outputs.filePath(name), 44100).size() / 44100.0;
            QVERIFY2(qAbs(seconds - 6.5) < 0.1, qPrintable(name + QString::number(seconds)));
        }
        QCOMPARE(TestSupport::fileDigest(input), digest);
        QCOMPARE(QFileInfo(outputs.filePath(earlier.first())).size(), qint64(10));
    }

    void shortLastSegmentIsDropped()
    {
        // A cut whose last piece is under a second, as a 2520.3 s input would
        // give: the stand-in ffmpeg lays out prepared segments, the probe and
        // the rest of the chain are real.
        QVERIFY(useStandInRuntime(QStringLiteral("copy")));
        const QString prepared = inputs.filePath(QStringLiteral("prepared"));
        QVERIFY(QDir().mkpath(prepared));
        const double lengths[] = {5.0, 5.0, 0.3};
        for (int i = 0; i < 3; ++i)
            QVERIFY(TestSupport::makeTone(prepared + QStringLiteral("/segment%1.wav").arg(i), lengths[i]));
        ScriptChainData *job = addTone(QStringLiteral("long.wav"), 10.3);
        QVERIFY(job);
        QVERIFY(QFile::remove(runtime->filePath(QStringLiteral("ffmpeg"))));
        QVERIFY(TestSupport::writeStandInFfmpeg(
            runtime->path(), QStringLiteral("case \"$out\" in */segment%d.wav)\n"
                                            "    cp \"%1\"/*.wav \"$(dirname \"$out\")\"; exit 0 ;;\n"
                                            "esac\nexec /usr/bin/ffmpeg \"$@\"")
                                 .arg(prepared)));
        QStringList kept;
        connect(job, &VoiceData::updateProgress, this, [&] {
            if (job->stage == 0)
                kept = QDir(job->segmentsFolder).entryList(QDir::Files, QDir::Name);
        });
        QVERIFY(convert(panel));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QCOMPARE(kept, (QStringList{"segment0.wav", "segment1.wav"}));
        QCOMPARE(job->segmentCount, 2);
        const QVector<qint16> samples = TestSupport::decodeMono(job->outputPath, 44100);
        QVERIFY(qAbs(samples.size() / 44100.0 - 10.0) < 0.03);
    }

    void failureEndsTheChainOnce_data()
    {
        QTest::addColumn<QString>("mode"); // of the stand-in runtime, or what is missing
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QList<int>>("endProgress");
        // clang-format off
        QTest::addRow("script fails") << "fail" << 3.0 << "infer_cli2.py: error: unknown model: nosuch.pth" << QList<int>{1000};
        QTest::addRow("python.exe missing") << "nopython" << 3.0 << "The converter could not be started." << QList<int>{1000};
        QTest::addRow("ffmpeg missing") << "noffmpeg" << 3.0 << "The converter could not be started." << QList<int>();
        QTest::addRow("join list not writable") << "blocklist" << 3.0 << "The list of pieces to join could not be written." << QList<int>{1000, 9000};
        QTest::addRow("input under one second") << "copy" << 0.5 << "The input is shorter than one second." << QList<int>();
        // clang-format on
    }

    void failureEndsTheChainOnce()
    {
        QFETCH(QString, mode);
        QFETCH(double, seconds);
        QFETCH(QString, error);
        QFETCH(QList<int>, endProgress);
        QVERIFY(useStandInRuntime(mode));
        ScriptChainData *job = addTone(QStringLiteral("in.wav"), seconds);
        QVERIFY(job);
        if (mode == QLatin1String("nopython"))
            QVERIFY(QFile::remove(ScriptChainData::PythonPath()));
        std::optional<TestSupport::NoFfmpegOnPath> noFfmpeg;
        if (mode == QLatin1String("noffmpeg")) {
            QVERIFY(QFile::remove(runtime->filePath(QStringLiteral("ffmpeg"))));
            noFfmpeg.emplace();
        }
        panel->convertButton_slots();
        // Whoever started the job sees it converting first.
        QCOMPARE(job->status(), int(VoiceData::Converting));
        QCOMPARE(finished, 0);
        const QString work = job->workFolder;
        QVERIFY(waitForEnd(panel));
        QCOMPARE(job->status(), int(VoiceData::Failed));
        QCOMPARE(job->errorText, error);
        QCOMPARE(stageEndProgress(), endProgress);
        QCOMPARE(outputFiles(), QStringList());
        QVERIFY(!QFileInfo::exists(work));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(finished, 1);
    }

    void stopDuringScriptLeavesNoProcessAndResumes()
    {
        const QString mark = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QVERIFY(useStandInRuntime(QStringLiteral("hang"), mark));
        ScriptChainData *job = addTone(QStringLiteral("talk.wav"), 3.0);
        QVERIFY(job);
        panel->convertButton_slots();
        // The script, its sleeping child and the sleep of its loop.
        const auto living = [&mark] {
            return TestSupport::livingProcessesWithEnvironment("QV_TREE", mark);
        };
        QTRY_VERIFY_WITH_TIMEOUT(living().size() >= 3, 30000);
        QCOMPARE(job->stage, 1);

        job->stopConvert();
        QCOMPARE(job->status(), int(VoiceData::Stopped));
        QTRY_COMPARE_WITH_TIMEOUT(living(), QList<qint64>(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 60000); // once the killed child has ended
        // The chain keeps its place and its segments for the next start.
        QCOMPARE(job->stage, 1);
        QCOMPARE(QDir(job->segmentsFolder).entryList(QDir::Files), QStringList{"segment0.wav"});

        QVERIFY(useStandInRuntime(QStringLiteral("copy")));
        job->startConvert();
        QCOMPARE(job->process.program(), ScriptChainData::PythonPath());
        QCOMPARE(job->progress, ScriptChainData::CutEndProgress);
        QTRY_COMPARE_WITH_TIMEOUT(finished, 2, 30000);
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QCOMPARE(scriptRuns(), 2);
        QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("talk-vocal.wav")));
        QVERIFY(!QFileInfo::exists(job->workFolder));
    }

    // The same input twice, converting side by side: the first job's end takes
    // nothing from the second, which goes on once the first has ended.
    void sameInputTwiceAtOnce()
    {
        QVERIFY(useStandInRuntime(QStringLiteral("queue")));
        ScriptChainData *job = addTone(QStringLiteral("twice.wav"), 3.0);
        QVERIFY(job && add(panel, {job->filePath}));
        const QList<VoiceData *> jobs = panel->jobs();
        const auto count = [&jobs](int status) {
            return std::count_if(jobs.cbegin(), jobs.cend(),
                                 [status](const VoiceData *j) { return j->status() == status; });
        };
        panel->convertButton_slots();
        QTRY_VERIFY_WITH_TIMEOUT(count(VoiceData::Succeeded) + count(VoiceData::Failed) > 0, 60000);
        QCOMPARE(count(VoiceData::Succeeded), 1);
        QVERIFY(TestSupport::writeFileOfSize(runtime->filePath(QStringLiteral("runtime/gate")), 0));
        QVERIFY(waitForEnd(panel));
        QCOMPARE(count(VoiceData::Succeeded), 2);
        QCOMPARE(outputFiles(), (QStringList{"twice-vocal(0).wav", "twice-vocal.wav"}));
    }

    void plantedLinksAreNeverFollowed_data()
    {
        // Progress at which to plant (1000 the cut's end, 9000 the script's, 9500 the
        // join's); 0: after a stop in the cut; -1: in a work folder a dead process left.
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("plant"); // shell lines on $W, the work folder, and $V, another's folder
        QTest::addRow("stale work folder") << -1 << "rmdir $W; ln -s $V $W";
        QTest::addRow("stale work folder's segments") << -1 << "ln -s $V $W/segments";
        QTest::addRow("segments before a resumed cut") << 0 << "mv $W/segments $W/s; ln -s $V $W/segments";
        QTest::addRow("vocal before the script") << 1000 << "ln -s $V $W/vocal";
        QTest::addRow("segments before the script") << 1000 << "mv $W/segments $W/s; ln -s s $W/segments";
        QTest::addRow("temp before the join") << 9000 << "ln -s $V $W/temp";
        QTest::addRow("temp of another user before the join") << 9000 << "mkdir $W/temp; chown 65534 $W/temp";
        QTest::addRow("vocal before the join") << 9000 << "mv $W/vocal $W/p; ln -s p $W/vocal";
        QTest::addRow("work folder swapped before the join") << 9000 << "mv $W $W.away; ln -s $V $W";
        QTest::addRow("temp before the encode") << 9500 << "mv $W/temp $W/t; ln -s t $W/temp";
    }

    void plantedLinksAreNeverFollowed()
    {
        QFETCH(int, at);
        QFETCH(QString, plant);
        QTemporaryDir victim;
        const QString v = "V=" + victim.path();
        const QByteArray before = TestSupport::runShell("mkdir $V/Music; echo a > $V/precious.txt; echo b > "
                                                        "$V/Music/song.wav; find $V -printf '%P %s\\n'",
                                                        {v});
        ScriptChainData *job = nullptr;
        if (at >= 0) {
            QVERIFY(useStandInRuntime(QStringLiteral("copy")));
            QVERIFY(job = addTone(QStringLiteral("in.wav"), 3.0));
        }
        // A temporary folder of the row's own without a log: its mode shows
        // whether a clean-up removed it and made it again.
        QTemporaryDir scratch;
        const QString temp = "T=" + scratch.filePath(QStringLiteral("tmp"));
        QVERIFY(!TestSupport::runShell("mkdir -m 711 $T", {temp}).isNull());
        const QByteArray savedTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.mid(2)));
        auto restore = qScopeGuard([&] { qputenv("TMPDIR", savedTemp); });

        if (at < 0) {
            const QString work = GetTempFolder() + '/' + QCommonUtils::GetStringMD5("x") + "-99999999-1";
            QVERIFY(QDir().mkpath(work) && !TestSupport::runShell(plant, {v, "W=" + work}).isNull());
            ScriptChainData::RemoveStaleWorkFolders();
            QVERIFY(QFileInfo(work).isSymLink() || !QFileInfo::exists(work));
        } else {
            const auto plantNow = [&] {
                QVERIFY(!TestSupport::runShell(plant, {v, "W=" + job->workFolder}).isNull());
            };
            connect(job, &VoiceData::updateProgress, this, [&] {
                if (at > 0 && job->progress == at)
                    plantNow();
            });
            panel->convertButton_slots();
            if (at == 0) {
                job->stopConvert();
                plantNow();
                job->startConvert();
            }
            QVERIFY(waitForEnd(panel));
            QCOMPARE(job->status(), int(VoiceData::Failed));
        }
        QCOMPARE(TestSupport::runShell("find $V -printf '%P %s\\n'", {v}), before);
        QCOMPARE(TestSupport::runShell("stat -c %a $T", {temp}), QByteArray("711\n\n"));
    }
};

QTEST_MAIN(TestScriptTools)
#include "tst_scripttools.moc"
