#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/optioncombobox.h"
#include "support/testsupport.h"
#include "tools/volumeconvert/voicevolumedata.h"
#include "tools/volumeconvert/volumeconvertwidget.h"

class TestVolumeConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void arguments_data();
    void arguments();
    void storedMode_data();
    void storedMode();
    void choiceIsStoredAndAppliesToWaitingJobs();
    void changesTheLevel_data();
    void changesTheLevel();
    void standardizingKeepsTheSampleRate_data();
    void standardizingKeepsTheSampleRate();

private:
    VolumeConvertWidget *openPanel();
    VoiceData *convertOne(VolumeConvertWidget *panel, const QString &input, int mode);
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestVolumeConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestVolumeConvert::cleanupTestCase()
{
    delete window;
}

void TestVolumeConvert::cleanup()
{
    // Back to the selector: the panel's list is emptied even after a failed check.
    window->toolsSelectWidget->ShowSelector();
}

VolumeConvertWidget *TestVolumeConvert::openPanel()
{
    return qobject_cast<VolumeConvertWidget *>(window->toolsSelectWidget->OpenTool(2));
}

VoiceData *TestVolumeConvert::convertOne(VolumeConvertWidget *panel, const QString &input, int mode)
{
    panel->volumeBox()->setCurrentIndex(mode);
    panel->formatComoBox_slots();
    const int before = panel->jobs().size();
    panel->AddFiles({input});
    if (!QTest::qWaitFor([&] { return panel->jobs().size() == before + 1; }, 10000))
        return nullptr;
    VoiceData *job = panel->jobs().last();
    panel->Convertitem_slots(job);
    TestSupport::waitForJobsToEnd({job});
    return job;
}

void TestVolumeConvert::arguments_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<QStringList>("middle");
    QTest::addRow("standardizing keeps a known rate")
        << 0 << 44100 << QStringList{"-af", "loudnorm=i=-14:tp=0.0", "-threads", "1", "-y", "-ar", "44100"};
    QTest::addRow("standardizing, rate unknown")
        << 0 << 0 << QStringList{"-af", "loudnorm=i=-14:tp=0.0", "-threads", "1", "-y"};
    QTest::addRow("+5dB") << 1 << 44100 << QStringList{"-af", "volume=5dB", "-threads", "1", "-y"};
    QTest::addRow("-5dB") << 2 << 22050 << QStringList{"-af", "volume=-5dB", "-threads", "1", "-y"};
    QTest::addRow("unknown mode standardizes")
        << 7 << 0 << QStringList{"-af", "loudnorm=i=-14:tp=0.0", "-threads", "1", "-y"};
}

void TestVolumeConvert::arguments()
{
    QFETCH(int, mode);
    QFETCH(int, sampleRate);
    QFETCH(QStringList, middle);
    QCOMPARE(VoiceVolumeData::Arguments("/in/music.flac", mode, sampleRate, "/out/music.flac"),
             QStringList({"-i", "/in/music.flac", "-vn"}) + middle + QStringList{"/out/music.flac"});
}

void TestVolumeConvert::storedMode_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addRow("absent") << QString() << 0;
    QTest::addRow("+5dB") << "1" << 1;
    QTest::addRow("-5dB") << "2" << 2;
    QTest::addRow("out of range") << "7" << 0;
    QTest::addRow("negative") << "-1" << 0;
    QTest::addRow("an entry's text is no index") << "-5DB" << 0;
}

void TestVolumeConvert::storedMode()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    if (stored.isNull())
        QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
            .remove(QLatin1String(SettingsKey::ConvertVolume));
    else
        SetSettingValue(QLatin1String(SettingsKey::ConvertVolume), stored);
    g_convertVolume = 5;
    VolumeConvertWidget *panel = openPanel();
    QVERIFY(panel);
    QCOMPARE(panel->volumeBox()->count(), 3);
    QCOMPARE(panel->volumeBox()->currentIndex(), index);
    QCOMPARE(g_convertVolume, index);
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertVolume)), stored);
}

