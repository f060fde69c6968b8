#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "tools/concatconvert/concatconvertwidget.h"
#include "tools/concatconvert/voiceconcatitemwidget.h"
#include "widgets/bgicontextbutton.h"

class TestConcatConvert : public QObject
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
    void upAndDownFollowThePlace();
    void arrowsLeaveTheFactsAlone_data();
    void arrowsLeaveTheFactsAlone();
    void joinsInTheArrangedOrder();
    void videoFirstFailsEveryEntryCleanly();

private:
    ConcatConvertWidget *openPanel();
    bool addFiles(ConcatConvertWidget *panel, const QStringList &paths);
    VoiceConcatItemWidget *rowOf(ConcatConvertWidget *panel, int position);
    // "U" for a row showing Up, "D" for Down, "-" for neither, per entry in list order.
    QString arrows(ConcatConvertWidget *panel);

    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestConcatConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestConcatConvert::init()
{
    QDir out(outputs.path());
    for (const QString &name : out.entryList(QDir::Files))
        out.remove(name);
}

void TestConcatConvert::cleanup()
{
    // A run of a failed test must not write into the next one.
    if (auto *panel =
            qobject_cast<ConcatConvertWidget *>(window->panels.value(QStringLiteral("ConcatConvert"))))
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
    window->toolsSelectWidget->ShowSelector();
}

void TestConcatConvert::cleanupTestCase()
{
    delete window;
}

ConcatConvertWidget *TestConcatConvert::openPanel()
{
    return qobject_cast<ConcatConvertWidget *>(window->toolsSelectWidget->OpenTool(6));
}

bool TestConcatConvert::addFiles(ConcatConvertWidget *panel, const QStringList &paths)
{
    const int wanted = panel->jobs().size() + paths.size();
    panel->AddFiles(paths);
    return QTest::qWaitFor([&] { return panel->jobs().size() == wanted; }, 20000);
}

VoiceConcatItemWidget *TestConcatConvert::rowOf(ConcatConvertWidget *panel, int position)
{
    return qobject_cast<VoiceConcatItemWidget *>(
        panel->itemList()->searchMyTableItemWidget(panel->jobs().at(position)));
}

QString TestConcatConvert::arrows(ConcatConvertWidget *panel)
{
    QStringList shown;
    for (int i = 0; i < panel->jobs().size(); ++i) {
        VoiceConcatItemWidget *row = rowOf(panel, i);
        if (!row)
            return QStringLiteral("no row");
        QString text;
        if (!row->upButton->isHidden())
            text += QLatin1Char('U');
        if (!row->downButton->isHidden())
            text += QLatin1Char('D');
        shown << (text.isEmpty() ? QStringLiteral("-") : text);
    }
    return shown.join(QLatin1Char(' '));
}

void TestConcatConvert::arguments_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("one file")
        << QStringList{"/in/a.wav"} << "/out/a-cat.wav"
        << QStringList{"-i",   "/in/a.wav",     "-filter_complex", "[0:0] concat=n=1:v=0:a=1 [a]",
                       "-map", "[a]",           "-threads",        "1",
                       "-y",   "/out/a-cat.wav"};
    QTest::addRow("three files") << QStringList{"/in/a.wav", "/in/b.mp3", "/in/c.ogg"} << "/out/a-cat.wav"
                                 << QStringList{"-i",
                                                "/in/a.wav",
                                                "-i",
                                                "/in/b.mp3",
                                                "-i",
                                                "/in/c.ogg",
                                                "-filter_complex",
                                                "[0:0][1:0][2:0] concat=n=3:v=0:a=1 [a]",
                                                "-map",
                                                "[a]",
                                                "-threads",
                                                "1",
                                                "-y",
                                                "/out/a-cat.wav"};
    QTest::addRow("3gp audio is made 8 kHz mono") << QStringList{"/in/a.3gp"} << "/out/a-cat.3gp"
                                                  << QStringList{"-i",
                                                                 "/in/a.3gp",
                                                                 "-filter_complex",
                                                                 "[0:0] concat=n=1:v=0:a=1 [a]",
                                                                 "-map",
                                                                 "[a]",
                                                                 "-threads",
                                                                 "1",
                                                                 "-y",
                                                                 "-ar",
                                                                 "8000",
                                                                 "-ac",
                                                                 "1",
                                                                 "/out/a-cat.3gp"};
}

