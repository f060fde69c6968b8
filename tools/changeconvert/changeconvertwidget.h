// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "tools/changeconvert/speakeroptions.h"
#include "tools/common/scripttoolwidget.h"

// Replaces the voice of every file by one of four speakers.
class ChangeConvertWidget : public ScriptToolWidget
{
    Q_OBJECT
public:
    using ScriptToolWidget::ScriptToolWidget;

    void AddVoiceData(VoiceData *record) override;

protected:
    QString captionText() const override;
    QString optionDescription() const override;
    QStringList entryTexts() const override;
    QString modelAt(int index) const override;
    QString &modelInForce() const override;

private:
    // Shared with the panel's jobs, which read it as their voice stage starts.
    QSharedPointer<SpeakerOptions> options = QSharedPointer<SpeakerOptions>::create();
};
