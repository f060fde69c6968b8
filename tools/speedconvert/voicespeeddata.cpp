// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/speedconvert/voicespeeddata.h"

#include "engine/jobhelpers.h"

VoiceSpeedData::VoiceSpeedData(QSharedPointer<const SpeedOptions> options) : options(std::move(options)) {}

QStringList VoiceSpeedData::Arguments(const QString &input, const QString &factor, const QString &output,
                                      const OutputPlan &plan)
{
    return Plan(input, factor, output, plan).arguments();
}

EncodePlan VoiceSpeedData::Plan(const QString &input, const QString &factor, const QString &output,
                                const OutputPlan &plan)
{
    // One atempo carries the whole factor: it takes 0.5 up to 100 in one instance.
    // The input's chapters would keep their times in a shorter or longer result
    // (and an M4A would take its length from them), so none are kept.
    OutputPlan timed = plan;
    timed.encode << QStringLiteral("-map_chapters") << QStringLiteral("-1");
    return {input, QStringLiteral("atempo=") + factor, output, timed};
}

QString VoiceSpeedData::NameTag(const QString &factor)
{
    return QLatin1Char('-') + QString(factor).replace(QLatin1Char('.'), QLatin1Char('_'));
}

double VoiceSpeedData::OutputDuration(qint64 duration, const QString &factor)
{
    const double speed = factor.toDouble();
    return speed > 0.0 ? double(duration) / speed : double(duration);
}

void VoiceSpeedData::startConvert()
{
    setStatus(Converting);
    runFactor = options ? options->factor : SpeedOptions().factor;
    const QString output =
        beginRun(OutputNameFor(filePath, NameTag(runFactor), AudioOutputExtension(filePath)));
    if (!output.isEmpty())
        startEncode(Plan(filePath, runFactor, output, planOutput(output)));
}

qint64 VoiceSpeedData::expectedDuration() const
{
    return qint64(OutputDuration(duration, runFactor));
}

void VoiceSpeedData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    // The status times are positions in the output, which is shorter or longer than the input.
    readProgress(OutputDuration(duration, runFactor));
}
