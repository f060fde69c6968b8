// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/mixconvert/mixconvertwidget.h"

#include "tools/mixconvert/voicemixdata.h"
#include "tools/mixconvert/voicemixitemwidget.h"

void MixConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceMixItemWidget>();
}

WholeListData *MixConvertWidget::newRun() const
{
    return new VoiceMixData;
}
