// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/concatconvert/voiceconcatdata.h"

#include <numeric>

#include "engine/jobhelpers.h"

QString VoiceConcatData::FilterText(int inputCount, const OutputPlan &plan)
{
    return CommonFormatFilter(inputCount, plan) + QStringLiteral("concat=n=%1:v=0:a=1[a]").arg(inputCount);
}

QStringList VoiceConcatData::Arguments(const QStringList &inputs, const QString &output,
                                       const OutputPlan &plan)
{
    QStringList args;
    for (const QString &input : inputs)
        args << QStringLiteral("-i") << input;
    args << QStringLiteral("-filter_complex") << FilterText(inputs.size(), plan) << QStringLiteral("-map")
         << QStringLiteral("[a]") << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-y")
         << plan.encode << output;
    return args;
}

OutputName VoiceConcatData::ResultName(const QString &referencePath)
{
    return OutputNameFor(referencePath, QStringLiteral("-cat"), AudioOutputExtension(referencePath),
                         QStringLiteral("("));
}

qint64 VoiceConcatData::ResultDuration(const QList<qint64> &inputDurations)
{
    return std::accumulate(inputDurations.cbegin(), inputDurations.cend(), qint64(0));
}
