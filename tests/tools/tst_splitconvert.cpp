#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/optioncombobox.h"
#include "support/testsupport.h"
#include "tools/splitconvert/splitconvertwidget.h"
#include "tools/splitconvert/voicesplitdata.h"

namespace {
constexpr qint64 Second = 1000000;
constexpr int Rate = 44100;
} // namespace

class TestSplitConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void plan_data();
    void plan();
    void cutPoints_data();
    void cutPoints();
    void progress_data();
    void progress();
    void cutsThePlannedPieces_data();
    void cutsThePlannedPieces();
    void secondRunPlansAgain();
    void ruleChosenWhileJobsWaitApplies();
    void progressCoversTheWholeFile();
    void stoppedJobResumesAtItsSegment();
    void lostSegmentFailsTheJob();

private:
    SplitConvertWidget *openPanel();
    void setRule(SplitConvertWidget *panel, bool byNumber, int seconds, int number);
    QList<double> pieceLengths(const QString &base);
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestSplitConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestSplitConvert::cleanupTestCase()
{
    delete window;
}

void TestSplitConvert::cleanup()
{
    // Back to the selector: the panel's list is emptied even after a failed check.
    window->toolsSelectWidget->ShowSelector();
}

SplitConvertWidget *TestSplitConvert::openPanel()
{
    return qobject_cast<SplitConvertWidget *>(window->toolsSelectWidget->OpenTool(5));
}

void TestSplitConvert::setRule(SplitConvertWidget *panel, bool byNumber, int seconds, int number)
{
    panel->typeBox()->setCurrentIndex(byNumber ? 1 : 0);
    panel->splitTypeComboBox_slots();
    panel->timeEdit()->setTime(QTime(0, 0).addSecs(seconds));
    panel->numberBox()->setValue(number);
}

// Lengths in seconds of the pieces base-split-1.wav, base-split-2.wav ... in the output folder.
QList<double> TestSplitConvert::pieceLengths(const QString &base)
{
    QList<double> lengths;
    for (int k = 1; QFileInfo::exists(outputs.filePath(QStringLiteral("%1-split-%2.wav").arg(base).arg(k)));
         ++k)
        lengths << TestSupport::decodeMono(
                       outputs.filePath(QStringLiteral("%1-split-%2.wav").arg(base).arg(k)), Rate)
                           .size() /
                       double(Rate);
    return lengths;
}

void TestSplitConvert::plan_data()
{
    QTest::addColumn<bool>("byNumber");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<qint64>("splitTime");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("length");
    QTest::addRow("150 s by a minute") << false << 150 * Second << 60 * Second << 2 << 3 << 60 * Second;
    QTest::addRow("a whole number of minutes")
        << false << 120 * Second << 60 * Second << 2 << 2 << 60 * Second;
    QTest::addRow("longer than the file") << false << 150 * Second << 200 * Second << 2 << 1 << 200 * Second;
    QTest::addRow("unknown duration by time") << false << qint64(0) << 60 * Second << 2 << 1 << 60 * Second;
    QTest::addRow("100 s into 4") << true << 100 * Second << qint64(0) << 4 << 4 << 25 * Second;
    QTest::addRow("10 s into 4: tenths") << true << 10 * Second << qint64(0) << 4 << 4 << 2500000LL;
    QTest::addRow("10 s into 3: not dividing") << true << 10 * Second << qint64(0) << 3 << 3 << 3333333LL;
    QTest::addRow("2 s into 4: a piece a second") << true << 2 * Second << qint64(0) << 4 << 2 << Second;
    QTest::addRow("1 s into 100") << true << Second << qint64(0) << 100 << 1 << Second;
    QTest::addRow("unknown duration by number") << true << qint64(0) << qint64(0) << 4 << 1 << qint64(0);
}

