// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "app/toolsbasewidget.h"

// Reverses every file in time. The panel is the base panel: there is nothing to choose.
class InvertConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    using ToolsBaseWidget::ToolsBaseWidget;

    void AddVoiceData(VoiceData *record) override;
    OutputName ExampleName() const override;
};
