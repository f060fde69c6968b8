#include <QDir>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "support/testsupport.h"
#include "tools/trimconvert/trimconvertwidget.h"
#include "tools/trimconvert/voicetrimdata.h"

namespace {
constexpr qint64 Second = 1000000;
}

class TestTrimConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void arguments();
    void editorsSetTheRange();
    void keepsTheChosenRange_data();
    void keepsTheChosenRange();
    void rangeChosenWhileJobsWaitApplies();
    void rangeOutsideTheFileFails_data();
    void rangeOutsideTheFileFails();

private:
    TrimConvertWidget *openPanel();
    void setRange(TrimConvertWidget *panel, const QTime &start, const QTime &end);
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    QString steps; // 3 s: 300 Hz, then 500 Hz, then 700 Hz, a second each
    MainWidget *window = nullptr;
};

void TestTrimConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    steps = inputs.filePath(QStringLiteral("steps.wav"));
    QVERIFY(TestSupport::runFfmpeg(
        {"-y", "-f", "lavfi", "-i", "aevalsrc=0.5*sin(2*PI*t*(300+200*floor(t))):s=44100:d=3", steps}));
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestTrimConvert::cleanupTestCase()
{
    delete window;
}

void TestTrimConvert::cleanup()
{
    // Back to the selector: the panel's list is emptied even after a failed check.
    window->toolsSelectWidget->ShowSelector();
}

TrimConvertWidget *TestTrimConvert::openPanel()
{
    return qobject_cast<TrimConvertWidget *>(window->toolsSelectWidget->OpenTool(7));
}

void TestTrimConvert::setRange(TrimConvertWidget *panel, const QTime &start, const QTime &end)
{
    panel->startEdit()->setTime(start);
    panel->endEdit()->setTime(end);
}

void TestTrimConvert::arguments()
{
    QCOMPARE(VoiceTrimData::Arguments("/in/song.mp3", 90 * Second, 120 * Second, "/out/song-trim.mp3"),
             QStringList({"-i", "/in/song.mp3", "-ss", "00:01:30", "-to", "00:02:00", "-vn", "-acodec",
                          "copy", "-threads", "1", "-y", "/out/song-trim.mp3"}));
    // Fractions of a second are dropped.
    QCOMPARE(VoiceTrimData::Arguments("a.wav", 1500000, 2999999, "b.wav").mid(2, 4),
             QStringList({"-ss", "00:00:01", "-to", "00:00:02"}));
}

void TestTrimConvert::editorsSetTheRange()
{
    TrimConvertWidget *panel = openPanel();
    QVERIFY(panel);
    QCOMPARE(panel->startEdit()->time(), QTime(0, 0, 0));
    QCOMPARE(panel->endEdit()->time(), QTime(1, 0, 0));
    QCOMPARE(g_trimStart, qint64(0));
    QCOMPARE(g_trimEnd, 3600 * Second);
    QCOMPARE(panel->startEdit()->displayFormat(), QStringLiteral("hh:mm:ss"));
    setRange(panel, QTime(23, 30, 0), QTime(23, 59, 59));
    QCOMPARE(panel->startEdit()->time(), QTime(23, 0, 0));
    QCOMPARE(g_trimStart, 23 * 3600 * Second);
    QCOMPARE(g_trimEnd, (23 * 3600 + 59 * 60 + 59) * Second);
    setRange(panel, QTime(0, 0, 0), QTime(1, 0, 0));
}

void TestTrimConvert::keepsTheChosenRange_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("end");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("frequency");
    QTest::addColumn<QString>("name");
    QTest::addRow("the middle second")
        << QTime(0, 0, 1) << QTime(0, 0, 2) << 1.0 << 500.0 << "steps-trim.wav";
    QTest::addRow("the default range copies it all, a new name")
        << QTime(0, 0, 0) << QTime(1, 0, 0) << 3.0 << 0.0 << "steps-trim (0).wav";
    QTest::addRow("an end past the file")
        << QTime(0, 0, 2) << QTime(0, 0, 9) << 1.0 << 700.0 << "steps-trim (1).wav";
}

void TestTrimConvert::keepsTheChosenRange()
{
    QFETCH(QTime, start);
    QFETCH(QTime, end);
    QFETCH(double, seconds);
    QFETCH(double, frequency);
    QFETCH(QString, name);
    const QByteArray digest = TestSupport::fileDigest(steps);
    TrimConvertWidget *panel = openPanel();
    setRange(panel, start, end);
    panel->AddFiles({steps});
    QTRY_COMPARE(panel->jobs().size(), 1);
    panel->convertButton_slots();
    VoiceData *job = panel->jobs().first();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->outputPath, outputs.filePath(name));
    // A stream copy cuts at packet boundaries, 2048 samples for this WAV.
    const QVector<qint16> samples = TestSupport::decodeMono(job->outputPath, 44100);
    QVERIFY2(qAbs(samples.size() / 44100.0 - seconds) < 0.05, qPrintable(QString::number(samples.size())));
    if (frequency > 0) {
        const double measured = TestSupport::toneFrequency(samples, 44100);
        QVERIFY2(qAbs(measured - frequency) < frequency * 0.03, qPrintable(QString::number(measured)));
    }
    QCOMPARE(TestSupport::fileDigest(steps), digest);
}

void TestTrimConvert::rangeChosenWhileJobsWaitApplies()
{
    TrimConvertWidget *panel = openPanel();
    setRange(panel, QTime(0, 0, 0), QTime(0, 0, 1));
    panel->AddFiles({steps});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    job->status = VoiceData::Waiting;
    setRange(panel, QTime(0, 0, 1), QTime(0, 0, 3));
    panel->StartWaitingItems();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    const QVector<qint16> samples = TestSupport::decodeMono(job->outputPath, 44100);
    QVERIFY2(qAbs(samples.size() / 44100.0 - 2.0) < 0.05, qPrintable(QString::number(samples.size())));
    QVERIFY(QFile::remove(job->outputPath));
}

void TestTrimConvert::rangeOutsideTheFileFails_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("end");
    // FLAC and Ogg write kilobytes of headers for no audio at all.
    QTest::addRow("flac, start past the end") << "flac" << QTime(0, 0, 5) << QTime(0, 0, 9);
    QTest::addRow("ogg, start past the end") << "ogg" << QTime(0, 0, 5) << QTime(0, 0, 9);
    QTest::addRow("flac, start at the very end") << "flac" << QTime(0, 0, 2) << QTime(0, 0, 9);
    QTest::addRow("end before start") << "flac" << QTime(0, 0, 1) << QTime(0, 0, 0);
    QTest::addRow("end at start") << "mp3" << QTime(0, 0, 1) << QTime(0, 0, 1);
}

void TestTrimConvert::rangeOutsideTheFileFails()
{
    QFETCH(QString, format);
    QFETCH(QTime, start);
    QFETCH(QTime, end);
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("short.") + format);
    QVERIFY(TestSupport::makeTone(input, 2.0));
    TrimConvertWidget *panel = openPanel();
    setRange(panel, start, end);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    panel->convertButton_slots();
    VoiceData *job = panel->jobs().first();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Failed));
    QVERIFY(!job->errorText.isEmpty());
    QCOMPARE(QDir(outputs.path()).entryList({"short-trim*"}, QDir::Files), QStringList());
}

QTEST_MAIN(TestTrimConvert)
#include "tst_trimconvert.moc"
