// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/invertconvert/invertconvertwidget.h"

#include "tools/invertconvert/voiceinvertdata.h"

void InvertConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceInvertData, record);
}
