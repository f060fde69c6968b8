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
    void initTestCase()
    {
        SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    }
    void infoLine_data()
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
    void infoLine()
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
    void stateLook_data()
    {
        QTest::addColumn<int>("status");
        // The parts shown: c(onvert) s(top) o(pen) d(elete) p(rogress) t(ext) a(nimation).
        QTest::addColumn<QString>("visible");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        // clang-format off
        QTest::addRow("idle") << -1 << "cd" << "" << "";
        QTest::addRow("waiting") << 0 << "dt" << "Waiting" << "green";
        QTest::addRow("converting") << 1 << "spa" << "" << "";
        QTest::addRow("success") << 2 << "odt" << "Success" << "green";
        QTest::addRow("failed") << 3 << "cdt" << "Failed" << "red";
        QTest::addRow("stopped") << 4 << "cdt" << "Stopped" << "red";
        // clang-format on
    }
    void stateLook()
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

        QString shown;
        const QWidget *parts[] = {row.startButton,  row.stopButton,  row.openButton,
                                  row.deleteButton, row.progressBar, row.statusLabel};
        for (int k = 0; k < 6; ++k)
            shown += parts[k]->isHidden() ? QString() : QString(QLatin1Char("csodpt"[k]));
        if (row.busyAnimation->timerId >= 0)
            shown += QLatin1Char('a');
        QCOMPARE(shown, visible);
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
    void selectionColours()
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
    void buttonsEmitForTheBoundJobOnly()
    {
        InspectedRow row;
        row.resize(1100, 60);
        row.UpdateText();
        row.show();
        QSignalSpy convert(&row, &VoiceItemWidget::convertitem);
        QSignalSpy clicked(&row, &VoiceItemWidget::clickeditem);
        QSignalSpy deleted(&row, &VoiceItemWidget::deleteitem);
        // Unbound, the buttons do nothing; the row still reports a click.
        for (const char *slot :
             {"startButton_slots", "deleteButton_slots", "stopButton_slots", "openButton_slots"})
            QMetaObject::invokeMethod(&row, slot);
        QCOMPARE(convert.count() + deleted.count(), 0);
        QVERIFY(!row.isHidden());
        QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(clicked.takeFirst().first().value<VoiceData *>(), static_cast<VoiceData *>(nullptr));

        VoiceData job;
        job.status = VoiceData::Failed;
        row.data = &job;
        row.ShowData();
        QTest::mouseClick(row.startButton, Qt::LeftButton);
        QCOMPARE(convert.count(), 1);
        QCOMPARE(convert.first().first().value<VoiceData *>(), &job);
        QCOMPARE(clicked.count(), 0); // the button keeps its press: the row is not clicked through it
        QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(clicked.first().first().value<VoiceData *>(), &job);
        // Stop on a job that does not run only marks it; its look stays.
        QMetaObject::invokeMethod(&row, "stopButton_slots");
        QVERIFY(job.stopped);
        QCOMPARE(job.status, int(VoiceData::Failed));
        QTest::mouseClick(row.deleteButton, Qt::LeftButton);
        QCOMPARE(deleted.count(), 1);
        QVERIFY(row.isHidden());
    }
};

QTEST_MAIN(TestVoiceItemWidget)
#include "tst_voiceitemwidget.moc"
