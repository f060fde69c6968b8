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

    volumeComboBox->setEntries({tr("Standardizing"), QStringLiteral("+5dB"), QStringLiteral("-5dB")});
    // Not a number reads as 0, the first mode.
    g_convertVolume = GetSettingValue(QLatin1String(SettingsKey::ConvertVolume), QStringLiteral("0")).toInt();
    if (g_convertVolume < VoiceVolumeData::Standardizing || g_convertVolume > VoiceVolumeData::Quieter)
        g_convertVolume = VoiceVolumeData::Standardizing;
    volumeComboBox->setCurrentIndex(g_convertVolume);
}

void VolumeConvertWidget::formatComoBox_slots()
{
    g_convertVolume = volumeComboBox->currentIndex();
    SetSettingValue(QLatin1String(SettingsKey::ConvertVolume), QString::number(g_convertVolume));
}

void VolumeConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceVolumeData, record);
}
