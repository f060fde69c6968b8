// The run that the whole-list tools (mix, concat) share: one child for the
// whole list, mirrored into every entry. A stand-in ffmpeg holds the run at a
// gate, so that the test can act while it goes on.
#include <QDir>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/voicedata.h"
#include "engine/wholelisttoolwidget.h"
#include "support/testsupport.h"
#include "tools/mixconvert/mixconvertwidget.h"
#include "widgets/bgicontextbutton.h"

namespace {
constexpr int MixTool = 4;
constexpr int ConcatTool = 6;
} // namespace

class TestWholeListTool : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void selectorOpensThePanels_data();
    void selectorOpensThePanels();
    void progressIsMirroredIntoEveryRow_data();
    void progressIsMirroredIntoEveryRow();
    void convertDuringRunIsIgnored_data();
    void convertDuringRunIsIgnored();
    void leavingDuringRunKeepsTheResult_data();
    void leavingDuringRunKeepsTheResult();
    void entryDeletedDuringRunIsLetGo();
    void badResultFailsEveryEntry_data();
    void badResultFailsEveryEntry();
    void missingConverterFailsEveryEntry_data();
    void missingConverterFailsEveryEntry();
    void closingThePanelRemovesAnUnfinishedResult();
    void emptyListStartsNothing_data();
    void emptyListStartsNothing();

private:
    WholeListToolWidget *openPanel(int tool);
    bool addFiles(WholeListToolWidget *panel, const QStringList &paths);
    QStringList tones(const QList<double> &seconds);
    // A stand-in ffmpeg: probes pass to the real one; a run counts itself,
    // prints `statusLine`, waits for the gate (when `gated`) and then runs `finish`.
    bool writeStandIn(const QString &finish, bool gated = true, const QString &statusLine = QString());
    void openGate();
    int runCount() const;
    QStringList outputFiles() const;
    static bool allInState(WholeListToolWidget *panel, int state);

    QTemporaryDir inputs;
    QTemporaryDir outputs;
    QTemporaryDir standIn;
    MainWidget *window = nullptr;
    QString realAppDir;
};