void TestSplitConvert::plan()
{
    QFETCH(bool, byNumber);
    QFETCH(qint64, duration);
    QFETCH(qint64, splitTime);
    QFETCH(int, number);
    QFETCH(int, count);
    QFETCH(qint64, length);
    const VoiceSplitData::Plan plan = VoiceSplitData::PlanSegments(byNumber, duration, splitTime, number);
    QCOMPARE(plan.count, count);
    QCOMPARE(plan.length, length);
}

void TestSplitConvert::cutPoints_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("range");
    const QStringList none;
    QTest::addRow("150 s, first") << 3 << 60 * Second << 150 * Second << 0
                                  << QStringList{"-ss", "00:00:00", "-to", "00:01:00"};
    QTest::addRow("150 s, second") << 3 << 60 * Second << 150 * Second << 1
                                   << QStringList{"-ss", "00:01:00", "-to", "00:02:00"};
    QTest::addRow("150 s, last ends past the file")
        << 3 << 60 * Second << 150 * Second << 2 << QStringList{"-ss", "00:02:00", "-to", "00:03:00"};
    QTest::addRow("whole minutes, last runs to the end")
        << 2 << 60 * Second << 120 * Second << 1 << QStringList{"-ss", "00:01:00"};
    QTest::addRow("longer than the file")
        << 1 << 200 * Second << 150 * Second << 0 << QStringList{"-ss", "00:00:00", "-to", "00:03:20"};
    QTest::addRow("100 s into 4, last")
        << 4 << 25 * Second << 100 * Second << 3 << QStringList{"-ss", "00:01:15"};
    QTest::addRow("10 s into 3, middle")
        << 3 << 3333333LL << 10 * Second << 1 << QStringList{"-ss", "00:00:03", "-to", "00:00:06"};
    QTest::addRow("10 s into 3, last")
        << 3 << 3333333LL << 10 * Second << 2 << QStringList{"-ss", "00:00:06"};
    QTest::addRow("unknown duration") << 1 << 60 * Second << qint64(0) << 0 << QStringList{"-ss", "00:00:00"};
}

void TestSplitConvert::cutPoints()
{
    QFETCH(int, count);
    QFETCH(qint64, length);
    QFETCH(qint64, duration);
    QFETCH(int, index);
    QFETCH(QStringList, range);
    const VoiceSplitData::Plan plan{count, length};
    QCOMPARE(VoiceSplitData::Arguments("/in/song.mp3", index, plan, duration, "/out/song-split-1.mp3"),
             QStringList({"-i", "/in/song.mp3"}) + range +
                 QStringList({"-vn", "-acodec", "copy", "-threads", "1", "-y", "/out/song-split-1.mp3"}));
}

void TestSplitConvert::progress_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("time");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<int>("expected");
    QTest::addRow("first segment, half way") << 0 << 60 * Second << 30 * Second << 150 * Second << 2000;
    QTest::addRow("second segment, half way") << 1 << 60 * Second << 30 * Second << 150 * Second << 6000;
    QTest::addRow("start of the third") << 2 << 60 * Second << qint64(0) << 150 * Second << 8000;
    QTest::addRow("end is capped") << 2 << 60 * Second << 30 * Second << 150 * Second << 9999;
    QTest::addRow("time past the segment is capped")
        << 3 << 25 * Second << 40 * Second << 100 * Second << 9999;
    QTest::addRow("unknown duration") << 1 << 60 * Second << 30 * Second << qint64(0) << 0;
}

void TestSplitConvert::progress()
{
    QFETCH(int, index);
    QFETCH(qint64, length);
    QFETCH(qint64, time);
    QFETCH(qint64, duration);
    QFETCH(int, expected);
    QCOMPARE(VoiceSplitData::SegmentProgress(index, length, time, duration), expected);
}

