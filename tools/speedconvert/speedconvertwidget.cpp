// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/speedconvert/speedconvertwidget.h"

#include <QLabel>

#include "app/optioncombobox.h"
#include "common/globals.h"
#include "tools/speedconvert/voicespeeddata.h"

SpeedConvertWidget::SpeedConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    speedLabel = new QLabel(topBar);
    speedComboBox = new OptionComboBox(topBar);
    connect(speedComboBox, qOverload<int>(&QComboBox::activated), this,
            &SpeedConvertWidget::formatComoBox_slots);
}

void SpeedConvertWidget::Layout()
{
    ToolsBaseWidget::Layout();
    placeAtTopBarRight(speedComboBox, 120, 30, 14);
}

void SpeedConvertWidget::UpdateSkin()
{
    ToolsBaseWidget::UpdateSkin();
    speedComboBox->UpdateSkin();
}

void SpeedConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    speedLabel->setStyleSheet(CaptionStyle("txtcolor"));
    speedLabel->setText(tr("Speed:"));
    speedLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeCaptionLeftOf(speedLabel, speedComboBox, 30);
    speedComboBox->setAccessibleDescription(tr("How many times faster the new files play; below 1, slower."));

    const QStringList factors = SpeedOptions::Factors();
    speedComboBox->setEntries(factors);
    *options = SpeedOptions::Load();
    speedComboBox->setCurrentIndex(qMax(0, OptionComboBox::MatchIndex(options->factor, factors)));
}

void SpeedConvertWidget::formatComoBox_slots()
{
    options->factor = speedComboBox->currentText();
    options->save();
}

OutputName SpeedConvertWidget::ExampleName() const
{
    OutputName name = ToolsBaseWidget::ExampleName();
    name.tag = VoiceSpeedData::NameTag(options->factor);
    return name;
}

void SpeedConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceSpeedData(options), record);
}
