#include <QDir>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/toolsbasewidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

namespace {
// A job that runs the stand-in converter on its input.
class StandInJob : public VoiceData
{
public:
    void startConvert() override
    {
        status = Converting;
        const QString output = UniqueOutputPath(filePath, QStringLiteral("-out"), QStringLiteral("bin"));
        beginRun(output);
        startFFmpeg({QStringLiteral("-i"), filePath, output});
    }
};

class TestPanel : public ToolsBaseWidget
{
public:
    using ToolsBaseWidget::ToolsBaseWidget;
    void AddVoiceData(VoiceData *record) override
    {
        ToolsBaseWidget::AddVoiceData(record);
        adoptJob(new StandInJob, record);
    }
    void drop(const QList<QUrl> &urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        dropEvent(&event);
    }
};

// Plays ffmpeg: a probe (two arguments) prints a short report; a conversion
// notes its start, takes a moment and writes 2000 bytes.
const char standInBody[] = R"(dir=$(dirname "$0")
if [ $# -eq 2 ]; then
  echo "Input #0, wav, from '$2':"
  echo "  Duration: 00:00:02.00, start: 0.000000, bitrate: 1411 kb/s"
  echo "  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 44100 Hz, stereo, s16, 1411 kb/s"
  echo "At least one output file must be specified"
  exit 1
fi
echo "$2" >> "$dir/starts.log"
sleep 0.3
head -c 2000 /dev/zero > "$out"
)";
} // namespace

class TestToolsBaseWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void queueKeepsTheLimit_data();
    void queueKeepsTheLimit();
    void convertLeavesRunningJobsAlone();
    void rowConvertQueuesAFinishedJobAgain();
    void selectionRules();
    void writeTest_data();
    void writeTest();
    void openShowsTheFolderAsOneArgument();
    void dropAddsMediaInDroppedOrder();
    void leavingDuringProbesAddsNothingLater();

private:
    QStringList makeInputs(int count);
    QStringList starts() const;
    void waitUntilAllEnded();

    QTemporaryDir standIn;
    QTemporaryDir inputs;
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
    TestPanel *panel = nullptr;
};

void TestToolsBaseWidget::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    QVERIFY(TestSupport::writeStandInFfmpeg(standIn.path(), QLatin1String(standInBody)));
    g_appDir = standIn.path();
}

void TestToolsBaseWidget::cleanupTestCase()
{
    delete window;
}

void TestToolsBaseWidget::init()
{
    QFile::remove(standIn.filePath(QStringLiteral("starts.log")));
    window->sameMaxCount = 2;
    window->outputFolder = outputs.path();
    panel = new TestPanel(window);
    panel->setGeometry(1, 68, 1138, 603);
    panel->Layout();
    panel->UpdateSkin();
    panel->FlushText();
    panel->show();
}

void TestToolsBaseWidget::cleanup()
{
    delete panel;
    panel = nullptr;
}

QStringList TestToolsBaseWidget::makeInputs(int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path =
            inputs.filePath(QStringLiteral("in%1-%2.wav").arg(QTest::currentTestFunction()).arg(i));
        TestSupport::writeFileOfSize(path, 100);
        paths << path;
    }
    return paths;
}

QStringList TestToolsBaseWidget::starts() const
{
    QFile log(standIn.filePath(QStringLiteral("starts.log")));
    if (!log.open(QIODevice::ReadOnly))
        return QStringList();
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestToolsBaseWidget::waitUntilAllEnded()
{
    const QList<VoiceData *> jobs = panel->jobs();
    QTRY_VERIFY_WITH_TIMEOUT(std::none_of(jobs.cbegin(), jobs.cend(),
                                          [](VoiceData *job) {
                                              return job->status == VoiceData::Converting ||
                                                     job->status == VoiceData::Waiting;
                                          }),
                             20000);
}

void TestToolsBaseWidget::queueKeepsTheLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("expectedMostRunning");
    QTest::addRow("two at a time") << 2 << 2;
    QTest::addRow("three at a time") << 3 << 3;
    QTest::addRow("a damaged limit still runs one") << 0 << 1;
}

void TestToolsBaseWidget::queueKeepsTheLimit()
{
    QFETCH(int, limit);
    QFETCH(int, expectedMostRunning);
    window->sameMaxCount = limit;
    const QStringList paths = makeInputs(5);
    panel->AddFiles(paths);
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 5, 10000);

    int mostRunning = 0;
    auto sample = [&] {
        int running = 0;
        for (VoiceData *job : panel->jobs())
            running += job->status == VoiceData::Converting ? 1 : 0;
        mostRunning = qMax(mostRunning, running);
    };
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, sample);
    sampler.start(5);
    panel->convertButton_slots();
    sample();
    waitUntilAllEnded();
    QCOMPARE(mostRunning, expectedMostRunning);
    for (VoiceData *job : panel->jobs())
        QCOMPARE(job->status, int(VoiceData::Succeeded));
    // Each started once (the children note their starts as they get to it).
    QStringList started = starts();
    started.sort();
    QCOMPARE(started, paths);
}

void TestToolsBaseWidget::convertLeavesRunningJobsAlone()
{
    const QStringList paths = makeInputs(3);
    panel->AddFiles(paths);
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 3, 10000);
    panel->convertButton_slots();
    const QString firstOutput = panel->jobs().first()->outputPath;
    panel->convertButton_slots();
    QCOMPARE(panel->jobs().first()->outputPath, firstOutput);
    waitUntilAllEnded();
    QCOMPARE(starts().size(), 3);
}

