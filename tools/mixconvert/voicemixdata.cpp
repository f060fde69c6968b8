// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/mixconvert/voicemixdata.h"

#include "engine/jobhelpers.h"

QString VoiceMixData::FilterText(int inputCount, const OutputPlan &plan)
{
    return CommonFormatFilter(inputCount, plan) +
           QStringLiteral("amix=inputs=%1:duration=first").arg(inputCount);
}

QStringList VoiceMixData::Arguments(const QStringList &inputs, const QString &output, const OutputPlan &plan)
{
    QStringList args;
    for (const QString &input : inputs)
        args << QStringLiteral("-i") << input;
    args << QStringLiteral("-vn") << QStringLiteral("-filter_complex") << FilterText(inputs.size(), plan)
         << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-y") << plan.encode
         << output;
    return args;
}

OutputName VoiceMixData::ResultName(const QString &referencePath)
{
    return OutputNameFor(referencePath, QStringLiteral("-mix"), AudioOutputExtension(referencePath));
}
