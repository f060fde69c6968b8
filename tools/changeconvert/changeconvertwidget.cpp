#include "tools/changeconvert/changeconvertwidget.h"

#include "tools/changeconvert/voicechangedata.h"

QString ChangeConvertWidget::captionText() const
{
    return tr("Speaker:");
}

QStringList ChangeConvertWidget::entryTexts() const
{
    return {tr("arvo-pellimor"), tr("lumo"), tr("taviel"), tr("orsinda")};
}

void ChangeConvertWidget::choose(int index)
{
    options->model = SpeakerOptions::SpeakerModel(index);
}

void ChangeConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceChangeData(options), record);
}
