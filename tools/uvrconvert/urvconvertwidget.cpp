#include "tools/uvrconvert/urvconvertwidget.h"

#include "tools/uvrconvert/voiceuvrdata.h"

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
    options->model = SeparationOptions::ModelName(index);
}

void URVConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceUVRData(options), record);
}
