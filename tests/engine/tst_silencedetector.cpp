// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/audioenvelope.h"
#include "engine/envelopecache.h"
#include "engine/silencedetector.h"
#include "support/testsupport.h"

using Stretches = QList<QPair<double, double>>;
constexpr qint64 Second = 1000000;

class TestSilenceDetector : public QObject
{
    Q_OBJECT
private slots:
    // Loud, quiet and silent stretches read back at their levels, whatever the
    // format. A file over a minute is read in two halves: 16 s stretches and
    // 2 s more of silence make them meet at 33 s, inside the third stretch.
    void peaks_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("stretch");    // seconds
        QTest::addColumn<bool>("rightOnly"); // stereo, silent on the left
        for (const char *suffix : {"wav", "mp3", "flac", "ogg"})
            QTest::addRow("%s", suffix) << suffix << 1 << false;
        QTest::addRow("stereo ogg") << "ogg" << 1 << true;
        QTest::addRow("mp3 in two halves") << "mp3" << 16 << false;
        QTest::addRow("wav in two halves") << "wav" << 16 << false;
    }
    void peaks()
    {
        QFETCH(QString, suffix);
        QFETCH(int, stretch);
        QFETCH(bool, rightOnly);
        const QString path = dir.filePath(QString("levels%1%2.%3").arg(stretch).arg(rightOnly).arg(suffix));
        const double s = stretch;
        const int tail = stretch > 1 ? 2 : 0;
        const QString mono = rightOnly ? path + ".wav" : path;
        QVERIFY(TestSupport::makeStretches(mono, {{s, 0.8}, {s, 0.05}, {s, 0.4}, {s + tail, 0}}));
        if (rightOnly)
            QVERIFY(TestSupport::runFfmpeg({"-y", "-i", mono, "-af", "pan=stereo|c0=0*c0|c1=c0", path}));
        AudioEnvelope envelope;
        QVERIFY(envelope.compute(path));
        QVERIFY2(qAbs(envelope.duration() - (4 * stretch + tail) * Second) < Second / 100,
                 qPrintable(QString::number(envelope.duration())));
        const QVector<float> bins = envelope.bins(8, 0, 4 * stretch * Second); // half a stretch each
        const QVector<float> expected{0.8f, 0.8f, 0.05f, 0.05f, 0.4f, 0.4f, 0, 0};
        const QVector<float> &windows = envelope.windows();
        const int perBin = 50 * stretch;
        const int margin = stretch > 1 ? 3 : 10;
        for (int i = 0; i < 8; ++i) {
            const float tolerance = 0.02f + 0.08f * expected[i];
            // Every 10 ms window holds four cycles, so each reads the stretch's
            // peak; the windows near the stretches' edges are left out.
            for (int k = i * perBin + margin; k < (i + 1) * perBin - margin; ++k)
                QVERIFY2(qAbs(windows[k] - expected[i]) < tolerance,
                         qPrintable(QString("window %1: %2").arg(k).arg(windows[k])));
            QVERIFY(bins[i] > expected[i] - tolerance);
        }
    }

    // tone 2 s / gap 1 s / tone 2 s / gap 1 s / tone 2 s: cuts fall inside the gaps.
    void cuts_data()
    {
        QTest::addColumn<double>("gapLevel"); // amplitude in the gaps
        QTest::addColumn<double>("thresholdDb");
        QTest::addColumn<qint64>("minSilence");
        QTest::addColumn<qint64>("minPiece");
        QTest::addColumn<qint64>("maxPiece");
        QTest::addColumn<int>("cutsInGaps");
        QTest::addColumn<int>("otherCuts");
        QTest::addRow("defaults") << 0.0 << -35.0 << Second / 2 << Second << qint64(0) << 2 << 0;
        QTest::addRow("hum above the threshold")
            << 0.05 << -35.0 << Second / 2 << Second << qint64(0) << 0 << 0;
        QTest::addRow("hum below a higher threshold")
            << 0.05 << -20.0 << Second / 2 << Second << qint64(0) << 2 << 0;
        QTest::addRow("gaps shorter than asked")
            << 0.0 << -35.0 << 3 * Second / 2 << Second << qint64(0) << 0 << 0;
        QTest::addRow("pieces too short") << 0.0 << -35.0 << Second / 2 << 3 * Second << qint64(0) << 0 << 0;
        QTest::addRow("pieces just long enough")
            << 0.0 << -35.0 << Second / 2 << 12 * Second / 5 << qint64(0) << 2 << 0;
        QTest::addRow("pieces too long") << 0.0 << -35.0 << Second / 2 << Second << 2 * Second << 2 << 3;
    }
    void cuts()
    {
        QFETCH(double, gapLevel);
        QFETCH(double, thresholdDb);
        QFETCH(qint64, minSilence);
        QFETCH(qint64, minPiece);
        QFETCH(qint64, maxPiece);
        QFETCH(int, cutsInGaps);
        QFETCH(int, otherCuts);
        const QString path = dir.filePath(QString("gaps-%1.wav").arg(gapLevel));
        if (!QFile::exists(path))
            QVERIFY(TestSupport::makeStretches(path,
                                               {{2, 0.7}, {1, gapLevel}, {2, 0.7}, {1, gapLevel}, {2, 0.7}}));
        QVector<qint64> cuts;
        qint64 duration = 0;
        QVERIFY(
            SilenceDetector::PlanFile(path, {thresholdDb, minSilence, minPiece, maxPiece}, cuts, &duration));
        int inGaps = 0;
        qint64 last = 0;
        const QVector<qint64> ends = QVector<qint64>(cuts) << duration;
        for (qint64 cut : ends) {
            inGaps += (cut > 2 * Second && cut < 3 * Second) || (cut > 5 * Second && cut < 6 * Second);
            QVERIFY(cut - last >= minPiece || cut == duration);
            QVERIFY(maxPiece == 0 || cut - last <= maxPiece);
            last = cut;
        }
        QCOMPARE(inGaps, cutsInGaps);
        QCOMPARE(cuts.size() - cutsInGaps, otherCuts);
    }

    // The strips share one read per file; a changed file is read again.
    void cacheReadsOnceAndAgainWhenChanged()
    {
        const QString path = dir.filePath("cached.wav");
        QVERIFY(TestSupport::makeStretches(path, {{1, 0.5}}));
        EnvelopeCache cache;
        QSignalSpy ready(&cache, &EnvelopeCache::ready);
        QVERIFY(!cache.envelope(path));
        QVERIFY(!cache.envelope(path));
        QVERIFY(ready.wait(60000));
        QVERIFY(qAbs(cache.envelope(path)->duration() - Second) < Second / 50);
        QVERIFY(TestSupport::makeStretches(path, {{2, 0.5}}));
        QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        QVERIFY(!cache.envelope(path));
        QVERIFY(ready.wait(60000));
        QCOMPARE(ready.count(), 2);
        QVERIFY(qAbs(cache.envelope(path)->duration() - 2 * Second) < Second / 50);
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestSilenceDetector)
#include "tst_silencedetector.moc"
