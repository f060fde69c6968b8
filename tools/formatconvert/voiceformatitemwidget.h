// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "app/voiceitemwidget.h"

// The format tool's row: the standard row, kept as its own class so the tool
// can change its look without touching the others.
class VoiceFormatItemWidget : public VoiceItemWidget
{
    Q_OBJECT
public:
    using VoiceItemWidget::VoiceItemWidget;

    void ShowData() override;
};
