// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/volumeconvert/volumeoptions.h"

class QLabel;
class OptionComboBox;

// Makes every file louder or quieter by 5 dB, or brings it to a standard loudness.
class VolumeConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit VolumeConvertWidget(QWidget *parent = nullptr);

    void Layout() override;
    void UpdateSkin() override;
    void FlushText() override;
    void AddVoiceData(VoiceData *record) override;
    OutputName ExampleName() const override;

public slots:
    void formatComoBox_slots();

private:
    QLabel *volumeLabel;
    OptionComboBox *volumeComboBox;
    // Shared with the panel's jobs, which read it as they start.
    QSharedPointer<VolumeOptions> options = QSharedPointer<VolumeOptions>::create();
};
