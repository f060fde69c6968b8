#include "tools/splitconvert/voicesplitdata.h"

#include <QFileInfo>

#include "common/qcommonutils.h"
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

QStringList VoiceSplitData::Arguments(const QString &input, int index, const Plan &plan, qint64 duration,
                                      const QString &output)
{
    const QPair<qint64, qint64> range = PieceRange(index, plan, duration);
    QStringList args{QStringLiteral("-i"), input, QStringLiteral("-ss"),
                     QCommonUtils::TimetoString(range.first)};
    if (range.second >= 0)
        args << QStringLiteral("-to") << QCommonUtils::TimetoString(range.second);
    args << QStringLiteral("-vn") << CutCodecArguments(output) << QStringLiteral("-threads")
         << QStringLiteral("1") << QStringLiteral("-y") << output;
    return args;
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
    if (segmentCount <= 0) {
        const SplitOptions rule = options ? *options : SplitOptions();
        const Plan plan = PlanSegments(rule.byNumber, wholeSeconds(), rule.time, rule.number);
        segmentCount = plan.count;
        segmentLength = plan.length;
        segmentIndex = 0;
    }

    // One bar for the whole file: it never falls back at a segment's start.
    const int carried = newRun ? 0 : progress;
    const QString output =
        beginRun(OutputNameFor(filePath, QStringLiteral("-split-") + QString::number(segmentIndex + 1),
                               QFileInfo(filePath).suffix()));
    progress = qMax(carried, SegmentProgress(segmentIndex, segmentLength, 0, duration));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, segmentIndex, {segmentCount, segmentLength}, wholeSeconds(), output));
}

qint64 VoiceSplitData::expectedDuration() const
{
    const QPair<qint64, qint64> range =
        PieceRange(segmentIndex, {segmentCount, segmentLength}, wholeSeconds());
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
        progress = qMax(progress, SegmentProgress(segmentIndex, segmentLength, time, duration));
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
    if (!settleRun(expectedDuration())) {
        setStatus(Failed);
        emit convertfinished(this);
        return;
    }
    if (++segmentIndex < segmentCount) {
        startConvert();
        return;
    }
    setStatus(Succeeded);
    emit convertfinished(this);
}
