#include "tools/mixconvert/voicemixitemwidget.h"

#include "widgets/bgicontextbutton.h"

void VoiceMixItemWidget::ShowData()
{
    VoiceItemWidget::ShowData();
    if (!job())
        return;
    startButton->hide();
    stopButton->hide();
}
