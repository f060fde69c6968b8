// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
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
