#pragma once

#include "tools/common/scripttoolwidget.h"

// Splits every file into a vocal and an instrument file.
class URVConvertWidget : public ScriptToolWidget
{
    Q_OBJECT
public:
    using ScriptToolWidget::ScriptToolWidget;

    void AddVoiceData(VoiceData *record) override;

    // The separation model at a list index; unknown indices give the first.
    static QString ModelName(int index);

protected:
    QString captionText() const override;
    QStringList entryTexts() const override;
    void choose(int index) override;
};
