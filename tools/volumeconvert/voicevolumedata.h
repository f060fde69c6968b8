// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>
#include <QStringList>

#include "engine/voicedata.h"
#include "tools/volumeconvert/volumeoptions.h"

// The figures of loudnorm's measuring pass; not valid when it gave none.
struct Loudness
{
    bool valid = false;
    double integrated = 0.0; // LUFS
    double truePeak = 0.0;   // dBTP
    double range = 0.0;      // LU
    double threshold = 0.0;  // LUFS
    double offset = 0.0;     // LU
};

// One file made louder, quieter, or brought to a standard loudness. Louder
// goes through a true-peak limiter; standardizing measures the file first
// and then applies one gain to it where that reaches the target.
class VoiceVolumeData : public VoiceData
{
    Q_OBJECT
public:
    // The loudness standardizing aims at, and the ceiling of every louder result.
    static constexpr double TargetLufs = -14.0;
    static constexpr double CeilingDbtp = -1.0;

    // The options are read at each start: a choice made while the job waits applies to it.
    explicit VoiceVolumeData(QSharedPointer<const VolumeOptions> options = {});

    void startConvert() override;

    // The filter of a mode for an input of `sampleRate` (0 = unknown); a
    // mode outside the list standardizes. Standardizing takes the figures
    // of the measuring pass; without them it is loudnorm's one pass.
    static QString Filter(int mode, int sampleRate, const Loudness &measured = {});
    // The measuring pass, and its arguments.
    static EncodePlan MeasurePlan(const QString &input);
    static QStringList MeasureArguments(const QString &input);
    // The figures in the measuring pass's output (its JSON summary).
    static Loudness ParseLoudness(const QString &text);
    // The child's arguments for an input, a filter, an output path and its plan.
    static QStringList Arguments(const QString &input, const QString &filter, const QString &output,
                                 const OutputPlan &plan);

public slots:
    void ffmpegProcess_StandardOutput_slots() override;
    void ffmpegProcess_Finished(int index) override;

private:
    QSharedPointer<const VolumeOptions> options;
    // The current run: standardizing, in its measuring pass.
    bool measuring = false;
    bool twoPass = false;
    QString measureText; // the end of the measuring pass's output
    OutputPlan runPlan;
};
