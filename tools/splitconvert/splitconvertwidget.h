// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "app/toolsbasewidget.h"
#include "tools/splitconvert/splitoptions.h"

class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTimeEdit;
class OptionComboBox;
class VoiceSplitData;
class WaveformPane;

// Cuts every file into segments of one length, into a number of segments, or
// at its silences; the waveform shows the planned cuts of the file shown, and
// cuts dragged there become that file's own plan.
class SplitConvertWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit SplitConvertWidget(QWidget *parent = nullptr);

    void FlushText() override;
    void AddVoiceData(VoiceData *record) override;

    QTimeEdit *timeEdit() const { return splitTimeEdit; }
    QSpinBox *numberBox() const { return splitNumSpinBox; }
    WaveformPane *waveformPane() const { return pane; }
    OptionComboBox *typeBox() const { return splitTypeComboBox; }

public slots:
    void splitTypeComboBox_slots();
    void timeEdit_slots();
    void numSpinBox_slots();
    void silenceOptions_slots();
    // The strip shows where the file shown is cut: its own plan, else the panel's rule.
    void showCuts();
    void panelPlanButton_slots();

private:
    // The job shown on the waveform, when it is one of ours.
    VoiceSplitData *shownJob() const;

    QLabel *splitTypeLabel;
    OptionComboBox *splitTypeComboBox;
    QTimeEdit *splitTimeEdit;
    QSpinBox *splitNumSpinBox;
    WaveformPane *pane;
    // The silence rule: threshold (dB), shortest silence, shortest and longest piece (s).
    QSpinBox *thresholdBox;
    QDoubleSpinBox *minSilenceBox;
    QDoubleSpinBox *minPieceBox;
    QDoubleSpinBox *maxPieceBox;
    QList<QLabel *> silenceCaptions;
    // Shared with the panel's jobs, which read it as they plan.
    QSharedPointer<SplitOptions> options = QSharedPointer<SplitOptions>::create();
};
