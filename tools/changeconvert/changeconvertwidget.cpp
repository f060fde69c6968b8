// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/changeconvert/changeconvertwidget.h"

#include "tools/changeconvert/voicechangedata.h"

QString ChangeConvertWidget::captionText() const
{
    return tr("Speaker:");
}

QString ChangeConvertWidget::optionDescription() const
{
    return tr("The voice the speech is given.");
}

QStringList ChangeConvertWidget::entryTexts() const
{
    return {tr("arvo-pellimor"), tr("lumo"), tr("taviel"), tr("orsinda")};
}

QString ChangeConvertWidget::modelAt(int index) const
{
    return SpeakerOptions::SpeakerModel(index);
}

QString &ChangeConvertWidget::modelInForce() const
{
    return options->model;
}

void ChangeConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceChangeData(options), record);
}