void TestToolsBaseWidget::rowConvertQueuesAFinishedJobAgain()
{
    panel->AddFiles(makeInputs(1));
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
    VoiceData *job = panel->jobs().first();
    panel->Convertitem_slots(job);
    waitUntilAllEnded();
    const QString first = job->outputPath;
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    panel->Convertitem_slots(job);
    QCOMPARE(job->status, int(VoiceData::Converting));
    waitUntilAllEnded();
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QVERIFY(job->outputPath != first);
    QVERIFY(job->outputPath.endsWith(QStringLiteral("-out (0).bin")));
    QVERIFY(QFileInfo::exists(first));
}

void TestToolsBaseWidget::selectionRules()
{
    panel->AddFiles(makeInputs(1));
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
    VoiceData *first = panel->jobs().at(0);
    panel->Clickeditem_slots(first);
    QVERIFY(!first->selected);
    QCOMPARE(panel->selectedJob(), static_cast<VoiceData *>(nullptr));

    panel->AddFiles(makeInputs(2).mid(1));
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 2, 10000);
    VoiceData *second = panel->jobs().at(1);
    panel->Clickeditem_slots(first);
    QVERIFY(first->selected);
    panel->Clickeditem_slots(second);
    QVERIFY(second->selected);
    QVERIFY(!first->selected);
    QCOMPARE(panel->selectedJob(), second);

    panel->ItemDeleted_slots(second);
    QCOMPARE(panel->selectedJob(), static_cast<VoiceData *>(nullptr));
    QCOMPARE(panel->jobs(), QList<VoiceData *>{first});
    panel->Clickeditem_slots(nullptr);
    QCOMPARE(panel->selectedJob(), static_cast<VoiceData *>(nullptr));
}

void TestToolsBaseWidget::writeTest_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::addRow("writable folder") << "writable" << true;
    QTest::addRow("read-only file system") << "proc" << false;
    QTest::addRow("deleted folder") << "deleted" << false;
    QTest::addRow("a file, not a folder") << "file" << false;
}

void TestToolsBaseWidget::writeTest()
{
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QTemporaryDir chosen;
    QString folder = chosen.path();
    if (kind == QLatin1String("proc"))
        folder = QStringLiteral("/proc/1");
    else if (kind == QLatin1String("deleted"))
        folder = chosen.filePath(QStringLiteral("gone"));
    else if (kind == QLatin1String("file"))
        TestSupport::writeFileOfSize(folder = chosen.filePath(QStringLiteral("plain")), 3);

    const QString before = window->outputFolder;
    QCOMPARE(panel->SetOutputFolderIfWritable(folder), accepted);
    QCOMPARE(window->outputFolder, accepted ? folder : before);
    if (accepted) {
        // The test leaves nothing behind.
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        window->outputFolder = before;
    }
}

void TestToolsBaseWidget::openShowsTheFolderAsOneArgument()
{
    QTemporaryDir bin;
    const QString record = bin.filePath(QStringLiteral("opened"));
    QVERIFY(
        TestSupport::writeExecutable(bin.filePath(QStringLiteral("xdg-open")),
                                     QStringLiteral("#!/bin/sh\necho $# > '%1.tmp'\nprintf '%s' \"$1\" >> "
                                                    "'%1.tmp'\nmv '%1.tmp' '%1'\n")
                                         .arg(record)));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("it's a \"dir\" $(x)"));
    QVERIFY(QDir().mkpath(folder));
    window->outputFolder = folder;
    panel->openOutputButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("1\n") + folder);
    qputenv("PATH", path);
    window->outputFolder = outputs.path();
}

void TestToolsBaseWidget::dropAddsMediaInDroppedOrder()
{
    QTemporaryDir dir;
    auto touch = [&](const QString &name) {
        TestSupport::writeFileOfSize(dir.filePath(name), 100);
        return dir.filePath(name);
    };
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("album")));
    touch(QStringLiteral("album/track10.flac"));
    touch(QStringLiteral("album/track2.mp3"));
    touch(QStringLiteral("album/cover.jpg"));
    const QString b = touch(QStringLiteral("b.WAV"));
    const QString a = touch(QStringLiteral("a.m4a"));
    const QString notes = touch(QStringLiteral("notes.txt"));
    panel->drop({QUrl::fromLocalFile(b), QUrl::fromLocalFile(dir.filePath(QStringLiteral("album"))),
                 QUrl::fromLocalFile(a), QUrl::fromLocalFile(notes)});
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 4, 10000);
    QStringList names;
    for (VoiceData *job : panel->jobs())
        names << job->fileName;
    QCOMPARE(names, (QStringList{"b.WAV", "track2.mp3", "track10.flac", "a.m4a"}));
}

void TestToolsBaseWidget::leavingDuringProbesAddsNothingLater()
{
    panel->AddFiles(makeInputs(6));
    QVERIFY(!panel->pendingFileList().isEmpty());
    panel->RemoveAllItems();
    QVERIFY(panel->pendingFileList().isEmpty());
    // Whatever probe was under way ends without adding a job.
    QTest::qWait(300);
    QCOMPARE(panel->jobs().size(), 0);
    // The panel still works afterwards.
    panel->AddFiles(makeInputs(1));
    QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 10000);
}

QTEST_MAIN(TestToolsBaseWidget)
#include "tst_toolsbasewidget.moc"
