#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "tools/mixconvert/mixconvertwidget.h"
#include "tools/mixconvert/voicemixitemwidget.h"
#include "widgets/bgicontextbutton.h"

class TestMixConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void arguments_data();
    void arguments();
    void outputName_data();
    void outputName();
    void mixLastsAsLongAsTheFirstFile();
    void deletingTheTopRowMakesTheNextTheReference();
    void videoFirstGivesAnAudioOnlyMp4();

private:
    MixConvertWidget *openPanel();
    bool addFiles(MixConvertWidget *panel, const QStringList &paths);
    // The captions of the row's action buttons that are shown.
    static QStringList shownButtons(MyTableItemWidget *row);

    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestMixConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestMixConvert::init()
{
    QDir out(outputs.path());
    for (const QString &name : out.entryList(QDir::Files))
        out.remove(name);
}

void TestMixConvert::cleanup()
{
    // A run of a failed test must not write into the next one.
    if (auto *panel = qobject_cast<MixConvertWidget *>(window->panels.value(QStringLiteral("MixConvert"))))
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
    window->toolsSelectWidget->ShowSelector();
}

void TestMixConvert::cleanupTestCase()
{
    delete window;
}

MixConvertWidget *TestMixConvert::openPanel()
{
    return qobject_cast<MixConvertWidget *>(window->toolsSelectWidget->OpenTool(4));
}

bool TestMixConvert::addFiles(MixConvertWidget *panel, const QStringList &paths)
{
    const int wanted = panel->jobs().size() + paths.size();
    panel->AddFiles(paths);
    return QTest::qWaitFor([&] { return panel->jobs().size() == wanted; }, 20000);
}

QStringList TestMixConvert::shownButtons(MyTableItemWidget *row)
{
    QStringList captions;
    const auto buttons = row->findChildren<MyQtCustom::BgIconTextButton *>();
    for (MyQtCustom::BgIconTextButton *button : buttons) {
        if (button->isVisibleTo(row))
            captions << button->text();
    }
    captions.sort();
    return captions;
}

void TestMixConvert::arguments_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("one file")
        << QStringList{"/in/a.wav"} << "/out/a-mix.wav"
        << QStringList{"-i",       "/in/a.wav", "-vn", "-filter_complex", "amix=inputs=1:duration=first",
                       "-threads", "1",         "-y",  "/out/a-mix.wav"};
    QTest::addRow("three files") << QStringList{"/in/a.wav", "/in/b.mp3", "/in/c.ogg"} << "/out/a-mix.wav"
                                 << QStringList{"-i",
                                                "/in/a.wav",
                                                "-i",
                                                "/in/b.mp3",
                                                "-i",
                                                "/in/c.ogg",
                                                "-vn",
                                                "-filter_complex",
                                                "amix=inputs=3:duration=first",
                                                "-threads",
                                                "1",
                                                "-y",
                                                "/out/a-mix.wav"};
    QTest::addRow("amr is made 8 kHz mono") << QStringList{"/in/a.amr", "/in/b.wav"} << "/out/a-mix.amr"
                                            << QStringList{"-i",
                                                           "/in/a.amr",
                                                           "-i",
                                                           "/in/b.wav",
                                                           "-vn",
                                                           "-filter_complex",
                                                           "amix=inputs=2:duration=first",
                                                           "-threads",
                                                           "1",
                                                           "-y",
                                                           "-ar",
                                                           "8000",
                                                           "-ac",
                                                           "1",
                                                           "/out/a-mix.amr"};
}

void TestMixConvert::arguments()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(MixConvertWidget::Arguments(inputs, output), expected);
}

void TestMixConvert::outputName_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::addRow("free") << "/in/a.wav" << QStringList() << "a-mix.wav";
    QTest::addRow("taken once") << "/in/a.wav" << QStringList{"a-mix.wav"} << "a-mix (0).wav";
    QTest::addRow("taken twice") << "/in/a.wav" << QStringList{"a-mix.wav", "a-mix (0).wav"}
                                 << "a-mix (1).wav";
    QTest::addRow("suffix inside the name") << "/in/a.mp3.b.mp3" << QStringList() << "a.b-mix.mp3";
    QTest::addRow("container ffmpeg only reads") << "/in/clip.MOD" << QStringList() << "clip-mix.mp3";
}

