#pragma once

#include "engine/toolsbasewidget.h"

class QLabel;
class QTimeEdit;

// Keeps one time range, the same for every file, copied without re-encoding.
class TrimConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit TrimConvertWidget(QWidget *parent = nullptr);

    void FlushText() override;
    void AddVoiceData(VoiceData *record) override;

    QTimeEdit *startEdit() const { return startTimeEdit; }
    QTimeEdit *endEdit() const { return endTimeEdit; }

public slots:
    void starttimeEdit_slots();
    void endtimeEdit_slots();

private:
    QLabel *startTimeLabel;
    QTimeEdit *startTimeEdit;
    QLabel *endTimeLabel;
    QTimeEdit *endTimeEdit;
};
