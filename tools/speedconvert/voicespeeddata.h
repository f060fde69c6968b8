// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include "engine/voicedata.h"
#include "tools/speedconvert/speedoptions.h"

// One file played faster or slower at the same pitch (atempo).
class VoiceSpeedData : public VoiceData
{
    Q_OBJECT
public:
    // The options are read at each start: a choice made while the job waits applies to it.
    explicit VoiceSpeedData(QSharedPointer<const SpeedOptions> options = {});

    void startConvert() override;

    // The child's arguments for an input, a factor text, an output path and its plan.
    static QStringList Arguments(const QString &input, const QString &factor, const QString &output,
                                 const OutputPlan &plan);
    // The run for an input, a factor text, an output path and its plan.
    static EncodePlan Plan(const QString &input, const QString &factor, const QString &output,
                           const OutputPlan &plan);
    // What the factor adds to the output name: "-1_25" for "1.25".
    static QString NameTag(const QString &factor);
    // The output's length for an input of `duration` microseconds.
    static double OutputDuration(qint64 duration, const QString &factor);

    qint64 expectedDuration() const override;

public slots:
    void ffmpegProcess_StandardOutput_slots() override;

private:
    QSharedPointer<const SpeedOptions> options;
    // The factor of the current run: a later choice must not bend its progress.
    QString runFactor;
};