void TestSplitConvert::cutsThePlannedPieces_data()
{
    QTest::addColumn<double>("inputSeconds");
    QTest::addColumn<bool>("byNumber");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("number");
    QTest::addColumn<QList<double>>("pieces");
    QTest::addColumn<QString>("base");
    QTest::addRow("5 s by 2 s") << 5.0 << false << 2 << 2 << QList<double>{2, 2, 1} << "bytime";
    // The probe drops the half second; the last piece still reaches the end.
    QTest::addRow("4.5 s by 2 s") << 4.5 << false << 2 << 2 << QList<double>{2, 2.5} << "fraction";
    QTest::addRow("5 s into 3, not dividing")
        << 5.0 << true << 2 << 3 << QList<double>{1, 2, 2} << "bynumber";
    QTest::addRow("2.5 s into 4: fewer seconds than pieces")
        << 2.5 << true << 2 << 4 << QList<double>{1, 1.5} << "short";
}

void TestSplitConvert::cutsThePlannedPieces()
{
    QFETCH(double, inputSeconds);
    QFETCH(bool, byNumber);
    QFETCH(int, seconds);
    QFETCH(int, number);
    QFETCH(QList<double>, pieces);
    QFETCH(QString, base);
    const QString input = inputs.filePath(base + QStringLiteral(".wav"));
    QVERIFY(TestSupport::makeTone(input, inputSeconds, 440, Rate, 1));
    SplitConvertWidget *panel = openPanel();
    setRule(panel, byNumber, seconds, number);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    QList<int> progress;
    connect(job, &VoiceData::updateProgress, this, [&] { progress << job->progress; });
    panel->convertButton_slots();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));

    const QList<double> lengths = pieceLengths(base);
    QCOMPARE(lengths.size(), pieces.size());
    double total = 0;
    // A stream copy cuts at packets of 1024 samples.
    for (int k = 0; k < pieces.size(); ++k) {
        QVERIFY2(qAbs(lengths.at(k) - pieces.at(k)) < 0.05, qPrintable(QString::number(lengths.at(k))));
        total += lengths.at(k);
    }
    QVERIFY2(qAbs(total - inputSeconds) < 0.01, qPrintable(QString::number(total)));
    // One bar for the whole file, never falling (short pieces may report no time at all).
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
}

void TestSplitConvert::secondRunPlansAgain()
{
    const QString input = inputs.filePath(QStringLiteral("again.wav"));
    QVERIFY(TestSupport::makeTone(input, 3.0, 440, Rate, 1));
    SplitConvertWidget *panel = openPanel();
    setRule(panel, true, 2, 3);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    auto *job = static_cast<VoiceSplitData *>(panel->jobs().first());
    panel->convertButton_slots();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->segmentCount, 3);

    setRule(panel, true, 2, 2);
    panel->convertButton_slots();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->segmentCount, 2);
    QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("again-split-2 (0).wav")));
    QCOMPARE(QDir(outputs.path()).entryList({"again-split-*"}, QDir::Files, QDir::Name),
             QStringList({"again-split-1 (0).wav", "again-split-1.wav", "again-split-2 (0).wav",
                          "again-split-2.wav", "again-split-3.wav"}));
}

void TestSplitConvert::ruleChosenWhileJobsWaitApplies()
{
    const QString input = inputs.filePath(QStringLiteral("waiting.wav"));
    QVERIFY(TestSupport::makeTone(input, 3.0, 440, Rate, 1));
    SplitConvertWidget *panel = openPanel();
    setRule(panel, false, 2, 2);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    auto *job = static_cast<VoiceSplitData *>(panel->jobs().first());
    job->status = VoiceData::Waiting;
    setRule(panel, true, 2, 3);
    panel->StartWaitingItems();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->segmentCount, 3);
    QCOMPARE(job->segmentLength, Second);
}

