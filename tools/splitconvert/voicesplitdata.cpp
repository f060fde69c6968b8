// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/splitconvert/voicesplitdata.h"

#include <QFileInfo>

#include "common/qcommonutils.h"
#include "engine/envelopecache.h"
#include "engine/jobhelpers.h"

namespace {
constexpr qint64 Second = 1000000;
} // namespace

VoiceSplitData::VoiceSplitData(QSharedPointer<const SplitOptions> options) : options(std::move(options)) {}

VoiceSplitData::Plan VoiceSplitData::PlanSegments(bool byNumber, qint64 duration, qint64 splitTime,
                                                  int splitNumber)
{
    qint64 count = 0;
    qint64 length = 0;
    if (byNumber) {
        // Cut points are whole seconds: more segments than seconds would leave some empty.
        count = qMax<qint64>(1, qMin<qint64>(splitNumber, duration / Second));
        length = duration / count;
    } else if (splitTime > 0) {
        length = splitTime;
        count = duration / splitTime + (duration % splitTime != 0 ? 1 : 0);
    } else {
        length = duration;
    }
    return {int(qMax<qint64>(1, count)), length};
}

QPair<qint64, qint64> VoiceSplitData::PieceRange(int index, const Plan &plan, qint64 duration)
{
    const qint64 start = index * plan.length;
    const qint64 end = (index + 1) * plan.length;
    // A length that does not divide the file falls short of its end: the last
    // piece keeps its end only when that lies a second past the end of the
    // input, else it runs to it.
    const bool last = index >= plan.count - 1;
    if (!last || (duration > 0 && end >= duration + Second))
        return {start, end};
    return {start, -1};
}

namespace {
// Whole seconds as hh:mm:ss; a cut at a silence (`exact`) to the microsecond.
QString timeArgument(qint64 microseconds, bool exact)
{
    if (!exact)
        return QCommonUtils::TimetoString(microseconds);
    return QString::number(double(microseconds) / double(Second), 'f', 6);
}

QStringList rangeArguments(const QString &input, const QPair<qint64, qint64> &range, const QString &output,
                           bool exact)
{
    QStringList args{QStringLiteral("-i"), input, QStringLiteral("-ss"), timeArgument(range.first, exact)};
    if (range.second >= 0)
        args << QStringLiteral("-to") << timeArgument(range.second, exact);
    args << QStringLiteral("-vn") << CutCodecArguments(output) << QStringLiteral("-threads")
         << QStringLiteral("1") << QStringLiteral("-y") << output;
    return args;
}
} // namespace

QStringList VoiceSplitData::Arguments(const QString &input, int index, const Plan &plan, qint64 duration,
                                      const QString &output)
{
    return rangeArguments(input, PieceRange(index, plan, duration), output, false);
}

QVector<qint64> VoiceSplitData::PlannedCuts(const SplitOptions &rule, qint64 duration,
                                            const AudioEnvelope *envelope)
{
    if (rule.bySilence)
        return envelope ? SilenceDetector::PlanCuts(*envelope, rule.silence) : QVector<qint64>();
    const qint64 whole = duration / Second * Second;
    const Plan plan = PlanSegments(rule.byNumber, whole, rule.time, rule.number);
    QVector<qint64> cuts;
    for (int i = 1; i < plan.count; ++i)
        cuts.append(PieceRange(i, plan, whole).first / Second * Second);
    return cuts;
}

QPair<qint64, qint64> VoiceSplitData::currentRange() const
{
    if (exactCuts.isEmpty() && segmentLength > 0)
        return PieceRange(segmentIndex, {segmentCount, segmentLength}, wholeSeconds());
    const qint64 start = segmentIndex > 0 ? exactCuts.value(segmentIndex - 1) : 0;
    return {start, segmentIndex < exactCuts.size() ? exactCuts.at(segmentIndex) : -1};
}

int VoiceSplitData::progressAt(qint64 time) const
{
    if (exactCuts.isEmpty() && segmentLength > 0)
        return SegmentProgress(segmentIndex, segmentLength, time, duration);
    return SegmentProgress(1, currentRange().first, time, duration);
}

bool VoiceSplitData::planBySilence()
{
    EnvelopeCache *cache = EnvelopeCache::instance();
    const QSharedPointer<const AudioEnvelope> envelope = cache->envelope(filePath);
    if (!envelope) {
        // Read on a worker thread; the run goes on once it is there.
        if (!awaitingEnvelope) {
            awaitingEnvelope = true;
            connect(cache, &EnvelopeCache::ready, this, [this](const QString &path) {
                if (path != filePath || !awaitingEnvelope)
                    return;
                awaitingEnvelope = false;
                disconnect(EnvelopeCache::instance(), &EnvelopeCache::ready, this, nullptr);
                startConvert();
            });
        }
        return false;
    }
    exactCuts = SilenceDetector::PlanCuts(*envelope, options ? options->silence : SilenceDetector::Options());
    segmentCount = exactCuts.size() + 1;
    segmentLength = 0;
    // The envelope's length is the decoded one; the probe's may be missing.
    if (duration <= 0)
        duration = envelope->duration();
    return true;
}

