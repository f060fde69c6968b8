#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/optioncombobox.h"
#include "support/chainrecorder.h"
#include "support/testsupport.h"
#include "tools/changeconvert/changeconvertwidget.h"
#include "tools/changeconvert/voicechangedata.h"
#include "tools/uvrconvert/urvconvertwidget.h"
#include "tools/uvrconvert/voiceuvrdata.h"
#include "widgets/bgicontextbutton.h"

// The voice changer and the voice separation from their panels, with the
// real runtime of the application directory.
class TestScriptTools : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void speakerModels_data();
    void speakerModels();
    void separationModels_data();
    void separationModels();
    void changerPanel();
    void separationPanel();
    void changerEndToEnd();
    void separationEndToEnd();

private:
    template<class Panel> Panel *openPanel(int index);
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestScriptTools::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestScriptTools::cleanupTestCase()
{
    delete window;
}

template<class Panel> Panel *TestScriptTools::openPanel(int index)
{
    return qobject_cast<Panel *>(window->toolsSelectWidget->OpenTool(index));
}

void TestScriptTools::speakerModels_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("model");
    QTest::addRow("0") << 0 << "pellimorV2.pth";
    QTest::addRow("1") << 1 << "lumoV1.pth";
    QTest::addRow("2") << 2 << "tavielV1.pth";
    QTest::addRow("3") << 3 << "orsindav2-xi.pth";
    QTest::addRow("none chosen") << -1 << "pellimorV2.pth";
    QTest::addRow("past the end") << 4 << "pellimorV2.pth";
}

void TestScriptTools::speakerModels()
{
    QFETCH(int, index);
    QFETCH(QString, model);
    QCOMPARE(ChangeConvertWidget::SpeakerModel(index), model);
    // Every speaker the panel offers has its model in the runtime.
    if (index >= 0 && index < 4)
        QVERIFY(QFileInfo::exists(g_appDir + QStringLiteral("/runtime/weights/") + model));
}

void TestScriptTools::separationModels_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("model");
    QTest::addRow("0") << 0 << "HP5_only_main_vocal";
    QTest::addRow("1") << 1 << "VR-DeEchoAggressive";
    QTest::addRow("2") << 2 << "HP3_all_vocals";
    QTest::addRow("3") << 3 << "HP3_all_vocals";
    QTest::addRow("other") << 7 << "HP5_only_main_vocal";
}

void TestScriptTools::separationModels()
{
    QFETCH(int, index);
    QFETCH(QString, model);
    QCOMPARE(URVConvertWidget::ModelName(index), model);
}

void TestScriptTools::changerPanel()
{
    // The selector keeps the button hidden; the panel opens all the same.
    QVERIFY(window->toolsSelectWidget->isVisible());
    QVERIFY(!window->toolsSelectWidget->toolButton(9)->isVisible());
    auto *panel = openPanel<ChangeConvertWidget>(9);
    QVERIFY(panel);
    QCOMPARE(window->panels.value(QStringLiteral("ChangerConvert")), panel);
    OptionComboBox *box = panel->optionBox();
    QCOMPARE(box->count(), 4);
    QCOMPARE(box->itemText(0), QStringLiteral("arvo-pellimor"));
    QCOMPARE(box->itemText(3), QStringLiteral("orsinda"));
    QCOMPARE(panel->optionCaption()->text(), QStringLiteral("Speaker:"));
    // The caption ends just left of the box, which ends 14 pixels inside the bar.
    QCOMPARE(box->width(), ScaledPx(200));
    QCOMPARE(box->geometry().right() + 1, box->parentWidget()->width() - ScaledPx(14));
    QCOMPARE(panel->optionCaption()->geometry().right() + 2, box->x());

    QCOMPARE(g_changeModel, QStringLiteral("pellimorV2.pth"));
    box->setCurrentIndex(2);
    panel->speakerComboBox_slots();
    QCOMPARE(g_changeModel, QStringLiteral("tavielV1.pth"));
    // Refreshed texts show the first entry; the choice stays for the run.
    panel->FlushText();
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(g_changeModel, QStringLiteral("tavielV1.pth"));
    panel->backupButton_slots();
}

void TestScriptTools::separationPanel()
{
    QVERIFY(!window->toolsSelectWidget->toolButton(8)->isVisible());
    auto *panel = openPanel<URVConvertWidget>(8);
    QVERIFY(panel);
    QCOMPARE(window->panels.value(QStringLiteral("UVRConvert")), panel);
    QCOMPARE(panel->optionBox()->count(), 1);
    QCOMPARE(panel->optionBox()->itemText(0), QStringLiteral("HP5 only main vocal"));
    QCOMPARE(panel->optionCaption()->text(), QStringLiteral("Type:"));
    panel->optionBox()->setCurrentIndex(0);
    panel->speakerComboBox_slots();
    QCOMPARE(g_uvrModel, QStringLiteral("HP5_only_main_vocal"));
    panel->backupButton_slots();
}

