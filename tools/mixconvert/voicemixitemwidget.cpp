// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/mixconvert/voicemixitemwidget.h"

#include "widgets/bgicontextbutton.h"

void VoiceMixItemWidget::ShowData()
{
    VoiceItemWidget::ShowData();
    if (!job())
        return;
    startButton->hide();
    stopButton->hide();
}
