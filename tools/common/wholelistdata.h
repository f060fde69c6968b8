// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "engine/voicedata.h"

// One result out of several inputs (mix, concat): one ffmpeg child takes
// them all, in order. The first input is the reference: its facts are the
// job's own and it names the result. Part file, verdict and publish are the
// base's; a rejected run is not restarted, as the window runs such a list once.
class WholeListData : public VoiceData
{
    Q_OBJECT
public:
    // The inputs, in order, with their probe facts; the first gives the job its facts.
    void setInputs(const QList<const VoiceData *> &records);
    const QStringList &inputPaths() const { return paths; }

    // The output side of a run over inputs with these facts (OutputPlan::Combined):
    // every input is brought to the plan's rate and channels, which it always gives.
    static OutputPlan PlanOutput(const QList<SourceAudio> &sources, const QString &output,
                                 const OutputOptions &choice);
    // Filter chains that bring the first audio stream of each of `inputCount`
    // inputs (an MP4's stream 0 is its picture) to the plan's rate and
    // channels, ending in their pads "[a0][a1]..." for the tool's own filter.
    static QString CommonFormatFilter(int inputCount, const OutputPlan &plan);

    void startConvert() override;
    qint64 expectedDuration() const override { return resultDuration(durations); }

public slots:
    void ffmpegProcess_StandardOutput_slots() override;

protected:
    int maxRetries() const override { return 0; }
    // The tool's rule: the result's name, its child's arguments and its length.
    virtual OutputName resultName(const QString &referencePath) const = 0;
    virtual QStringList arguments(const QStringList &inputs, const QString &output,
                                  const OutputPlan &plan) const = 0;
    virtual qint64 resultDuration(const QList<qint64> &inputDurations) const = 0;

private:
    QStringList paths;
    QList<qint64> durations;
    QList<SourceAudio> sources;
};
