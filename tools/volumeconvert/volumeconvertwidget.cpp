// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/volumeconvert/volumeconvertwidget.h"

#include <QLabel>

#include "app/optioncombobox.h"
#include "common/globals.h"
#include "tools/volumeconvert/voicevolumedata.h"

VolumeConvertWidget::VolumeConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    volumeLabel = new QLabel(topBar);
    volumeComboBox = new OptionComboBox(topBar);
    connect(volumeComboBox, qOverload<int>(&QComboBox::activated), this,
            &VolumeConvertWidget::formatComoBox_slots);
}

void VolumeConvertWidget::Layout()
{
    ToolsBaseWidget::Layout();
    placeAtTopBarRight(volumeComboBox, 120, 30, 14);
}

void VolumeConvertWidget::UpdateSkin()
{
    ToolsBaseWidget::UpdateSkin();
    volumeComboBox->UpdateSkin();
}

void VolumeConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    volumeLabel->setStyleSheet(CaptionStyle("txtcolor"));
    volumeLabel->setText(tr("Volume Adjust:"));
    volumeLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeCaptionLeftOf(volumeLabel, volumeComboBox, 30);
    volumeComboBox->setAccessibleDescription(tr("How the loudness of every file is changed."));

    volumeComboBox->setEntries({tr("Standardizing"), QStringLiteral("+5dB"), QStringLiteral("-5dB")});
    *options = VolumeOptions::Load();
    volumeComboBox->setCurrentIndex(options->mode);
}

void VolumeConvertWidget::formatComoBox_slots()
{
    options->mode = volumeComboBox->currentIndex();
    options->save();
}

OutputName VolumeConvertWidget::ExampleName() const
{
    OutputName name = ToolsBaseWidget::ExampleName();
    name.optionTag = VolumeOptions::NameTag(options->mode);
    return name;
}

void VolumeConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceVolumeData(options), record);
}
