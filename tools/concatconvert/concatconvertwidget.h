// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "app/wholelisttoolwidget.h"
#include "tools/concatconvert/voiceconcatdata.h"

// Joins every file of the list, one after the other in list order, into one.
// The rows carry Up and Down while idle, so the user can arrange the order.
class ConcatConvertWidget : public WholeListToolWidget
{
    Q_OBJECT
public:
    using WholeListToolWidget::WholeListToolWidget;

    void CreateItemWidgets() override;
    void AddVoiceData(VoiceData *record) override;
    OutputName ExampleName() const override
    {
        return VoiceConcatData::ResultName(QStringLiteral("song.mp3"));
    }

public slots:
    void ItemDeleted_slots(VoiceData *item) override;

protected:
    WholeListData *newRun() const override;
};
