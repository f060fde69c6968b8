// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/uvrconvert/urvconvertwidget.h"

#include "tools/uvrconvert/voiceuvrdata.h"

QString URVConvertWidget::captionText() const
{
    return tr("Type:");
}

QString URVConvertWidget::optionDescription() const
{
    return tr("How the voice is taken out of the song.");
}

QStringList URVConvertWidget::entryTexts() const
{
    return {tr("HP5 only main vocal"), tr("De-echo aggressive"), tr("HP3 all vocals")};
}

QString URVConvertWidget::modelAt(int index) const
{
    return SeparationOptions::ModelName(index);
}

QString &URVConvertWidget::modelInForce() const
{
    return options->model;
}

void URVConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceUVRData(options), record);
}
