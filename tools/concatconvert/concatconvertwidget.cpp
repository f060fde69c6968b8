// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/concatconvert/concatconvertwidget.h"

#include "engine/voicedata.h"
#include "tools/concatconvert/voiceconcatdata.h"
#include "tools/concatconvert/voiceconcatitemwidget.h"

void ConcatConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceConcatItemWidget>();
}

void ConcatConvertWidget::AddVoiceData(VoiceData *record)
{
    WholeListToolWidget::AddVoiceData(record);
    // The former last row gains its Down button.
    listWidget->flushTableItemsToUIShow();
}

void ConcatConvertWidget::ItemDeleted_slots(VoiceData *item)
{
    WholeListToolWidget::ItemDeleted_slots(item);
    // The new last row loses its Down button, a new first row its Up.
    listWidget->flushTableItemsToUIShow();
}

WholeListToolWidget::RunPlan ConcatConvertWidget::planRun(const QList<VoiceData *> &entries,
                                                          const QString &output)
{
    QList<qint64> durations;
    for (const VoiceData *entry : entries)
        durations.append(entry->duration);
    totalDuration = VoiceConcatData::ResultDuration(durations);
    RunPlan plan;
    plan.name = VoiceConcatData::ResultName(entries.first()->filePath);
    plan.arguments = VoiceConcatData::Arguments(InputPaths(entries), output, planOutput(entries, output));
    plan.referenceDuration = double(totalDuration);
    return plan;
}
