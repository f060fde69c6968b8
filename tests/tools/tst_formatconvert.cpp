#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "engine/optioncombobox.h"
#include "widgets/bgicontextbutton.h"

class TestFormatConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void arguments_data();
    void arguments();
    void storedFormat_data();
    void storedFormat();
    void choiceIsStoredAndAppliesToWaitingJobs();
    void convertsFiveFilesTwoAtATime();
    void convertsToEveryFormat_data();
    void convertsToEveryFormat();

private:
    FormatConvertWidget *openPanel();
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestFormatConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->outputFolder, outputs.path());
}

void TestFormatConvert::cleanupTestCase()
{
    delete window;
}

FormatConvertWidget *TestFormatConvert::openPanel()
{
    QTest::mouseClick(window->toolsSelectWidget->toolButton(0), Qt::LeftButton);
    auto *panel = qobject_cast<FormatConvertWidget *>(window->panels.value(QStringLiteral("FormatConvert")));
    return panel;
}

void TestFormatConvert::arguments_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    const QStringList head{"-i", "/in/song.wav", "-vn", "-threads", "1", "-y"};
    QTest::addRow("mp3 keeps the plain list") << "/out/song.mp3" << (head + QStringList{"/out/song.mp3"});
    QTest::addRow("flac") << "/out/song.flac" << (head + QStringList{"/out/song.flac"});
    QTest::addRow("amr is made 8 kHz mono")
        << "/out/song.amr" << (head + QStringList{"-ar", "8000", "-ac", "1", "/out/song.amr"});
    QTest::addRow("AMR in capitals too")
        << "/out/song.AMR" << (head + QStringList{"-ar", "8000", "-ac", "1", "/out/song.AMR"});
}

void TestFormatConvert::arguments()
{
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(VoiceConvertData::Arguments(QStringLiteral("/in/song.wav"), output), expected);
}

void TestFormatConvert::storedFormat_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("format");
    QTest::addRow("absent") << QString() << 0 << "mp3";
    QTest::addRow("flac") << "flac" << 2 << "flac";
    QTest::addRow("capitals keep their case") << "WAV" << 3 << "WAV";
    QTest::addRow("unknown falls back") << "ogg" << 0 << "mp3";
}

void TestFormatConvert::storedFormat()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    QFETCH(QString, format);
    if (stored.isNull())
        QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
            .remove(QLatin1String(SettingsKey::ConvertFormat));
    else
        SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), stored);
    FormatConvertWidget *panel = openPanel();
    QVERIFY(panel);
    QCOMPARE(panel->formatBox()->count(), 5);
    QCOMPARE(panel->formatBox()->currentIndex(), index);
    QCOMPARE(g_convertFormat, format);
    // The fallback lives in memory only: the store keeps what it had.
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertFormat)), stored);
    panel->backupButton_slots();
}

void TestFormatConvert::choiceIsStoredAndAppliesToWaitingJobs()
{
    FormatConvertWidget *panel = openPanel();
    panel->formatBox()->setCurrentIndex(2);
    panel->formatComoBox_slots();
    QCOMPARE(g_convertFormat, QStringLiteral("flac"));
    QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertFormat)), QStringLiteral("flac"));

    // A job reads the format when it starts, not when it was queued.
    const QString input = inputs.filePath(QStringLiteral("late.wav"));
    QVERIFY(TestSupport::makeTone(input, 0.5));
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    job->status = VoiceData::Waiting;
    panel->formatBox()->setCurrentIndex(3);
    panel->formatComoBox_slots();
    panel->StartWaitingItems();
    QCOMPARE(QFileInfo(job->outputPath).suffix(), QStringLiteral("wav"));
    QTRY_COMPARE_WITH_TIMEOUT(job->status, int(VoiceData::Succeeded), 20000);
    panel->backupButton_slots();
}

