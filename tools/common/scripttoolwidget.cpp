// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/common/scripttoolwidget.h"

#include <QLabel>

#include "app/optioncombobox.h"

ScriptToolWidget::ScriptToolWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    optionLabel = new QLabel(topBar);
    optionComboBox = new OptionComboBox(topBar);
    connect(optionComboBox, qOverload<int>(&QComboBox::activated), this,
            &ScriptToolWidget::speakerComboBox_slots);
}

void ScriptToolWidget::Layout()
{
    ToolsBaseWidget::Layout();
    placeControls();
}

void ScriptToolWidget::UpdateSkin()
{
    ToolsBaseWidget::UpdateSkin();
    optionComboBox->UpdateSkin();
}

void ScriptToolWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    optionLabel->setStyleSheet(CaptionStyle("txtcolor1"));
    optionLabel->setText(captionText());
    optionComboBox->setAccessibleDescription(optionDescription());
    optionLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The entries are rebuilt in the current language, showing the choice
    // still in force: a panel opened again must not claim another.
    const QStringList entries = entryTexts();
    optionComboBox->setEntries(entries);
    for (int i = 0; i < entries.size(); ++i) {
        if (modelAt(i) == modelInForce())
            optionComboBox->setCurrentIndex(i);
    }
    placeControls();
}

void ScriptToolWidget::placeControls()
{
    placeAtTopBarRight(optionComboBox, 200, 30, 14);
    placeCaptionLeftOf(optionLabel, optionComboBox, 24);
}

void ScriptToolWidget::speakerComboBox_slots()
{
    modelInForce() = modelAt(optionComboBox->currentIndex());
}
