#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/optioncombobox.h"
#include "support/testsupport.h"
#include "tools/speedconvert/speedconvertwidget.h"
#include "tools/speedconvert/voicespeeddata.h"

class TestSpeedConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void arguments_data();
    void arguments();
    void storedFactor_data();
    void storedFactor();
    void choiceIsStoredAndAppliesToWaitingJobs();
    void changesTempoNotPitch_data();
    void changesTempoNotPitch();
    void progressFollowsTheRunsOwnFactor();

private:
    SpeedConvertWidget *openPanel();
    void choose(SpeedConvertWidget *panel, int index);
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestSpeedConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestSpeedConvert::cleanupTestCase()
{
    delete window;
}

void TestSpeedConvert::cleanup()
{
    // Back to the selector: the panel's list is emptied even after a failed check.
    window->toolsSelectWidget->ShowSelector();
}

SpeedConvertWidget *TestSpeedConvert::openPanel()
{
    return qobject_cast<SpeedConvertWidget *>(window->toolsSelectWidget->OpenTool(1));
}

void TestSpeedConvert::choose(SpeedConvertWidget *panel, int index)
{
    panel->speedBox()->setCurrentIndex(index);
    panel->formatComoBox_slots();
}

void TestSpeedConvert::arguments_data()
{
    QTest::addColumn<QString>("factor");
    QTest::addColumn<QString>("tag");
    QTest::addRow("half") << "0.5"
                          << "-0_5";
    QTest::addRow("one and a quarter") << "1.25"
                                       << "-1_25";
    QTest::addRow("four in one filter") << "4.0"
                                        << "-4_0";
}

void TestSpeedConvert::arguments()
{
    QFETCH(QString, factor);
    QFETCH(QString, tag);
    QCOMPARE(VoiceSpeedData::Arguments("/in/song.wav", factor, "/out/song" + tag + ".wav"),
             QStringList({"-i", "/in/song.wav", "-vn", "-af", "atempo=" + factor, "-threads", "1", "-y",
                          "/out/song" + tag + ".wav"}));
    QCOMPARE(VoiceSpeedData::NameTag(factor), tag);
}

void TestSpeedConvert::storedFactor_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addRow("absent") << QString() << 3;
    QTest::addRow("2.0") << "2.0" << 5;
    QTest::addRow("0.5") << "0.5" << 0;
    QTest::addRow("a factor not offered") << "2" << 3;
    QTest::addRow("not a factor") << "FAST" << 3;
}

void TestSpeedConvert::storedFactor()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    if (stored.isNull())
        QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
            .remove(QLatin1String(SettingsKey::ConvertSpeed));
    else
        SetSettingValue(QLatin1String(SettingsKey::ConvertSpeed), stored);
    SpeedConvertWidget *panel = openPanel();
    QVERIFY(panel);
    QCOMPARE(panel->speedBox()->count(), 8);
    QCOMPARE(panel->speedBox()->currentIndex(), index);
    QCOMPARE(g_convertSpeed, SpeedConvertWidget::Factors().at(index));
    // A fallback lives in memory only.
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertSpeed)), stored);
}

void TestSpeedConvert::choiceIsStoredAndAppliesToWaitingJobs()
{
    SpeedConvertWidget *panel = openPanel();
    choose(panel, 1);
    QCOMPARE(g_convertSpeed, QStringLiteral("0.8"));
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertSpeed)), QStringLiteral("0.8"));

    const QString input = inputs.filePath(QStringLiteral("queued.wav"));
    QVERIFY(TestSupport::makeTone(input, 1.0));
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    // Queued, then the factor changes before the job starts.
    job->status = VoiceData::Waiting;
    choose(panel, 5);
    panel->StartWaitingItems();
    QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("queued-2_0.wav")));
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
}

void TestSpeedConvert::changesTempoNotPitch_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("inputSeconds");
    QTest::addColumn<QString>("expectedName");
    QTest::addRow("0.5 beside two earlier results") << 0 << 0.5 << 2.0 << "song-0_5 (1).wav";
    QTest::addRow("2.0") << 5 << 2.0 << 2.0 << "song-2_0.wav";
    // atempo loses a constant ~12 ms at the end at 4.0: a longer input keeps that within 2 %.
    QTest::addRow("4.0 in one filter") << 7 << 4.0 << 3.0 << "song-4_0.wav";
}

void TestSpeedConvert::changesTempoNotPitch()
{
    QFETCH(int, index);
    QFETCH(double, factor);
    QFETCH(double, inputSeconds);
    QFETCH(QString, expectedName);
    const int rate = 44100;
    const QString input = inputs.filePath(QStringLiteral("song.wav"));
    QVERIFY(TestSupport::makeTone(input, inputSeconds, 440, rate));
    const QByteArray digest = TestSupport::fileDigest(input);
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song-0_5.wav")), 10));
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song-0_5 (0).wav")), 10));

    SpeedConvertWidget *panel = openPanel();
    choose(panel, index);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    panel->convertButton_slots();
    VoiceData *job = panel->jobs().first();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->outputPath, outputs.filePath(expectedName));

    const QVector<qint16> samples = TestSupport::decodeMono(job->outputPath, rate);
    const double seconds = double(samples.size()) / rate;
    const double expected = inputSeconds / factor;
    QVERIFY2(qAbs(seconds - expected) <= 0.02 * expected, qPrintable(QString::number(seconds)));
    const double frequency = TestSupport::toneFrequency(samples, rate);
    QVERIFY2(qAbs(frequency - 440.0) <= 440.0 * 0.02, qPrintable(QString::number(frequency)));
    QCOMPARE(TestSupport::fileDigest(input), digest);
}

void TestSpeedConvert::progressFollowsTheRunsOwnFactor()
{
    // A stand-in reports 15 s of output for a 60 s input at 2.0: half done.
    QTemporaryDir bin;
    QVERIFY(TestSupport::writeStandInFfmpeg(
        bin.path(),
        "printf 'size= 1kB time=00:00:15.00 bitrate=1.0kbits/s\\n'\nhead -c 2000 /dev/zero > \"$out\""));
    const QString appDir = g_appDir;
    g_appDir = bin.path();
    VoiceSpeedData job;
    job.filePath = inputs.filePath(QStringLiteral("long.mp3"));
    job.duration = 60000000;
    g_convertSpeed = QStringLiteral("2.0");
    QSignalSpy finished(&job, &VoiceData::convertfinished);
    job.startConvert();
    // A later choice applies to later jobs, not to this run's progress.
    g_convertSpeed = QStringLiteral("0.5");
    QVERIFY(finished.wait(10000));
    g_appDir = appDir;
    QCOMPARE(job.status, int(VoiceData::Succeeded));
    QCOMPARE(job.progress, 5000);
    QCOMPARE(job.outputPath, outputs.filePath(QStringLiteral("long-2_0.mp3")));
}

QTEST_MAIN(TestSpeedConvert)
#include "tst_speedconvert.moc"
