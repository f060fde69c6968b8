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

    // The panel's one child; every entry is one of its inputs.
    QProcess &mixProcess = listProcess;

protected:
    RunPlan planRun(const QList<VoiceData *> &entries, const QString &output) override;
};