void TestVolumeConvert::choiceIsStoredAndAppliesToWaitingJobs()
{
    VolumeConvertWidget *panel = openPanel();
    panel->volumeBox()->setCurrentIndex(1);
    panel->formatComoBox_slots();
    QCOMPARE(g_convertVolume, 1);
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertVolume)), QStringLiteral("1"));

    const QString input = outputs.filePath(QStringLiteral("queued.wav"));
    QVERIFY(TestSupport::makeTone(input, 1.0));
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    job->status = VoiceData::Waiting;
    panel->volumeBox()->setCurrentIndex(2);
    panel->formatComoBox_slots();
    panel->StartWaitingItems();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    // Written into the input's own folder: the input stays, the result takes a number.
    QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("queued (0).wav")));
    const double change = TestSupport::levelDb(TestSupport::decodeMono(job->outputPath, 44100)) -
                          TestSupport::levelDb(TestSupport::decodeMono(input, 44100));
    QVERIFY2(qAbs(change + 5.0) < 0.1, qPrintable(QString::number(change)));
}

void TestVolumeConvert::changesTheLevel_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("inputLevel");
    QTest::addColumn<double>("change");
    QTest::addRow("-5dB") << 2 << "volume=0dB" << -5.0;
    QTest::addRow("+5dB on a quiet input") << 1 << "volume=-20dB" << 5.0;
}

void TestVolumeConvert::changesTheLevel()
{
    QFETCH(int, mode);
    QFETCH(QString, inputLevel);
    QFETCH(double, change);
    QTemporaryDir inputs;
    const QString input = inputs.filePath(QStringLiteral("music.flac"));
    QVERIFY(TestSupport::makeTone(input, 1.0, 440, 44100, 2, {"-af", inputLevel}));
    VolumeConvertWidget *panel = openPanel();
    VoiceData *job = convertOne(panel, input, mode);
    QVERIFY(job);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(QFileInfo(job->outputPath).fileName(), QStringLiteral("music.flac"));
    const double measured = TestSupport::levelDb(TestSupport::decodeMono(job->outputPath, 44100)) -
                            TestSupport::levelDb(TestSupport::decodeMono(input, 44100));
    QVERIFY2(qAbs(measured - change) < 0.1, qPrintable(QString::number(measured)));
    QVERIFY(QFile::remove(job->outputPath));
}

void TestVolumeConvert::standardizingKeepsTheSampleRate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sampleRate");
    // Without the input's rate, loudnorm's 192 kHz reaches WAV as it is and MP3 as 48 kHz.
    QTest::addRow("wav 44.1 kHz") << "song.wav" << 44100;
    QTest::addRow("mp3 44.1 kHz") << "song.mp3" << 44100;
    QTest::addRow("wav 22.05 kHz") << "low.wav" << 22050;
}

void TestVolumeConvert::standardizingKeepsTheSampleRate()
{
    QFETCH(QString, name);
    QFETCH(int, sampleRate);
    QTemporaryDir inputs;
    const QString input = inputs.filePath(name);
    QVERIFY(TestSupport::makeTone(input, 1.0, 440, sampleRate, 2, {"-af", "volume=-20dB"}));
    VolumeConvertWidget *panel = openPanel();
    VoiceData *job = convertOne(panel, input, 0);
    QVERIFY(job);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(job->outputPath, result));
    QCOMPARE(result.sampleRate, sampleRate);
    QCOMPARE(result.channels, 2);
    // Brought up towards the standard loudness.
    QVERIFY(TestSupport::levelDb(TestSupport::decodeMono(job->outputPath, sampleRate)) >
            TestSupport::levelDb(TestSupport::decodeMono(input, sampleRate)) + 5.0);
    QVERIFY(QFile::remove(job->outputPath));
}

QTEST_MAIN(TestVolumeConvert)
#include "tst_volumeconvert.moc"
