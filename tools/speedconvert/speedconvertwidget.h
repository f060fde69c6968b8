// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/speedconvert/speedoptions.h"

class QLabel;
class OptionComboBox;

// Changes the tempo of every file by one factor, keeping the pitch.
class SpeedConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit SpeedConvertWidget(QWidget *parent = nullptr);

    void Layout() override;
    void UpdateSkin() override;
    void FlushText() override;
    void AddVoiceData(VoiceData *record) override;
    OutputName ExampleName() const override;

public slots:
    void formatComoBox_slots();

private:
    QLabel *speedLabel;
    OptionComboBox *speedComboBox;
    // Shared with the panel's jobs, which read it as they start.
    QSharedPointer<SpeedOptions> options = QSharedPointer<SpeedOptions>::create();
};
