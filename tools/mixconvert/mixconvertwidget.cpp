// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/mixconvert/mixconvertwidget.h"

#include "engine/voicedata.h"
#include "tools/mixconvert/voicemixdata.h"
#include "tools/mixconvert/voicemixitemwidget.h"

void MixConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceMixItemWidget>();
}

WholeListToolWidget::RunPlan MixConvertWidget::planRun(const QList<VoiceData *> &entries,
                                                       const QString &output)
{
    const VoiceData *reference = entries.first();
    RunPlan plan;
    plan.name = VoiceMixData::ResultName(reference->filePath);
    plan.arguments = VoiceMixData::Arguments(InputPaths(entries), output, planOutput(entries, output));
    // The mix stops with the first input.
    plan.referenceDuration = double(reference->duration);
    return plan;
}
