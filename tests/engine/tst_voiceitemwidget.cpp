#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include "engine/voicedata.h"
#include "engine/voiceitemwidget.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/mymovewidget.h"
#include "widgets/skinhelper_qsetting.h"

// Reaches the row's children by their role.
class InspectedRow : public VoiceItemWidget
{
public:
    using VoiceItemWidget::background;
    using VoiceItemWidget::busyAnimation;
    using VoiceItemWidget::deleteButton;
    using VoiceItemWidget::infoLabel;
    using VoiceItemWidget::openButton;
    using VoiceItemWidget::progressBar;
    using VoiceItemWidget::startButton;
    using VoiceItemWidget::statusLabel;
    using VoiceItemWidget::stopButton;
    using VoiceItemWidget::VoiceItemWidget;
};

class TestVoiceItemWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void infoLine_data();
    void infoLine();
    void stateLook_data();
    void stateLook();
    void selectionColours();
    void buttonsEmitForTheBoundJob();
    void unboundRowIgnoresClicks();
    void buttonsSitRightToLeft();
};

void TestVoiceItemWidget::initTestCase()
{
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
}

void TestVoiceItemWidget::infoLine_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("expected");
    QTest::addRow("all facts, stereo") << qint64(205000000) << qint64(3523215) << "aac" << 2 << 44100
                                       << "00:03:25 | 3.36 MB | aac | stereo | 44100";
    QTest::addRow("mono") << qint64(1000000) << qint64(2048) << "pcm_s16le" << 1 << 8000
                          << "00:00:01 | 2.00 KB | pcm_s16le | mono | 8000";
    QTest::addRow("six channels read as more than one")
        << qint64(0) << qint64(0) << "ac3" << 6 << 48000 << "ac3 | stereo | 48000";
    QTest::addRow("not media: only the size") << qint64(0) << qint64(17) << "" << 0 << 0 << "17 bytes";
    QTest::addRow("nothing known") << qint64(0) << qint64(0) << "" << 0 << 0 << "";
}

void TestVoiceItemWidget::infoLine()
{
    QFETCH(qint64, duration);
    QFETCH(qint64, size);
    QFETCH(QString, codec);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(QString, expected);
    VoiceData job;
    job.duration = duration;
    job.fileSize = size;
    job.codecName = codec;
    job.channels = channels;
    job.sampleRate = rate;
    QCOMPARE(VoiceItemWidget::InfoText(job), expected);
}

void TestVoiceItemWidget::stateLook_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>(
        "visible"); // letters: c(onvert) s(top) o(pen) d(elete) p(rogress) t(ext) a(nimation)
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("colour");
    QTest::addRow("idle") << -1 << "cd"
                          << ""
                          << "";
    QTest::addRow("waiting") << 0 << "dt"
                             << "Waiting"
                             << "green";
    QTest::addRow("converting") << 1 << "spa"
                                << ""
                                << "";
    QTest::addRow("success") << 2 << "odt"
                             << "Success"
                             << "green";
    QTest::addRow("failed") << 3 << "cdt"
                            << "Failed"
                            << "red";
    QTest::addRow("stopped") << 4 << "cdt"
                             << "Stopped"
                             << "red";
}

void TestVoiceItemWidget::stateLook()
{
    QFETCH(int, status);
    QFETCH(QString, visible);
    QFETCH(QString, text);
    QFETCH(QString, colour);
    InspectedRow row;
    row.resize(1100, 60);
    row.Layout();
    row.UpdateSkin();
    row.UpdateText();
    VoiceData job;
    job.fileName = QStringLiteral("take.wav");
    job.status = status;
    job.progress = 4200;
    job.errorText = QStringLiteral("Invalid data found when processing input");
    row.data = &job;
    row.ShowData();

    auto shown = [&](QWidget *w) {
        return !w->isHidden();
    };
    QCOMPARE(shown(row.startButton), visible.contains(QLatin1Char('c')));
    QCOMPARE(shown(row.stopButton), visible.contains(QLatin1Char('s')));
    QCOMPARE(shown(row.openButton), visible.contains(QLatin1Char('o')));
    QCOMPARE(shown(row.deleteButton), visible.contains(QLatin1Char('d')));
    QCOMPARE(shown(row.progressBar), visible.contains(QLatin1Char('p')));
    QCOMPARE(shown(row.statusLabel), visible.contains(QLatin1Char('t')));
    QCOMPARE(row.busyAnimation->timerId >= 0, visible.contains(QLatin1Char('a')));
    if (visible.contains(QLatin1Char('t'))) {
        QCOMPARE(row.statusLabel->text(), text);
        QVERIFY(row.statusLabel->styleSheet().contains(QStringLiteral("color:") + colour));
    }
    if (status == 1)
        QCOMPARE(row.progressBar->value(), 4200);
    // Only a failure explains itself.
    QCOMPARE(row.statusLabel->toolTip().isEmpty(), status != 3);

    // A later refresh in another state stops the animation again.
    job.status = VoiceData::Succeeded;
    row.ShowData();
    QCOMPARE(row.busyAnimation->timerId, -1);
}

