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
    optionLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The entries are rebuilt in the current language; the choice made
    // earlier in this run stays in force although entry 0 shows.
    optionComboBox->setEntries(entryTexts());
    placeControls();
}

void ScriptToolWidget::placeControls()
{
    placeAtTopBarRight(optionComboBox, 200, 30, 14);
    placeCaptionLeftOf(optionLabel, optionComboBox, 24);
}

void ScriptToolWidget::speakerComboBox_slots()
{
    choose(optionComboBox->currentIndex());
}
