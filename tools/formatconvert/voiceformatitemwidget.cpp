#include "tools/formatconvert/voiceformatitemwidget.h"

void VoiceFormatItemWidget::ShowData()
{
    VoiceItemWidget::ShowData();
}
