// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/formatconvert/voiceconvertdata.h"

#include "engine/jobhelpers.h"

VoiceConvertData::VoiceConvertData(QSharedPointer<const FormatOptions> options) : options(std::move(options))
{}

QStringList VoiceConvertData::Arguments(const QString &input, const QString &output, const OutputPlan &plan)
{
    return EncodePlan{input, QString(), output, plan}.arguments();
}

void VoiceConvertData::startConvert()
{
    setStatus(Converting);
    const QString format = options ? options->format : FormatOptions().format;
    const QString output = beginRun(OutputNameFor(filePath, QString(), format));
    if (!output.isEmpty())
        startEncode({filePath, QString(), output, planOutput(output)});
}
