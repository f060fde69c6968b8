#include "tools/speedconvert/speedconvertwidget.h"

#include <QLabel>

#include "app/optioncombobox.h"
#include "common/globals.h"
#include "tools/speedconvert/voicespeeddata.h"

namespace {
// Used when nothing or something unknown is stored.
constexpr int DefaultFactorIndex = 3;
} // namespace

SpeedConvertWidget::SpeedConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    speedLabel = new QLabel(topBar);
    speedComboBox = new OptionComboBox(topBar);
    connect(speedComboBox, qOverload<int>(&QComboBox::activated), this,
            &SpeedConvertWidget::formatComoBox_slots);
}

QStringList SpeedConvertWidget::Factors()
{
    return {QStringLiteral("0.5"), QStringLiteral("0.8"), QStringLiteral("1.2"), QStringLiteral("1.25"),
            QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("3.0"), QStringLiteral("4.0")};
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

    const QStringList factors = Factors();
    speedComboBox->setEntries(factors);
    g_convertSpeed =
        GetSettingValue(QLatin1String(SettingsKey::ConvertSpeed), factors.at(DefaultFactorIndex));
    const int index = OptionComboBox::MatchIndex(g_convertSpeed, factors);
    if (index < 0)
        g_convertSpeed = factors.at(DefaultFactorIndex);
    speedComboBox->setCurrentIndex(index < 0 ? DefaultFactorIndex : index);
}

void SpeedConvertWidget::formatComoBox_slots()
{
    g_convertSpeed = speedComboBox->currentText();
    SetSettingValue(QLatin1String(SettingsKey::ConvertSpeed), g_convertSpeed);
}

void SpeedConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceSpeedData, record);
}