void TestConcatConvert::arguments()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, output);
    QFETCH(QStringList, expected);
    QCOMPARE(ConcatConvertWidget::Arguments(inputs, output), expected);
}

void TestConcatConvert::outputName_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::addRow("free") << "/in/a.wav" << QStringList() << "a-cat.wav";
    QTest::addRow("taken once, no blank") << "/in/a.wav" << QStringList{"a-cat.wav"} << "a-cat(0).wav";
    QTest::addRow("taken twice") << "/in/a.wav" << QStringList{"a-cat.wav", "a-cat(0).wav"} << "a-cat(1).wav";
    QTest::addRow("the mix's numbering is no collision")
        << "/in/a.wav" << QStringList{"a-cat.wav", "a-cat (0).wav"} << "a-cat(0).wav";
    QTest::addRow("container ffmpeg only reads") << "/in/tape.DV" << QStringList() << "tape-cat.mp3";
}

void TestConcatConvert::outputName()
{
    QFETCH(QString, reference);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString &name : existing)
        QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(name), 10));
    QCOMPARE(ConcatConvertWidget::OutputPath(reference), outputs.filePath(expected));
}

void TestConcatConvert::upAndDownFollowThePlace()
{
    const QString tone = inputs.filePath(QStringLiteral("short.wav"));
    QVERIFY(TestSupport::makeTone(tone, 0.5));
    ConcatConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, {tone}));
    QCOMPARE(arrows(panel), QStringLiteral("-"));
    // Each new entry gives the former last row its Down.
    QVERIFY(addFiles(panel, {tone}));
    QCOMPARE(arrows(panel), QStringLiteral("D U"));
    QVERIFY(addFiles(panel, {tone}));
    QCOMPARE(arrows(panel), QStringLiteral("D UD U"));

    // Deleting the last refreshes every row: the new last one loses Down.
    const auto buttons = rowOf(panel, 2)->findChildren<MyQtCustom::BgIconTextButton *>();
    const auto deleteButton =
        std::find_if(buttons.cbegin(), buttons.cend(),
                     [](MyQtCustom::BgIconTextButton *b) { return b->text() == QLatin1String("Delete"); });
    QVERIFY(deleteButton != buttons.cend());
    QTest::mouseClick(*deleteButton, Qt::LeftButton);
    QCOMPARE(panel->jobs().size(), 2);
    QCOMPARE(arrows(panel), QStringLiteral("D U"));
    panel->ItemDeleted_slots(panel->jobs().first());
    QCOMPARE(arrows(panel), QStringLiteral("-"));
}

void TestConcatConvert::arrowsLeaveTheFactsAlone_data()
{
    QTest::addColumn<int>("width");
    QTest::addRow("row of the main window") << 1118;
    QTest::addRow("narrow row") << 760;
}

void TestConcatConvert::arrowsLeaveTheFactsAlone()
{
    QFETCH(int, width);
    VoiceData job;
    job.fileName = QStringLiteral("a rather long file name of a recording.wav");
    job.duration = 3723000000LL;
    job.fileSize = 123456789;
    job.codecName = QStringLiteral("pcm_s16le");
    job.channels = 2;
    job.sampleRate = 44100;
    VoiceConcatItemWidget row;
    row.resize(width, ScaledPx(60));
    row.Layout();
    row.UpdateSkin();
    row.UpdateText();
    row.data = &job;
    row.index = 1;
    row.count = 3;
    row.ShowData();
    QVERIFY(!row.upButton->isHidden() && !row.downButton->isHidden());
    QVERIFY(row.upButton->geometry().right() < row.downButton->x());

    const auto labels = row.findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    const auto info = std::find_if(labels.cbegin(), labels.cend(), [&job](QLabel *label) {
        return label->text() == VoiceItemWidget::InfoText(job);
    });
    QVERIFY(info != labels.cend());
    QVERIFY((*info)->geometry().right() < row.upButton->x());
}

