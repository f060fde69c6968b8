// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/trimconvert/trimoptions.h"

class QLabel;
class QTimeEdit;
class VoiceTrimData;
class WaveformPane;

// Keeps one time range, the same for every file, copied without re-encoding;
// a range dragged on the waveform belongs to the file shown there.
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
    WaveformPane *waveformPane() const { return pane; }

public slots:
    void starttimeEdit_slots();
    void endtimeEdit_slots();
    void defaultRangeButton_slots();

private:
    // Shows the range as invalid, in the editors and the bottom bar, or as fine.
    void markRange();
    // The job shown on the waveform, when it is one of ours.
    VoiceTrimData *shownJob() const;
    // The boxes and the strip show the shown job's range, or the panel's.
    void showRange();
    void storeBoxes();

    QLabel *startTimeLabel;
    QTimeEdit *startTimeEdit;
    QLabel *endTimeLabel;
    QTimeEdit *endTimeEdit;
    // Shared with the panel's jobs, which read it as they start.
    QSharedPointer<TrimOptions> options = QSharedPointer<TrimOptions>::create();
    WaveformPane *pane;
};
