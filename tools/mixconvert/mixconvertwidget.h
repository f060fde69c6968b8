// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "app/wholelisttoolwidget.h"
#include "tools/mixconvert/voicemixdata.h"

// Overlays every file of the list into one, played together (VoiceMixData
// plans the run); the result is as long as the first file.
class MixConvertWidget : public WholeListToolWidget
{
    Q_OBJECT
public:
    using WholeListToolWidget::WholeListToolWidget;

    void CreateItemWidgets() override;
    OutputName ExampleName() const override { return VoiceMixData::ResultName(QStringLiteral("song.mp3")); }

protected:
    WholeListData *newRun() const override;
};
