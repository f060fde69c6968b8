#pragma once

#include "tools/common/scripttoolwidget.h"

// Replaces the voice of every file by one of four speakers.
class ChangeConvertWidget : public ScriptToolWidget
{
    Q_OBJECT
public:
    using ScriptToolWidget::ScriptToolWidget;

    void AddVoiceData(VoiceData *record) override;

    // The model file of the speaker at a list index; unknown indices give the first.
    static QString SpeakerModel(int index);

protected:
    QString captionText() const override;
    QStringList entryTexts() const override;
    void choose(int index) override;
};
