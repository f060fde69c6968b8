#include "tools/invertconvert/invertconvertwidget.h"

#include "tools/invertconvert/voiceinvertdata.h"

void InvertConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceInvertData, record);
}