void TestWholeListTool::initTestCase()
{
    TestSupport::useBuildAppDir();
    realAppDir = g_appDir;
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestWholeListTool::init()
{
    g_appDir = standIn.path();
    QFile::remove(standIn.filePath(QStringLiteral("gate")));
    QFile::remove(standIn.filePath(QStringLiteral("runs")));
    QDir out(outputs.path());
    for (const QString &name : out.entryList(QDir::Files))
        out.remove(name);
}

void TestWholeListTool::cleanup()
{
    // A run the test left behind must not reach the next one.
    openGate();
    for (ToolsBaseWidget *panel : qAsConst(window->panels)) {
        auto *wholeList = qobject_cast<WholeListToolWidget *>(panel);
        QTRY_VERIFY_WITH_TIMEOUT(!wholeList || !wholeList->isRunning(), 20000);
    }
    window->toolsSelectWidget->ShowSelector();
    g_appDir = realAppDir;
}

void TestWholeListTool::cleanupTestCase()
{
    delete window;
}

WholeListToolWidget *TestWholeListTool::openPanel(int tool)
{
    return qobject_cast<WholeListToolWidget *>(window->toolsSelectWidget->OpenTool(tool));
}

bool TestWholeListTool::addFiles(WholeListToolWidget *panel, const QStringList &paths)
{
    const int wanted = panel->jobs().size() + paths.size();
    panel->AddFiles(paths);
    return QTest::qWaitFor([&] { return panel->jobs().size() == wanted; }, 20000);
}

QStringList TestWholeListTool::tones(const QList<double> &seconds)
{
    QStringList paths;
    for (int i = 0; i < seconds.size(); ++i) {
        const QString path = inputs.filePath(QStringLiteral("tone%1-%2.wav").arg(i).arg(seconds.at(i)));
        if (!QFileInfo::exists(path) && !TestSupport::makeTone(path, seconds.at(i), 300 + 200 * i, 8000, 1))
            return {};
        paths << path;
    }
    return paths;
}

bool TestWholeListTool::writeStandIn(const QString &finish, bool gated, const QString &statusLine)
{
    const QString dir = standIn.path();
    QString body = QStringLiteral("[ $# -le 2 ] && exec /usr/bin/ffmpeg \"$@\"\n"
                                  "echo run >> '%1/runs'\n")
                       .arg(dir);
    if (!statusLine.isEmpty())
        body += QStringLiteral("printf '%s\\n' '%1'\n").arg(statusLine);
    // The output exists while the run goes on, as it does with the real ffmpeg.
    if (gated)
        body += QStringLiteral(": > \"$out\"\nwhile [ ! -e '%1/gate' ]; do sleep 0.02; done\n").arg(dir);
    return TestSupport::writeStandInFfmpeg(dir, body + finish);
}

void TestWholeListTool::openGate()
{
    QVERIFY(TestSupport::writeFileOfSize(standIn.filePath(QStringLiteral("gate")), 0));
}

int TestWholeListTool::runCount() const
{
    QFile runs(standIn.filePath(QStringLiteral("runs")));
    if (!runs.open(QIODevice::ReadOnly))
        return 0;
    return runs.readAll().count('\n');
}

QStringList TestWholeListTool::outputFiles() const
{
    return QDir(outputs.path()).entryList(QDir::Files);
}

bool TestWholeListTool::allInState(WholeListToolWidget *panel, int state)
{
    const QList<VoiceData *> entries = panel->jobs();
    return !entries.isEmpty() && std::all_of(entries.cbegin(), entries.cend(),
                                             [state](VoiceData *e) { return e->status == state; });
}

void TestWholeListTool::selectorOpensThePanels_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addRow("mix") << MixTool << "MixConvert"
                         << "MixConvertWidget";
    QTest::addRow("concat") << ConcatTool << "ConcatConvert"
                            << "ConcatConvertWidget";
}

void TestWholeListTool::selectorOpensThePanels()
{
    QFETCH(int, tool);
    QFETCH(QString, name);
    QFETCH(QString, className);
    QTest::mouseClick(window->toolsSelectWidget->toolButton(tool), Qt::LeftButton);
    ToolsBaseWidget *panel = window->panels.value(name);
    QVERIFY(panel);
    QCOMPARE(QLatin1String(panel->metaObject()->className()), className);
}

void TestWholeListTool::progressIsMirroredIntoEveryRow_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QList<double>>("lengths");
    QTest::addColumn<QString>("statusLine");
    // The mix lasts as long as its first file, the concat as all together.
    QTest::addRow("mix, half the first file")
        << MixTool << QList<double>{10, 30, 4} << "size=  1kB time=00:00:05.00 bitrate=1.6kbits/s speed=1x";
    QTest::addRow("concat, half the sum")
        << ConcatTool << QList<double>{60, 60} << "size=  1kB time=00:01:00.00 bitrate=1.6kbits/s speed=1x";
}

void TestWholeListTool::progressIsMirroredIntoEveryRow()
{
    QFETCH(int, tool);
    QFETCH(QList<double>, lengths);
    QFETCH(QString, statusLine);
    QVERIFY(writeStandIn(QStringLiteral("exec /usr/bin/ffmpeg \"$@\""), true, statusLine));
    WholeListToolWidget *panel = openPanel(tool);
    QVERIFY(addFiles(panel, tones(lengths)));

    panel->convertButton_slots();
    QVERIFY(panel->isRunning());
    QVERIFY(allInState(panel, VoiceData::Converting));
    const QList<VoiceData *> entries = panel->jobs();
    QTRY_COMPARE_WITH_TIMEOUT(entries.last()->progress, 5000, 10000);
    for (VoiceData *entry : entries) {
        QCOMPARE(entry->progress, 5000);
        auto *bar = panel->itemList()->searchMyTableItemWidget(entry)->findChild<QProgressBar *>();
        QVERIFY(bar && bar->isVisibleTo(bar->parentWidget()));
        QCOMPARE(bar->value(), 5000);
    }

    openGate();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 20000);
    QVERIFY(allInState(panel, VoiceData::Succeeded));
    for (VoiceData *entry : entries)
        QCOMPARE(entry->outputPath, panel->runOutputPath());
    QVERIFY(QFileInfo(panel->runOutputPath()).size() > 1024);
}

