#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/splitconvert/splitoptions.h"

class QLabel;
class QSpinBox;
class QTimeEdit;
class OptionComboBox;

// Cuts every file into segments of one length, or into a number of segments.
class SplitConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit SplitConvertWidget(QWidget *parent = nullptr);

    void FlushText() override;
    void AddVoiceData(VoiceData *record) override;

    QTimeEdit *timeEdit() const { return splitTimeEdit; }
    QSpinBox *numberBox() const { return splitNumSpinBox; }

public slots:
    void splitTypeComboBox_slots();
    void timeEdit_slots();
    void numSpinBox_slots();

private:
    QLabel *splitTypeLabel;
    OptionComboBox *splitTypeComboBox;
    QTimeEdit *splitTimeEdit;
    QSpinBox *splitNumSpinBox;
    // Shared with the panel's jobs, which read it as they plan.
    QSharedPointer<SplitOptions> options = QSharedPointer<SplitOptions>::create();
};
