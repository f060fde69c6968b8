#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/trimconvert/trimoptions.h"

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
    // A range that ends before it starts.
    QString OptionProblem() const override;

    QTimeEdit *startEdit() const { return startTimeEdit; }
    QTimeEdit *endEdit() const { return endTimeEdit; }

public slots:
    void starttimeEdit_slots();
    void endtimeEdit_slots();

private:
    // Shows the range as invalid, in the editors and the bottom bar, or as fine.
    void markRange();

    QLabel *startTimeLabel;
    QTimeEdit *startTimeEdit;
    QLabel *endTimeLabel;
    QTimeEdit *endTimeEdit;
    // Shared with the panel's jobs, which read it as they start.
    QSharedPointer<TrimOptions> options = QSharedPointer<TrimOptions>::create();
};
