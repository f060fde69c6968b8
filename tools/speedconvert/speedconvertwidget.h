#pragma once

#include <QStringList>

#include "app/toolsbasewidget.h"

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

    // The factors in the order of the box's entries.
    static QStringList Factors();

public slots:
    void formatComoBox_slots();

private:
    QLabel *speedLabel;
    OptionComboBox *speedComboBox;
};
