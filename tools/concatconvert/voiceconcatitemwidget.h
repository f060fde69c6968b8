// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "app/voiceitemwidget.h"

// The concat tool's row: no start or stop of its own, but Up and Down to move
// its entry whenever no run is under way.
class VoiceConcatItemWidget : public VoiceItemWidget
{
    Q_OBJECT
public:
    explicit VoiceConcatItemWidget(QWidget *parent = nullptr);

    void UpdateText() override;
    void ShowData() override;

    MyQtCustom::BgIconTextButton *upButton;
    MyQtCustom::BgIconTextButton *downButton;

public slots:
    void upButton_slots();
    void downButton_slots();

private:
    void placeArrows();
};