void TestWholeListTool::convertDuringRunIsIgnored_data()
{
    QTest::addColumn<int>("tool");
    QTest::addRow("mix") << MixTool;
    QTest::addRow("concat") << ConcatTool;
}

void TestWholeListTool::convertDuringRunIsIgnored()
{
    QFETCH(int, tool);
    QVERIFY(writeStandIn(QStringLiteral("exec /usr/bin/ffmpeg \"$@\"")));
    WholeListToolWidget *panel = openPanel(tool);
    QVERIFY(addFiles(panel, tones({1, 2})));
    panel->convertButton_slots();
    const QString output = panel->runOutputPath();
    // Taken: a second start would now be named differently.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(output), 10000);

    panel->convertButton_slots();
    QVERIFY(panel->isRunning());
    QCOMPARE(panel->runOutputPath(), output);
    for (VoiceData *entry : panel->jobs()) {
        QCOMPARE(entry->status, int(VoiceData::Converting));
        QCOMPARE(entry->outputPath, output);
    }

    openGate();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 20000);
    QVERIFY(allInState(panel, VoiceData::Succeeded));
    QCOMPARE(runCount(), 1);
    QCOMPARE(outputFiles(), QStringList{QFileInfo(output).fileName()});
}

void TestWholeListTool::leavingDuringRunKeepsTheResult_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<double>("length");
    QTest::addRow("mix") << MixTool << 1.0;
    QTest::addRow("concat") << ConcatTool << 3.0;
}

void TestWholeListTool::leavingDuringRunKeepsTheResult()
{
    QFETCH(int, tool);
    QFETCH(double, length);
    QVERIFY(writeStandIn(QStringLiteral("exec /usr/bin/ffmpeg \"$@\"")));
    WholeListToolWidget *panel = openPanel(tool);
    QVERIFY(addFiles(panel, tones({1, 2})));
    panel->convertButton_slots();
    QTRY_COMPARE_WITH_TIMEOUT(runCount(), 1, 10000);
    const QString output = panel->runOutputPath();
    QList<QPointer<VoiceData>> left;
    for (VoiceData *entry : panel->jobs())
        left << entry;

    panel->backupButton_slots();
    QVERIFY(panel->jobs().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QPointer<VoiceData> &entry : qAsConst(left))
        QVERIFY(entry.isNull());
    QVERIFY(panel->isRunning());

    // Back in the panel while the old run goes on: a new entry is not part of it.
    QCOMPARE(openPanel(tool), panel);
    QVERIFY(addFiles(panel, tones({1})));
    VoiceData *newcomer = panel->jobs().first();

    openGate();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 20000);
    QCOMPARE(newcomer->status, int(VoiceData::Idle));
    QVERIFY(newcomer->outputPath.isEmpty());
    VoiceData result;
    QVERIFY(TestSupport::probeFile(output, result));
    QVERIFY(qAbs(result.duration - qint64(length * 1000000)) < 100000);
}

void TestWholeListTool::entryDeletedDuringRunIsLetGo()
{
    QVERIFY(writeStandIn(QStringLiteral("exec /usr/bin/ffmpeg \"$@\"")));
    WholeListToolWidget *panel = openPanel(MixTool);
    QVERIFY(addFiles(panel, tones({1, 2, 1})));
    panel->convertButton_slots();
    QTRY_COMPARE_WITH_TIMEOUT(runCount(), 1, 10000);

    // The reference itself goes: the run still ends for the others.
    QPointer<VoiceData> reference = panel->jobs().first();
    panel->ItemDeleted_slots(reference);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(reference.isNull());

    openGate();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 20000);
    QCOMPARE(panel->jobs().size(), 2);
    QVERIFY(allInState(panel, VoiceData::Succeeded));
    QVERIFY(QFileInfo::exists(panel->runOutputPath()));
}