void TestVoiceItemWidget::selectionColours()
{
    InspectedRow row;
    VoiceData job;
    row.data = &job;
    row.ShowData();
    QVERIFY(row.background->styleSheet().contains(QStringLiteral("background-color:#202124")));
    job.selected = true;
    row.ShowData();
    QVERIFY(row.background->styleSheet().contains(QStringLiteral("background-color:#2e3033")));
    QVERIFY(row.background->styleSheet().contains(QStringLiteral("border: 1px solid #272a2e")));
}

void TestVoiceItemWidget::buttonsEmitForTheBoundJob()
{
    InspectedRow row;
    row.resize(1100, 60);
    row.UpdateText();
    VoiceData job;
    job.status = VoiceData::Failed;
    row.data = &job;
    row.show();
    row.ShowData();

    QSignalSpy convert(&row, &VoiceItemWidget::convertitem);
    QSignalSpy clicked(&row, &VoiceItemWidget::clickeditem);
    QSignalSpy deleted(&row, &VoiceItemWidget::deleteitem);
    QTest::mouseClick(row.startButton, Qt::LeftButton);
    QCOMPARE(convert.count(), 1);
    QCOMPARE(convert.first().first().value<VoiceData *>(), &job);
    // The button keeps its press: the row is not clicked through it.
    QCOMPARE(clicked.count(), 0);

    QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().value<VoiceData *>(), &job);

    // Stop on a job that does not run only marks it; its look stays.
    QMetaObject::invokeMethod(&row, "stopButton_slots");
    QVERIFY(job.stopped);
    QCOMPARE(job.status, int(VoiceData::Failed));

    QTest::mouseClick(row.deleteButton, Qt::LeftButton);
    QCOMPARE(deleted.count(), 1);
    QVERIFY(row.isHidden());
}

void TestVoiceItemWidget::unboundRowIgnoresClicks()
{
    InspectedRow row;
    row.resize(1100, 60);
    row.show();
    QSignalSpy convert(&row, &VoiceItemWidget::convertitem);
    QSignalSpy deleted(&row, &VoiceItemWidget::deleteitem);
    QSignalSpy clicked(&row, &VoiceItemWidget::clickeditem);
    QMetaObject::invokeMethod(&row, "startButton_slots");
    QMetaObject::invokeMethod(&row, "deleteButton_slots");
    QMetaObject::invokeMethod(&row, "stopButton_slots");
    QMetaObject::invokeMethod(&row, "openButton_slots");
    QCOMPARE(convert.count(), 0);
    QCOMPARE(deleted.count(), 0);
    QVERIFY(!row.isHidden());
    QTest::mouseClick(&row, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().value<VoiceData *>(), static_cast<VoiceData *>(nullptr));
}

void TestVoiceItemWidget::buttonsSitRightToLeft()
{
    InspectedRow row;
    row.resize(1100, 60);
    row.Layout();
    row.UpdateText();
    QCOMPARE(row.deleteButton->geometry().right() + 1, 1100 - 10);
    QCOMPARE(row.startButton->geometry().right() + 1, row.deleteButton->x() - 10);
    QCOMPARE(row.stopButton->x(), row.startButton->x());
    QCOMPARE(row.openButton->x(), row.startButton->x());
    QCOMPARE(row.deleteButton->y(), (60 - 30) / 2);
    QVERIFY(row.infoLabel->geometry().right() < row.startButton->x());
}

QTEST_MAIN(TestVoiceItemWidget)
#include "tst_voiceitemwidget.moc"
