#pragma once

#include "app/voiceitemwidget.h"

// The mix tool's row: it shows the shared run and offers no start or stop of its own.
class VoiceMixItemWidget : public VoiceItemWidget
{
    Q_OBJECT
public:
    using VoiceItemWidget::VoiceItemWidget;

    void ShowData() override;
};
