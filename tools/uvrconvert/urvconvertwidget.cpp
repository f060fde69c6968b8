#include "tools/uvrconvert/urvconvertwidget.h"

#include "tools/uvrconvert/voiceuvrdata.h"

QString URVConvertWidget::ModelName(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("VR-DeEchoAggressive");
    case 2:
    case 3:
        return QStringLiteral("HP3_all_vocals");
    default:
        return QStringLiteral("HP5_only_main_vocal");
    }
}

QString URVConvertWidget::captionText() const
{
    return tr("Type:");
}

QStringList URVConvertWidget::entryTexts() const
{
    // Only the main-vocal model is offered.
    return {tr("HP5 only main vocal")};
}

void URVConvertWidget::choose(int index)
{
    g_uvrModel = ModelName(index);
}

void URVConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceUVRData, record);
}
