#pragma once

#include "app/toolsbasewidget.h"

class QLabel;
class OptionComboBox;

// Converts every file to one audio format: MP3, AAC, FLAC, WAV or AMR.
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

    // The extensions in the order of the box's entries.
    static QStringList Extensions();

public slots:
    void formatComoBox_slots();

private:
    QLabel *formatLabel;
    OptionComboBox *formatComboBox;
};