void TestScriptTools::changerEndToEnd()
{
    const QString input = inputs.filePath(QStringLiteral("talk.m4a"));
    QVERIFY(TestSupport::makeStereoScene(input, 6.5));
    const QByteArray digest = TestSupport::fileDigest(input);
    // An earlier result of the same name stays.
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("talk-vocal.m4a")), 10));

    auto *panel = openPanel<ChangeConvertWidget>(9);
    panel->optionBox()->setCurrentIndex(1);
    panel->speakerComboBox_slots();
    panel->AddFiles({input});
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
    auto *job = qobject_cast<VoiceChangeData *>(panel->jobs().first());
    QVERIFY(job);
    ChainRecorder recorder(job);
    panel->convertButton_slots();
    QCOMPARE(job->status, int(VoiceData::Converting));
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 60000);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->stage, 0);
    QCOMPARE(job->process.state(), QProcess::NotRunning);

    // Cut (6 s: T = 5, pieces of 5 and 1.5 s), convert, join, encode.
    QCOMPARE(job->segmentCount, 2);
    QCOMPARE(recorder.stageEndProgress(), (QList<int>{1000, 9000, 9500, 9999}));
    const QList<ChainRecorder::Report> ends = recorder.stageEnds();
    QCOMPARE(ends.size(), 4);
    for (int i = 0; i < ends.size(); ++i)
        QCOMPARE(ends.at(i).stage, i);
    QCOMPARE(ends.at(0).program, GetFFmpegPath());
    QCOMPARE(ends.at(0).arguments.mid(4, 4), (QStringList{"segment", "-segment_time", "5", "-acodec"}));
    QCOMPARE(ends.at(1).program, ScriptChainData::PythonPath());
    QCOMPARE(ends.at(1).arguments, VoiceChangeData::ScriptArguments(work, QStringLiteral("lumoV1.pth")));
    QCOMPARE(ends.at(2).arguments.mid(0, 6),
             (QStringList{"-f", "concat", "-safe", "0", "-i", work + "/join.txt"}));
    QCOMPARE(ends.at(3).arguments,
             (QStringList{"-i", work + "/temp/vocal.wav", "-threads", "1", "-y", job->outputPath}));

    // The script's lines moved progress within its share: a segment done is 1000 + n x 2666.
    QList<int> scriptProgress;
    for (const ChainRecorder::Report &report : qAsConst(recorder.reports)) {
        if (report.stage == 1)
            scriptProgress << report.progress;
    }
    QVERIFY(scriptProgress.contains(3666));
    QVERIFY(scriptProgress.contains(6332));
    QVERIFY(std::is_sorted(scriptProgress.cbegin(), scriptProgress.cend()));

    QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("talk-vocal(0).m4a")));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(job->outputPath, result));
    QCOMPARE(result.codecName, QStringLiteral("aac"));
    QCOMPARE(result.channels, 2);
    QVERIFY(qAbs(TestSupport::mediaSeconds(job->outputPath) - 6.5) < 0.1);
    QVERIFY(!QFileInfo::exists(work));
    QCOMPARE(TestSupport::fileDigest(input), digest);
    QCOMPARE(QFileInfo(outputs.filePath(QStringLiteral("talk-vocal.m4a"))).size(), qint64(10));
    panel->backupButton_slots();
}

void TestScriptTools::separationEndToEnd()
{
    const QString input = inputs.filePath(QStringLiteral("song.wav"));
    QVERIFY(TestSupport::makeStereoScene(input, 6.5));
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song-instrument.wav")), 10));
    QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song-vocal.wav")), 10));

    auto *panel = openPanel<URVConvertWidget>(8);
    panel->AddFiles({input});
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
    auto *job = qobject_cast<VoiceUVRData *>(panel->jobs().first());
    QVERIFY(job);
    ChainRecorder recorder(job);
    panel->convertButton_slots();
    const QString work = job->workFolder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.finished, 1, 60000);
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->stage, 0);

    QCOMPARE(recorder.stageEndProgress(), (QList<int>{1000, 9000, 9200, 9500, 9700, 9999}));
    const QList<ChainRecorder::Report> ends = recorder.stageEnds();
    QCOMPARE(ends.size(), 6);
    for (int i = 0; i < ends.size(); ++i)
        QCOMPARE(ends.at(i).stage, i);
    QCOMPARE(ends.at(1).program, ScriptChainData::PythonPath());
    QCOMPARE(ends.at(1).arguments,
             VoiceUVRData::ScriptArguments(work, QStringLiteral("HP5_only_main_vocal")));
    QCOMPARE(ends.at(2).arguments.last(), work + QStringLiteral("/temp/instrument.wav"));
    QCOMPARE(ends.at(3).arguments.last(), work + QStringLiteral("/temp/vocal.wav"));
    const QString instrument = outputs.filePath(QStringLiteral("song-instrument(0).wav"));
    const QString vocal = outputs.filePath(QStringLiteral("song-vocal(0).wav"));
    QCOMPARE(ends.at(4).arguments.last(), instrument);
    QCOMPARE(ends.at(5).arguments.last(), vocal);
    QCOMPARE(job->outputPath, vocal);

    for (const QString &output : {instrument, vocal}) {
        VoiceData result;
        QVERIFY(TestSupport::probeFile(output, result));
        QCOMPARE(result.codecName, QStringLiteral("pcm_s16le"));
        QCOMPARE(result.sampleRate, 44100);
        QCOMPARE(result.channels, 2);
        QVERIFY2(qAbs(TestSupport::mediaSeconds(output) - 6.5) < 0.01, qPrintable(output));
    }
    QVERIFY(!QFileInfo::exists(work));
    panel->backupButton_slots();
}

QTEST_MAIN(TestScriptTools)
#include "tst_scripttools.moc"
