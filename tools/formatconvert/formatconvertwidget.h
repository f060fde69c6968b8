// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/formatconvert/formatoptions.h"

class QLabel;
class OptionComboBox;

// Converts every file to one audio format: MP3, AAC, FLAC, WAV, AMR, Opus, Ogg Vorbis or M4A.
class FormatConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit FormatConvertWidget(QWidget *parent = nullptr);

    void Layout() override;
    void UpdateSkin() override;
    void FlushText() override;
    void CreateItemWidgets() override;
    void AddVoiceData(VoiceData *record) override;
    OutputName ExampleName() const override;
    QList<OutputFamily> OutputFamilies() const override;

public slots:
    void formatComoBox_slots();

private:
    QLabel *formatLabel;
    OptionComboBox *formatComboBox;
    // Shared with the panel's jobs, which read it as they start.
    QSharedPointer<FormatOptions> options = QSharedPointer<FormatOptions>::create();
};
