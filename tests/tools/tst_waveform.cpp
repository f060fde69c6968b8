// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The waveform of the cutting tools: a range dragged on it belongs to its
// file and cuts it, the silence split cuts in the silences, and the play
// control stands down without a sound device.
#include <QSignalSpy>
#include <QTimeEdit>
#include <QtTest>

#include "engine/envelopecache.h"
#include "engine/mediaprobe.h"
#include "app/voiceitemwidget.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"
#include "app/audiopreview.h"
#include "app/waveformpane.h"
#include "tools/splitconvert/splitconvertwidget.h"
#include "tools/splitconvert/voicesplitdata.h"
#include "tools/trimconvert/trimconvertwidget.h"
#include "tools/trimconvert/voicetrimdata.h"
#include "widgets/labelbutton.h"
#include "widgets/waveformstrip.h"

namespace {
constexpr qint64 Second = 1000000;

double seconds(const QString &path)
{
    MediaProbe::Facts facts;
    return MediaProbe::Read(path, facts) ? double(facts.duration) / Second : -1;
}

bool waveformShown(WaveformPane *pane)
{
    return QTest::qWaitFor([pane] { return pane->envelope() && pane->strip()->duration() > 0; }, 60000);
}
} // namespace

class TestWaveform : public ToolFixture
{
    Q_OBJECT
private slots:
    void draggedRangeBelongsToItsFile()
    {
        const QString dragged = inputs.filePath("dragged.wav"), other = inputs.filePath("other.wav");
        QVERIFY(TestSupport::makeStretches(dragged, {{6, 0.5}}));
        QVERIFY(TestSupport::makeStretches(other, {{5, 0.5}}));
        auto *trim = qobject_cast<TrimConvertWidget *>(open(Trim));
        QVERIFY(add(trim, {dragged, other}));
        WaveformPane *pane = trim->waveformPane();
        QVERIFY(waveformShown(pane));
        QCOMPARE(pane->job()->filePath, dragged);
        // The start handle from 0 to 2 s, the end from past the file to 4 s.
        WaveformStrip *strip = pane->strip();
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(strip->xOf(0), 10));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(strip->xOf(2 * Second), 10));
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(strip->xOf(6 * Second), 10));
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(strip->xOf(4 * Second), 10));
        auto *job = qobject_cast<VoiceTrimData *>(pane->job().data());
        QVERIFY(job->ownRange);
        QCOMPARE(qMakePair(job->ownStart, job->ownEnd), qMakePair(2 * Second, 4 * Second));
        QCOMPARE(trim->startEdit()->time(), QTime(0, 0, 2));
        QCOMPARE(trim->endEdit()->time(), QTime(0, 0, 4));
        QVERIFY(VoiceItemWidget::InfoText(*job).contains("00:00:04"));
        // The panel's own range (0 to 1 h) still holds for the other file.
        QVERIFY(convert(trim));
        QVERIFY(qAbs(seconds(outputs.filePath("dragged-trim.wav")) - 2) < 0.05);
        QVERIFY(qAbs(seconds(outputs.filePath("other-trim.wav")) - 5) < 0.05);
    }

    void silenceSplitCutsInTheSilences()
    {
        const QString input = inputs.filePath("gaps.wav");
        QVERIFY(TestSupport::makeStretches(input, {{2.3, 0.6}, {1, 0}, {2.5, 0.6}, {1, 0}, {2, 0.6}}));
        auto *split = qobject_cast<SplitConvertWidget *>(open(Split));
        choose(split, 2);
        QVERIFY(add(split, {input}));
        QVERIFY(waveformShown(split->waveformPane()));
        QCOMPARE(split->waveformPane()->strip()->cuts().size(), 2);
        QVERIFY(convert(split));
        QCOMPARE(split->jobs().first()->status(), int(VoiceData::Succeeded));
        double end = 0;
        const QList<QPair<double, double>> silences{{2.3, 3.3}, {5.8, 6.8}};
        for (int i = 1; i <= 3; ++i) {
            end += seconds(outputs.filePath(QString("gaps-split-%1.wav").arg(i)));
            if (i <= 2)
                QVERIFY2(end > silences[i - 1].first && end < silences[i - 1].second,
                         qPrintable(QString::number(end)));
        }
        QVERIFY(qAbs(end - seconds(input)) < 0.01);
    }

    // By time, 2 s: a 6 s file is cut at 2 and 4 s; its first cut moved to 3 s
    // (dragged, dragged past the next cut, or moved with a key) is that file's own.
    void movedCutsBelongToTheirFile_data()
    {
        QTest::addColumn<double>("releasedAt"); // seconds; < 0: the Right key instead
        QTest::addRow("dragged") << 3.2;
        QTest::addRow("dragged past the next cut") << 5.5;
        QTest::addRow("key") << -1.0;
    }
    void movedCutsBelongToTheirFile()
    {
        QFETCH(double, releasedAt);
        const QString name = QTest::currentDataTag()[0] == 'k' ? "keyed" : "dragged";
        const QString moved = inputs.filePath(name + ".wav"), other = inputs.filePath("whole.wav");
        QVERIFY(TestSupport::makeStretches(moved, {{6, 0.5}}));
        QVERIFY(TestSupport::makeStretches(other, {{5, 0.5}}));
        auto *split = qobject_cast<SplitConvertWidget *>(open(Split));
        QVERIFY(add(split, {moved, other}));
        WaveformStrip *strip = split->waveformPane()->strip();
        QVERIFY(waveformShown(split->waveformPane()));
        const QVector<qint64> panelCuts{2 * Second, 4 * Second};
        QCOMPARE(strip->cuts(), panelCuts);
        if (releasedAt < 0) {
            strip->setFocus();
            QTest::keyClick(strip, Qt::Key_Right);
        } else {
            QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(strip->xOf(2 * Second), 10));
            QTest::mouseRelease(strip, Qt::LeftButton, {},
                                QPoint(strip->xOf(qint64(releasedAt * Second)), 10));
        }
        auto *job = qobject_cast<VoiceSplitData *>(split->jobs().first());
        QVERIFY(job->ownPlan);
        QCOMPARE(job->ownCuts, QVector<qint64>({3 * Second, 4 * Second}));
        QVERIFY(VoiceItemWidget::InfoText(*job).contains("00:00:03"));
        QVERIFY(convert(split));
        const QList<QPair<QString, QList<double>>> pieces{{name, {3, 1, 2}}, {"whole", {2, 2, 1}}};
        for (const auto &file : pieces)
            for (int i = 0; i < 3; ++i) {
                const double length =
                    seconds(outputs.filePath(QString("%1-split-%2.wav").arg(file.first).arg(i + 1)));
                QVERIFY2(qAbs(length - file.second[i]) < 0.05, qPrintable(QString::number(length)));
            }
        // Back to the panel's plan.
        QTest::mouseClick(split->waveformPane()->resetButton(), Qt::LeftButton);
        QVERIFY(!job->ownPlan);
        QCOMPARE(strip->cuts(), panelCuts);
    }

    void playNeedsASoundDevice_data()
    {
        QTest::addColumn<bool>("device");
        QTest::addRow("no device") << false;
        QTest::addRow("a device") << true;
    }
    void playNeedsASoundDevice()
    {
        QFETCH(bool, device);
        AudioPreview::SetDeviceCheck([device] { return device; });
        const QString input = inputs.filePath("play.wav");
        QVERIFY(TestSupport::makeStretches(input, {{1, 0.5}}));
        auto *trim = qobject_cast<TrimConvertWidget *>(open(Trim));
        QVERIFY(add(trim, {input}));
        QVERIFY(waveformShown(trim->waveformPane()));
        QWidget *play = trim->waveformPane()->playControl();
        QCOMPARE(play->isEnabled(), device);
        QCOMPARE(play->toolTip().isEmpty(), device);
        AudioPreview::SetDeviceCheck(nullptr);
    }

    // A silent ALSA device added to the system's configuration for this
    // process alone: Play plays, the position moves on, Stop stops.
    void playsAndStops()
    {
        const QString system = "/usr/share/alsa/alsa.conf";
        if (!QFile::exists(system))
            QSKIP("No ALSA configuration to add a silent device to.");
        QFile config(inputs.filePath("silent.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("pcm.!default { type null\n hint.description \"Silent\" }\n");
        config.close();
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(system + ':' + config.fileName()));
        const QString input = inputs.filePath("heard.wav");
        QVERIFY(TestSupport::makeStretches(input, {{60, 0.5}}));
        auto *trim = qobject_cast<TrimConvertWidget *>(open(Trim));
        QVERIFY(add(trim, {input}));
        WaveformPane *pane = trim->waveformPane();
        QVERIFY(waveformShown(pane));
        QVERIFY(pane->playControl()->isEnabled());
        QSignalSpy moved(pane->preview(), &AudioPreview::positionChanged);
        QTest::mouseClick(pane->playControl(), Qt::LeftButton);
        QVERIFY(pane->preview()->isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(moved.size() >= 2 && moved.last().first().toLongLong() > 0, 60000);
        QTest::mouseClick(pane->playControl(), Qt::LeftButton);
        QVERIFY(!pane->preview()->isPlaying());
        QCOMPARE(pane->playControl()->text(), QString("Play"));
    }
};

QTEST_MAIN(TestWaveform)
#include "tst_waveform.moc"
