// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/invertconvert/invertconvertwidget.h"

#include "tools/invertconvert/voiceinvertdata.h"

OutputName InvertConvertWidget::ExampleName() const
{
    OutputName name = ToolsBaseWidget::ExampleName();
    name.optionTag = VoiceInvertData::NameTag();
    return name;
}

void InvertConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceInvertData, record);
}
