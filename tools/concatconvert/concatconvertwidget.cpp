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

WholeListData *ConcatConvertWidget::newRun() const
{
    return new VoiceConcatData;
}
