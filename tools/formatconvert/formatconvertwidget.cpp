// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/formatconvert/formatconvertwidget.h"

#include <QLabel>

#include "app/optioncombobox.h"
#include "common/globals.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "tools/formatconvert/voiceformatitemwidget.h"

FormatConvertWidget::FormatConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    formatLabel = new QLabel(topBar);
    formatComboBox = new OptionComboBox(topBar);
    connect(formatComboBox, qOverload<int>(&QComboBox::activated), this,
            &FormatConvertWidget::formatComoBox_slots);
}

void FormatConvertWidget::Layout()
{
    ToolsBaseWidget::Layout();
    placeAtTopBarRight(formatComboBox, 120, 30, 14);
}

void FormatConvertWidget::UpdateSkin()
{
    ToolsBaseWidget::UpdateSkin();
    formatComboBox->UpdateSkin();
}

void FormatConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    formatLabel->setStyleSheet(CaptionStyle("txtcolor"));
    formatLabel->setText(tr("Convert Format:"));
    formatLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeCaptionLeftOf(formatLabel, formatComboBox, 30);
    formatComboBox->setAccessibleDescription(tr("The format every file is converted to."));

    formatComboBox->setEntries(
        {tr("MP3"), tr("AAC"), tr("FLAC"), tr("WAV"), tr("AMR"), tr("Opus"), tr("Ogg Vorbis"), tr("M4A")});
    *options = FormatOptions::Load();
    formatComboBox->setCurrentIndex(
        qMax(0, OptionComboBox::MatchIndex(options->format, FormatOptions::Extensions())));
}

void FormatConvertWidget::formatComoBox_slots()
{
    const int index = formatComboBox->currentIndex();
    const QStringList extensions = FormatOptions::Extensions();
    options->format = (index >= 1 && index < extensions.size()) ? extensions.at(index) : extensions.first();
    options->save();
}

void FormatConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceFormatItemWidget>();
}

OutputName FormatConvertWidget::ExampleName() const
{
    OutputName name = ToolsBaseWidget::ExampleName();
    name.extension = options->format;
    return name;
}

QList<OutputFamily> FormatConvertWidget::OutputFamilies() const
{
    // Every result has the chosen format: only its quality matters here.
    const OutputFamily family = OutputOptions::FamilyOf(options->format);
    if (OutputOptions::QualityFamilies().contains(family))
        return {family};
    return {};
}

void FormatConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceConvertData(options), record);
}
