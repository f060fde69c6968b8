// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/invertconvert/voiceinvertdata.h"

#include "engine/jobhelpers.h"

QStringList VoiceInvertData::Arguments(const QString &input, const QString &output, const OutputPlan &plan)
{
    return plan.arguments(input, {QStringLiteral("-af"), QStringLiteral("areverse")}, output);
}

void VoiceInvertData::startConvert()
{
    setStatus(Converting);
    const QString output = beginRun(OutputNameFor(filePath, QString(), AudioOutputExtension(filePath)));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, output, planOutput(output)));
}
