// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/common/wholelistdata.h"

void WholeListData::setInputs(const QList<const VoiceData *> &records)
{
    paths.clear();
    durations.clear();
    sources.clear();
    for (const VoiceData *record : records) {
        paths.append(record->filePath);
        durations.append(record->duration);
        sources.append(record->sourceAudio());
    }
    if (!records.isEmpty())
        copyProbeFacts(*records.first());
}

void WholeListData::startConvert()
{
    setStatus(Converting);
    // Without inputs the child fails, and the run with it.
    const QString output = beginRun(resultName(paths.value(0)));
    if (output.isEmpty())
        return;
    const OutputPlan plan =
        PlanOutput(sources, output, outputOptions ? *outputOptions : OutputOptions::Load());
    outputNote = plan.note;
    startFFmpeg(arguments(paths, output, plan));
}

OutputPlan WholeListData::PlanOutput(const QList<SourceAudio> &sources, const QString &output,
                                     const OutputOptions &choice)
{
    const SourceAudio combined = OutputPlan::Combined(sources);
    OutputPlan plan = OutputPlan::For(output, combined, choice);
    if (plan.channels == 0 && combined.channels > 0) {
        plan.channels = combined.channels;
        plan.encode << QStringLiteral("-ac") << QString::number(combined.channels);
    }
    return plan;
}

QString WholeListData::CommonFormatFilter(int inputCount, const OutputPlan &plan)
{
    QStringList format;
    if (plan.sampleRate > 0)
        format << QStringLiteral("sample_rates=%1").arg(plan.sampleRate);
    if (plan.channels > 0) {
        const QString layout = plan.channels == 1   ? QStringLiteral("mono")
                               : plan.channels == 2 ? QStringLiteral("stereo")
                                                    : QStringLiteral("%1c").arg(plan.channels);
        format << QStringLiteral("channel_layouts=") + layout;
    }
    const QString each = format.isEmpty() ? QStringLiteral("anull")
                                          : QStringLiteral("aformat=") + format.join(QLatin1Char(':'));
    QString filter;
    QString pads;
    for (int i = 0; i < inputCount; ++i) {
        filter += QStringLiteral("[%1:a:0]%2[a%1];").arg(i).arg(each);
        pads += QStringLiteral("[a%1]").arg(i);
    }
    return filter + pads;
}

void WholeListData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    readProgress(double(expectedDuration()));
}