void VoiceSplitData::stopConvert()
{
    if (!awaitingEnvelope)
        return VoiceData::stopConvert();
    awaitingEnvelope = false;
    disconnect(EnvelopeCache::instance(), &EnvelopeCache::ready, this, nullptr);
    stopped = true;
    setStatus(Stopped);
    emit convertfinished(this);
}

int VoiceSplitData::SegmentProgress(int index, qint64 length, qint64 time, qint64 duration)
{
    if (duration <= 0)
        return 0;
    const double share =
        (double(index) * double(length) + double(qMax<qint64>(0, time))) * 10000.0 / double(duration);
    return int(qMin(share, double(RunningProgressLimit)));
}

qint64 VoiceSplitData::wholeSeconds() const
{
    // Cut points are whole seconds: the plan takes the whole seconds of the input.
    return duration / Second * Second;
}

void VoiceSplitData::startConvert()
{
    // The panel starts a run; the end of a segment starts the next one.
    const bool newRun = status() != Converting;
    setStatus(Converting);
    // A completed job plans again from the current rule; a stopped or failed
    // one goes on at its segment with its plan.
    if (newRun && segmentIndex >= segmentCount)
        segmentCount = 0;
    const SplitOptions rule = options ? *options : SplitOptions();
    if (segmentCount <= 0 && ownPlan) {
        exactCuts.clear();
        for (qint64 cut : qAsConst(ownCuts))
            if (cut > 0 && (duration <= 0 || cut < duration))
                exactCuts.append(cut);
        segmentCount = exactCuts.size() + 1;
        segmentLength = 0;
        segmentIndex = 0;
    } else if (segmentCount <= 0 && rule.bySilence) {
        if (newRun) {
            progress = 0;
            stopped = false;
        }
        if (!planBySilence())
            return;
        segmentIndex = 0;
        pieces.clear();
    } else if (segmentCount <= 0) {
        const Plan plan = PlanSegments(rule.byNumber, wholeSeconds(), rule.time, rule.number);
        segmentCount = plan.count;
        segmentLength = plan.length;
        exactCuts.clear();
        segmentIndex = 0;
        pieces.clear();
    }

    // One bar for the whole file: it never falls back at a segment's start.
    const int carried = newRun ? 0 : progress;
    const QString output =
        beginRun(OutputNameFor(filePath, QStringLiteral("-split-") + QString::number(segmentIndex + 1),
                               QFileInfo(filePath).suffix()));
    progress = qMax(carried, progressAt(0));
    if (!output.isEmpty())
        startFFmpeg(rangeArguments(filePath, currentRange(), output, !exactCuts.isEmpty()));
}

QString VoiceSplitData::ownSettings() const
{
    if (!ownPlan)
        return QString();
    QStringList times;
    for (qint64 cut : ownCuts.mid(0, 3))
        times << QCommonUtils::TimetoString(cut);
    if (ownCuts.size() > 3)
        times << QStringLiteral("...");
    return tr("own cuts at %1").arg(times.join(QStringLiteral(", ")));
}

qint64 VoiceSplitData::expectedDuration() const
{
    const QPair<qint64, qint64> range = currentRange();
    if (!exactCuts.isEmpty() || segmentLength <= 0)
        return (range.second < 0 ? duration : range.second) - range.first;
    const qint64 start = range.first / Second * Second;
    if (duration <= 0)
        return range.second < 0 ? 0 : range.second / Second * Second - start;
    const qint64 end = range.second < 0 ? duration : qMin(duration, range.second / Second * Second);
    return end - start;
}

void VoiceSplitData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    const QList<qint64> times = statusReader.readTimes(process);
    for (qint64 time : times) {
        if (duration <= 0)
            continue;
        progress = qMax(progress, progressAt(time));
        emit updateProgress(this);
    }
}

void VoiceSplitData::ffmpegProcess_Finished(int index)
{
    Q_UNUSED(index)
    if (stopped) {
        // Reported like every job's stop, so that the panel starts the next waiting job.
        if (status() == Converting)
            setStatus(Stopped);
        emit convertfinished(this);
        return;
    }
    if (segmentIndex > 0 && !lastRunFailed() &&
        QFileInfo(outputPath).suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0)
        ClearMp3CutDelay(outputPath);
    // Every piece is judged and published on its own: a finished piece stays
    // whatever happens to the next, and a lost piece is a failed split.
    if (!settleRun(expectedDuration()) && !lastRunSkipped()) {
        setStatus(Failed);
        emit convertfinished(this);
        return;
    }
    // A piece whose name is taken is skipped; the split is skipped when every piece was.
    piecesSkipped = (segmentIndex == 0 ? 0 : piecesSkipped) + int(lastRunSkipped());
    if (!lastRunSkipped())
        pieces << outputPath;
    if (++segmentIndex < segmentCount) {
        startConvert();
        return;
    }
    setStatus(piecesSkipped == segmentCount ? Skipped : Succeeded);
    emit convertfinished(this);
}