void TestFormatConvert::convertsFiveFilesTwoAtATime()
{
    SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), QStringLiteral("mp3"));
    const QStringList names{"song.wav", "b.flac", "c.wav", "d.ogg", "e.wav"};
    QStringList paths;
    QList<QByteArray> digests;
    for (int i = 0; i < names.size(); ++i) {
        const QString path = inputs.filePath(names.at(i));
        QVERIFY(TestSupport::makeTone(path, 1.0 + 0.25 * i, 300 + 100 * i));
        paths << path;
        digests << TestSupport::fileDigest(path);
    }
    // An earlier result of the same name is never overwritten.
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song.mp3")), 10));

    window->sameMaxCount = 2;
    FormatConvertWidget *panel = openPanel();
    QVERIFY(panel);
    panel->AddFiles(paths);
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 5, 20000);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(panel->jobs().at(i)->fileName, names.at(i));

    int mostRunning = 0;
    int finishedSignals = 0;
    auto countRunning = [&] {
        int running = 0;
        for (VoiceData *job : panel->jobs())
            running += job->status == VoiceData::Converting ? 1 : 0;
        mostRunning = qMax(mostRunning, running);
    };
    for (VoiceData *job : panel->jobs()) {
        connect(job, &VoiceData::updateProgress, this, countRunning);
        connect(job, &VoiceData::convertfinished, this, [&] {
            ++finishedSignals;
            countRunning();
        });
    }

    panel->convertButton_slots();
    countRunning();
    QCOMPARE(mostRunning, 2);
    QCOMPARE(panel->jobs().at(2)->status, int(VoiceData::Waiting));

    const QList<VoiceData *> jobs = panel->jobs();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(jobs.cbegin(), jobs.cend(),
                                         [](VoiceData *job) { return job->status == VoiceData::Succeeded; }),
                             60000);
    QCOMPARE(mostRunning, 2);
    QCOMPARE(finishedSignals, 5);

    QCOMPARE(panel->jobs().at(0)->outputPath, outputs.filePath(QStringLiteral("song (0).mp3")));
    QCOMPARE(panel->jobs().at(1)->outputPath, outputs.filePath(QStringLiteral("b.mp3")));
    for (VoiceData *job : panel->jobs()) {
        VoiceData result;
        QVERIFY(TestSupport::probeFile(job->outputPath, result));
        QCOMPARE(result.codecName, QStringLiteral("mp3"));
        QVERIFY(result.duration >= job->duration - 100000);
        QCOMPARE(job->progress <= 9999, true);
    }
    for (int i = 0; i < paths.size(); ++i)
        QCOMPARE(TestSupport::fileDigest(paths.at(i)), digests.at(i));
    QCOMPARE(QFileInfo(outputs.filePath(QStringLiteral("song.mp3"))).size(), qint64(10));

    // Going back empties the list; the same panel comes back empty.
    QVERIFY(window->toolsSelectWidget->ShowSelector());
    QVERIFY(panel->jobs().isEmpty());
    QVERIFY(!panel->isVisible());
    QCOMPARE(openPanel(), panel);
    QVERIFY(panel->jobs().isEmpty());
    panel->backupButton_slots();
}

void TestFormatConvert::convertsToEveryFormat_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("sampleRate");
    QTest::addRow("mp3") << 0 << "mp3" << 44100;
    QTest::addRow("aac") << 1 << "aac" << 44100;
    QTest::addRow("flac") << 2 << "flac" << 44100;
    QTest::addRow("wav") << 3 << "pcm_s16le" << 44100;
    QTest::addRow("amr") << 4 << "amr_nb" << 8000;
}

void TestFormatConvert::convertsToEveryFormat()
{
    QFETCH(int, index);
    QFETCH(QString, codec);
    QFETCH(int, sampleRate);
    // A video file: only its audio is kept.
    const QString input = inputs.filePath(QStringLiteral("clip-%1.mp4").arg(index));
    QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1",
                                    "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:v", "mpeg4",
                                    "-c:a", "aac", "-shortest", input}));
    FormatConvertWidget *panel = openPanel();
    panel->formatBox()->setCurrentIndex(index);
    panel->formatComoBox_slots();
    panel->AddFiles({input});
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
    panel->convertButton_slots();
    VoiceData *job = panel->jobs().first();
    QTRY_VERIFY_WITH_TIMEOUT(job->status != VoiceData::Converting, 20000);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(job->outputPath, result));
    QCOMPARE(result.codecName, codec);
    QCOMPARE(result.sampleRate, sampleRate);
    QVERIFY(!result.streamInfo.contains(QStringLiteral("Video")));
    panel->backupButton_slots();
}

QTEST_MAIN(TestFormatConvert)
#include "tst_formatconvert.moc"