void TestSplitConvert::progressCoversTheWholeFile()
{
    // Each piece reports 5 s, then an earlier time: 30 s in three pieces of 10 s.
    QTemporaryDir bin;
    QVERIFY(TestSupport::writeStandInFfmpeg(bin.path(),
                                            "printf 'time=00:00:05.00 x\\ntime=00:00:02.00 x\\n'\n"
                                            "head -c 2000 /dev/zero > \"$out\""));
    const QString appDir = g_appDir;
    g_appDir = bin.path();
    VoiceSplitData job;
    job.fileName = QStringLiteral("bar.mp3");
    job.filePath = inputs.filePath(job.fileName);
    job.duration = 30 * Second;
    g_splitByNumber = true;
    g_splitNumber = 3;
    QList<int> progress;
    connect(&job, &VoiceData::updateProgress, this, [&] { progress << job.progress; });
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    QVERIFY(finished.wait(10000));
    g_appDir = appDir;
    QCOMPARE(job.status, int(VoiceData::Succeeded));
    QCOMPARE(progress, QList<int>({1666, 1666, 5000, 5000, 8333, 8333}));
}

void TestSplitConvert::stoppedJobResumesAtItsSegment()
{
    // A stand-in that cuts instantly but hangs on the second piece until told not to.
    QTemporaryDir bin;
    const QString cut = "printf 'size= 2kB time=00:00:01.00 x\\n'\nhead -c 2000 /dev/zero > \"$out\"";
    QVERIFY(
        TestSupport::writeStandInFfmpeg(bin.path(), "case \"$out\" in *-split-2*) sleep 30;; esac\n" + cut));
    const QString appDir = g_appDir;
    g_appDir = bin.path();

    VoiceSplitData job;
    job.fileName = QStringLiteral("talk.mp3");
    job.filePath = inputs.filePath(job.fileName);
    job.duration = 30 * Second;
    g_splitByNumber = true;
    g_splitNumber = 3;
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.status = VoiceData::Waiting;
    job.startConvert();
    QTRY_COMPARE(job.segmentIndex, 1);
    QTRY_COMPARE(job.process.state(), QProcess::Running);
    job.stopConvert();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(job.status, int(VoiceData::Stopped));
    QCOMPARE(job.segmentIndex, 1);

    // The plan made at the first start holds; the run goes on at the second piece.
    g_splitNumber = 5;
    QVERIFY(TestSupport::writeStandInFfmpeg(bin.path(), cut));
    job.startConvert();
    QCOMPARE(job.progress, 3333);
    QVERIFY(finished.wait(10000));
    g_appDir = appDir;
    QCOMPARE(job.status, int(VoiceData::Succeeded));
    QCOMPARE(job.segmentCount, 3);
    QCOMPARE(finished.count(), 2);
    QCOMPARE(QDir(outputs.path()).entryList({"talk-split-*"}, QDir::Files, QDir::Name),
             QStringList({"talk-split-1.mp3", "talk-split-2.mp3", "talk-split-3.mp3"}));
}

void TestSplitConvert::lostSegmentFailsTheJob()
{
    // The second piece comes out empty: the job fails there and cuts no further.
    QTemporaryDir bin;
    QVERIFY(TestSupport::writeStandInFfmpeg(
        bin.path(), "printf 'size= 2kB time=00:00:01.00 x\\n'\ncase \"$out\" in *-split-2*) exit 1;; esac\n"
                    "head -c 2000 /dev/zero > \"$out\""));
    const QString appDir = g_appDir;
    g_appDir = bin.path();
    VoiceSplitData job;
    job.fileName = QStringLiteral("lost.mp3");
    job.filePath = inputs.filePath(job.fileName);
    job.duration = 30 * Second;
    g_splitByNumber = false;
    g_splitTime = 10 * Second;
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    QVERIFY(finished.wait(10000));
    g_appDir = appDir;
    QCOMPARE(job.status, int(VoiceData::Failed));
    QCOMPARE(job.segmentIndex, 1);
    QCOMPARE(QDir(outputs.path()).entryList({"lost-split-*"}, QDir::Files),
             QStringList({"lost-split-1.mp3"}));
}

QTEST_MAIN(TestSplitConvert)
#include "tst_splitconvert.moc"