void TestWholeListTool::badResultFailsEveryEntry_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QString>("finish");
    const struct
    {
        const char *name;
        const char *finish;
    } cases[] = {
        {"exit 1 after writing 4096 bytes", "head -c 4096 /dev/zero > \"$out\"; exit 1"},
        {"crash after writing 4096 bytes", "head -c 4096 /dev/zero > \"$out\"; kill -9 $$"},
        {"exactly 1024 bytes", "head -c 1024 /dev/zero > \"$out\"; exit 0"},
        {"nothing written", "echo 'Invalid data found when processing input'; exit 0"},
    };
    for (const auto &c : cases) {
        QTest::addRow("mix, %s", c.name) << MixTool << QString::fromLatin1(c.finish);
        QTest::addRow("concat, %s", c.name) << ConcatTool << QString::fromLatin1(c.finish);
    }
}

void TestWholeListTool::badResultFailsEveryEntry()
{
    QFETCH(int, tool);
    QFETCH(QString, finish);
    QVERIFY(writeStandIn(finish, false));
    WholeListToolWidget *panel = openPanel(tool);
    QVERIFY(addFiles(panel, tones({1, 2, 1})));
    panel->convertButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 20000);
    QVERIFY(allInState(panel, VoiceData::Failed));
    QCOMPARE(runCount(), 1);
    QCOMPARE(outputFiles(), QStringList());
    for (VoiceData *entry : panel->jobs())
        QVERIFY(!entry->errorText.isEmpty());
}

void TestWholeListTool::missingConverterFailsEveryEntry_data()
{
    QTest::addColumn<int>("tool");
    QTest::addRow("mix") << MixTool;
    QTest::addRow("concat") << ConcatTool;
}

void TestWholeListTool::missingConverterFailsEveryEntry()
{
    QFETCH(int, tool);
    WholeListToolWidget *panel = openPanel(tool);
    QVERIFY(addFiles(panel, tones({1, 2})));
    QTemporaryDir empty;
    g_appDir = empty.path();
    panel->convertButton_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 10000);
    QVERIFY(allInState(panel, VoiceData::Failed));
    for (VoiceData *entry : panel->jobs())
        QCOMPARE(entry->errorText, VoiceData::FailureReason(QString(), false));
    QCOMPARE(outputFiles(), QStringList());
}

void TestWholeListTool::closingThePanelRemovesAnUnfinishedResult()
{
    QVERIFY(TestSupport::writeStandInFfmpeg(standIn.path(),
                                            QStringLiteral("[ $# -le 2 ] && exec /usr/bin/ffmpeg \"$@\"\n"
                                                           "head -c 4096 /dev/zero > \"$out\"\n"
                                                           "while :; do sleep 0.02; done")));
    auto *panel = new MixConvertWidget;
    QVERIFY(addFiles(panel, tones({1, 2})));
    panel->convertButton_slots();
    const QString output = panel->runOutputPath();
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(output).size(), qint64(4096), 10000);
    delete panel;
    QVERIFY(!QFileInfo::exists(output));
}

void TestWholeListTool::emptyListStartsNothing_data()
{
    QTest::addColumn<int>("tool");
    QTest::addRow("mix") << MixTool;
    QTest::addRow("concat") << ConcatTool;
}

void TestWholeListTool::emptyListStartsNothing()
{
    QFETCH(int, tool);
    WholeListToolWidget *panel = openPanel(tool);
    const QString before = panel->runOutputPath();
    panel->convertButton_slots();
    QVERIFY(!panel->isRunning());
    QCOMPARE(panel->runOutputPath(), before);
}

QTEST_MAIN(TestWholeListTool)
#include "tst_wholelisttool.moc"
