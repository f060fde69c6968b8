// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "app/voiceitemwidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/mymovewidget.h"
#include "widgets/skinhelper_qsetting.h"

// Reaches the row's children by their role.
class InspectedRow : public VoiceItemWidget
{
public:
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
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("stereo") << qint64(205000000) << qint64(3523215) << "aac" << 2
                                << "00:03:25 | 3.36 MB | aac | stereo | 44100";
        QTest::addRow("six channels") << qint64(0) << qint64(0) << "ac3" << 6 << "ac3 | 5.1 | 44100";
        QTest::addRow("three channels") << qint64(0) << qint64(0) << "pcm_s16le" << 3
                                        << "pcm_s16le | 3 channels | 44100";
        QTest::addRow("not media: only the size") << qint64(0) << qint64(17) << "" << 0 << "17 bytes";
        // clang-format on
    }
    void infoLine()
    {
        QFETCH(qint64, duration);
        QFETCH(qint64, size);
        QFETCH(QString, codec);
        QFETCH(int, channels);
        QFETCH(QString, expected);
        VoiceData job;
        job.duration = duration;
        job.fileSize = size;
        job.codecName = codec;
        job.channels = channels;
        job.sampleRate = codec.isEmpty() ? 0 : 44100;
        QCOMPARE(VoiceItemWidget::InfoText(job), expected);
    }
    void stateLook_data()
    {
        QTest::addColumn<int>("status");
        // The parts shown: c(onvert) s(top) o(pen) d(elete) p(rogress) t(ext) a(nimation).
        QTest::addColumn<QString>("visible");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::addRow("idle") << -1 << "cd" << "";
        QTest::addRow("waiting") << 0 << "dt" << "Waiting";
        QTest::addRow("converting") << 1 << "spta" << "42%";
        QTest::addRow("success") << 2 << "odt" << "Success";
        QTest::addRow("failed") << 3 << "cdt" << "Failed";
        QTest::addRow("stopped") << 4 << "cdt" << "Stopped";
        // clang-format on
    }
    void stateLook()
    {
        QFETCH(int, status);
        QFETCH(QString, visible);
        QFETCH(QString, text);
        InspectedRow row;
        row.UpdateText();
        VoiceData job;
        TestSupport::setJobState(&job, status);
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
        if (!text.isEmpty())
            QCOMPARE(row.statusLabel->text(), text);
        // No two states look alike.
        static QMap<QString, int> stateOfLook;
        if (status != VoiceData::Idle) {
            QCOMPARE(stateOfLook.value(row.statusLabel->styleSheet(), status), status);
            stateOfLook.insert(row.statusLabel->styleSheet(), status);
        }
        if (status == VoiceData::Converting)
            QCOMPARE(row.progressBar->value(), 4200);
        // Only a failure explains itself.
        QCOMPARE(row.statusLabel->toolTip().isEmpty(), status != VoiceData::Failed);

        // A later refresh in another state stops the animation again.
        TestSupport::setJobState(&job, VoiceData::Succeeded);
        row.ShowData();
        QCOMPARE(row.busyAnimation->timerId, -1);
    }
};

QTEST_MAIN(TestVoiceItemWidget)
#include "tst_voiceitemwidget.moc"