void TestMixConvert::outputName()
{
    QFETCH(QString, reference);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString &name : existing)
        QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(name), 10));
    QCOMPARE(MixConvertWidget::OutputPath(reference), outputs.filePath(expected));
}

void TestMixConvert::mixLastsAsLongAsTheFirstFile()
{
    const QStringList paths{inputs.filePath(QStringLiteral("a.wav")),
                            inputs.filePath(QStringLiteral("b.mp3")),
                            inputs.filePath(QStringLiteral("c.ogg"))};
    const double lengths[] = {2.0, 5.0, 3.0};
    QList<QByteArray> digests;
    for (int i = 0; i < paths.size(); ++i) {
        QVERIFY(TestSupport::makeTone(paths.at(i), lengths[i], 300 + 200 * i));
        digests << TestSupport::fileDigest(paths.at(i));
    }
    MixConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, paths));
    for (MyTableItemWidget *row : panel->itemList()->rows()) {
        if (row->data)
            QCOMPARE(shownButtons(row), QStringList{QStringLiteral("Delete")});
    }

    panel->convertButton_slots();
    QVERIFY(panel->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);

    const QList<VoiceData *> entries = panel->jobs();
    const QString output = outputs.filePath(QStringLiteral("a-mix.wav"));
    for (VoiceData *entry : entries) {
        QCOMPARE(entry->status, int(VoiceData::Succeeded));
        QCOMPARE(entry->outputPath, output);
        QCOMPARE(entry->progress, entries.first()->progress);
        MyTableItemWidget *row = panel->itemList()->searchMyTableItemWidget(entry);
        QCOMPARE(shownButtons(row), (QStringList{QStringLiteral("Delete"), QStringLiteral("Open")}));
        QCOMPARE(row->findChild<QProgressBar *>()->value(), entry->progress);
    }
    VoiceData result;
    QVERIFY(TestSupport::probeFile(output, result));
    QVERIFY(qAbs(result.duration - 2000000) < 50000);
    for (int i = 0; i < paths.size(); ++i)
        QCOMPARE(TestSupport::fileDigest(paths.at(i)), digests.at(i));
    QCOMPARE(QDir(outputs.path()).entryList(QDir::Files), QStringList{QStringLiteral("a-mix.wav")});
}

void TestMixConvert::deletingTheTopRowMakesTheNextTheReference()
{
    const QString first = inputs.filePath(QStringLiteral("first.wav"));
    const QString second = inputs.filePath(QStringLiteral("second.ogg"));
    QVERIFY(TestSupport::makeTone(first, 1.0, 400));
    QVERIFY(TestSupport::makeTone(second, 3.0, 600));
    MixConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, {first, second, first}));
    panel->ItemDeleted_slots(panel->jobs().first());

    panel->convertButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
    const QString output = outputs.filePath(QStringLiteral("second-mix.ogg"));
    QCOMPARE(panel->jobs().first()->outputPath, output);
    QCOMPARE(panel->jobs().first()->status, int(VoiceData::Succeeded));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(output, result));
    QCOMPARE(result.codecName, QStringLiteral("vorbis"));
    QVERIFY(qAbs(result.duration - 3000000) < 100000);
}

void TestMixConvert::videoFirstGivesAnAudioOnlyMp4()
{
    // Named after a video file, the mix still holds audio only: mp4 takes that.
    const QString clip = inputs.filePath(QStringLiteral("clip.mp4"));
    QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1",
                                    "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:v", "mpeg4",
                                    "-c:a", "aac", "-shortest", clip}));
    const QString tone = inputs.filePath(QStringLiteral("under.wav"));
    QVERIFY(TestSupport::makeTone(tone, 2.0, 700));
    MixConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, {clip, tone}));
    panel->convertButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
    QCOMPARE(panel->jobs().first()->status, int(VoiceData::Succeeded));
    const QString output = outputs.filePath(QStringLiteral("clip-mix.mp4"));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(output, result));
    QCOMPARE(result.codecName, QStringLiteral("aac"));
    QVERIFY(result.hasAudio);
    QVERIFY(qAbs(result.duration - 1000000) < 100000);
    QString report;
    TestSupport::runFfmpeg({"-i", output}, &report);
    QVERIFY(report.contains(QStringLiteral("Audio:")));
    QVERIFY(!report.contains(QStringLiteral("Video:")));
}

QTEST_MAIN(TestMixConvert)
#include "tst_mixconvert.moc"
