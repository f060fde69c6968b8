#include "tools/splitconvert/splitconvertwidget.h"

#include <QLabel>
#include <QSpinBox>
#include <QTimeEdit>

#include "app/optioncombobox.h"
#include "common/qcommonutils.h"
#include "tools/splitconvert/voicesplitdata.h"
#include "widgets/displayscale.h"
#include "widgets/skinhelper_qsetting.h"

SplitConvertWidget::SplitConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    splitTypeLabel = new QLabel(topBar);
    splitTypeComboBox = new OptionComboBox(topBar);
    splitTimeEdit = new QTimeEdit(topBar);
    splitNumSpinBox = new QSpinBox(topBar);

    splitTimeEdit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    splitTimeEdit->setMinimumTime(QTime(0, 0, 2));
    splitTimeEdit->setMaximumTime(QTime(4, 0, 0));
    splitNumSpinBox->setRange(2, 100);

    connect(splitTypeComboBox, qOverload<int>(&QComboBox::activated), this,
            &SplitConvertWidget::splitTypeComboBox_slots);
    connect(splitTimeEdit, &QTimeEdit::timeChanged, this, &SplitConvertWidget::timeEdit_slots);
    connect(splitNumSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &SplitConvertWidget::numSpinBox_slots);
}

void SplitConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    const int w = topBar->width();
    const int h = topBar->height();
    const int controlWidth = ScaledPx(120);
    const int controlHeight = ScaledPx(24);
    const int top = (h - controlHeight) / 2;

    splitTypeComboBox->UpdateSkin();
    const int comboLeft = w - ScaledPx(16) - ScaledPx(20) - 2 * controlWidth;
    splitTypeComboBox->setGeometry(comboLeft, top, controlWidth, controlHeight);

    splitTypeLabel->setStyleSheet(CaptionStyle("txtcolor1"));
    splitTypeLabel->setText(tr("Split Type:"));
    splitTypeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    splitTypeLabel->setGeometry(comboLeft - 10 - ScaledPx(200), top, ScaledPx(200), controlHeight);

    splitTypeComboBox->setEntries({tr("Time"), tr("Number")});

    // The two editors share one place; the split type shows one of them.
    const QRect editorRect(w - controlWidth - ScaledPx(16), top, controlWidth, controlHeight);
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    splitTimeEdit->setGeometry(editorRect);
    splitTimeEdit->setStyleSheet(skin->GetQTimeEditQSS(12, 1, 3, QStringLiteral("QTimeEdit")));
    splitNumSpinBox->setGeometry(editorRect);
    splitNumSpinBox->setStyleSheet(skin->GetQSpinBoxQSS(12, 1, 3, QStringLiteral("QSpinBox")));

    splitTypeComboBox_slots();
}

void SplitConvertWidget::splitTypeComboBox_slots()
{
    splitTimeEdit->hide();
    splitNumSpinBox->hide();
    if (splitTypeComboBox->currentIndex() == 0) {
        options->byNumber = false;
        splitTimeEdit->show();
        options->time = QCommonUtils::QTimetominsecond(splitTimeEdit->time());
    } else {
        options->byNumber = true;
        splitNumSpinBox->show();
        options->number = splitNumSpinBox->value();
    }
}

void SplitConvertWidget::timeEdit_slots()
{
    options->time = QCommonUtils::QTimetominsecond(splitTimeEdit->time());
}

void SplitConvertWidget::numSpinBox_slots()
{
    options->number = splitNumSpinBox->value();
}

void SplitConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceSplitData(options), record);
}