void TestConcatConvert::joinsInTheArrangedOrder()
{
    const QStringList paths{inputs.filePath(QStringLiteral("a.wav")),
                            inputs.filePath(QStringLiteral("b.ogg")),
                            inputs.filePath(QStringLiteral("c.flac"))};
    // The probe counts whole seconds.
    const double lengths[] = {1.0, 2.0, 3.0};
    const int frequencies[] = {300, 600, 900};
    for (int i = 0; i < paths.size(); ++i)
        QVERIFY(TestSupport::makeTone(paths.at(i), lengths[i], frequencies[i]));
    ConcatConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, paths));

    // a down, then c up twice: c, b, a.
    QTest::mouseClick(rowOf(panel, 0)->downButton, Qt::LeftButton);
    QTest::mouseClick(rowOf(panel, 2)->upButton, Qt::LeftButton);
    QTest::mouseClick(rowOf(panel, 1)->upButton, Qt::LeftButton);
    QStringList order;
    for (VoiceData *entry : panel->jobs())
        order << entry->fileName;
    QCOMPARE(order, (QStringList{"c.flac", "b.ogg", "a.wav"}));
    QCOMPARE(arrows(panel), QStringLiteral("D UD U"));

    panel->convertButton_slots();
    QCOMPARE(panel->totalDuration, qint64(6000000));
    QCOMPARE(arrows(panel), QStringLiteral("- - -"));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);

    // Named after the new first entry, with its suffix.
    const QString output = outputs.filePath(QStringLiteral("c-cat.flac"));
    for (VoiceData *entry : panel->jobs()) {
        QCOMPARE(entry->status, int(VoiceData::Succeeded));
        QCOMPARE(entry->outputPath, output);
        QCOMPARE(entry->progress, panel->jobs().first()->progress);
    }
    QCOMPARE(arrows(panel), QStringLiteral("- - -"));
    VoiceData result;
    QVERIFY(TestSupport::probeFile(output, result));
    QCOMPARE(result.duration, qint64(6000000));
    QVERIFY(qAbs(TestSupport::toneFrequency(output, 0.2, 2.5) - 900) < 10);
    QVERIFY(qAbs(TestSupport::toneFrequency(output, 3.2, 1.5) - 600) < 10);
    QVERIFY(qAbs(TestSupport::toneFrequency(output, 5.2, 0.7) - 300) < 10);
}

void TestConcatConvert::videoFirstFailsEveryEntryCleanly()
{
    // The concat takes stream 0 of every input, here the picture.
    const QString clip = inputs.filePath(QStringLiteral("clip.mp4"));
    QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1",
                                    "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:v", "mpeg4",
                                    "-c:a", "aac", "-shortest", clip}));
    const QString tone = inputs.filePath(QStringLiteral("after.wav"));
    QVERIFY(TestSupport::makeTone(tone, 1.0));
    ConcatConvertWidget *panel = openPanel();
    QVERIFY(addFiles(panel, {clip, tone, tone}));
    panel->convertButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
    QCOMPARE(panel->runOutputPath(), outputs.filePath(QStringLiteral("clip-cat.mp4")));
    for (VoiceData *entry : panel->jobs()) {
        QCOMPARE(entry->status, int(VoiceData::Failed));
        QVERIFY(!entry->errorText.isEmpty());
    }
    QCOMPARE(QDir(outputs.path()).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(TestConcatConvert)
#include "tst_concatconvert.moc"
