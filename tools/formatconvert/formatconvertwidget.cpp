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

QStringList FormatConvertWidget::Extensions()
{
    return {QStringLiteral("mp3"), QStringLiteral("aac"), QStringLiteral("flac"), QStringLiteral("wav"),
            QStringLiteral("amr")};
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

    formatComboBox->setEntries({tr("MP3"), tr("AAC"), tr("FLAC"), tr("WAV"), tr("AMR")});
    g_convertFormat = GetSettingValue(QLatin1String(SettingsKey::ConvertFormat), QStringLiteral("mp3"));
    const int index = OptionComboBox::MatchIndex(g_convertFormat, Extensions());
    if (index < 0)
        g_convertFormat = QStringLiteral("mp3");
    formatComboBox->setCurrentIndex(qMax(0, index));
}

void FormatConvertWidget::formatComoBox_slots()
{
    const int index = formatComboBox->currentIndex();
    const QStringList extensions = Extensions();
    g_convertFormat = (index >= 1 && index < extensions.size()) ? extensions.at(index) : extensions.first();
    SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), g_convertFormat);
}

void FormatConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceFormatItemWidget>();
}

void FormatConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceConvertData, record);
}
