// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QStringList>

#include "app/toolsbasewidget.h"

class QLabel;
class OptionComboBox;

// The panel of a script-driven tool: the base panel with one choice at the
// right of the top bar (a speaker, a separation model), which lives for the
// program run only; the box always shows the choice in force.
class ScriptToolWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit ScriptToolWidget(QWidget *parent = nullptr);

    void Layout() override;
    void UpdateSkin() override;
    void FlushText() override;

public slots:
    void speakerComboBox_slots();

protected:
    virtual QString captionText() const = 0;
    // What the option box chooses, for a screen reader.
    virtual QString optionDescription() const = 0;
    virtual QStringList entryTexts() const = 0;
    // The model of the entry at `index`, and the tool's model in force.
    virtual QString modelAt(int index) const = 0;
    virtual QString &modelInForce() const = 0;

private:
    void placeControls();

    QLabel *optionLabel;
    OptionComboBox *optionComboBox;
};
