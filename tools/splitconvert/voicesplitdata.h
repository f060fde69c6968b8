// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPair>
#include <QSharedPointer>
#include <QStringList>
#include <QtGlobal>

#include "engine/voicedata.h"
#include "tools/splitconvert/splitoptions.h"

class AudioEnvelope;

// One file cut into consecutive segments, one child per segment, one after
// the other; the audio is copied, not re-encoded (FLAC excepted, see
// CutCodecArguments). Each finished piece is published at once.
class VoiceSplitData : public VoiceData
{
    Q_OBJECT
public:
    struct Plan
    {
        int count;
        qint64 length; // microseconds
    };

    // The rule is read when the job plans its segments: at a start after a
    // completed run or before any, so a choice made while it waits applies.
    explicit VoiceSplitData(QSharedPointer<const SplitOptions> options = {});

    void startConvert() override;

    // The segments of a file of `duration` microseconds (whole seconds, 0 =
    // unknown) under a split rule. Always at least one segment; by number,
    // every segment lasts at least one second.
    static Plan PlanSegments(bool byNumber, qint64 duration, qint64 splitTime, int splitNumber);
    // The range of segment `index` of a plan for an input of `duration`
    // microseconds (whole seconds), before cutting to whole seconds; an end
    // of -1 runs to the end of the input.
    static QPair<qint64, qint64> PieceRange(int index, const Plan &plan, qint64 duration);
    // The child's arguments for segment `index` of a plan. Cut points are
    // whole seconds; the last segment reaches the end of the input.
    static QStringList Arguments(const QString &input, int index, const Plan &plan, qint64 duration,
                                 const QString &output);
    // Progress over the whole file (0 to 9999) when the child cutting
    // segment `index` has reached `time` microseconds into it.
    static int SegmentProgress(int index, qint64 length, qint64 time, qint64 duration);

    // The pieces published since the plan was made, also those of a run that
    // failed or stopped later (they stay).
    QStringList results() const override { return pieces; }

    // The length of the segment being cut.
    qint64 expectedDuration() const override;
    // Stops a job that still waits for its silences too.
    void stopConvert() override;

    // The cut points of all the planned pieces (microseconds; by time and by
    // number whole seconds) under `rule` for a file of `duration`, `envelope`
    // serving the silence rule; what the waveform shows before converting.
    static QVector<qint64> PlannedCuts(const SplitOptions &rule, qint64 duration,
                                       const AudioEnvelope *envelope);

    QString ownSettings() const override;

    int segmentCount = 0;  // 0 = not planned yet
    int segmentIndex = 0;  // the segment being cut
    int piecesSkipped = 0; // pieces of the plan whose names were taken (skipped)
    qint64 segmentLength = 0;
    // The plan's cuts when they are exact times: at silences, or the job's own.
    QVector<qint64> exactCuts;
    // The cuts the user placed for this file on the waveform (microseconds,
    // ascending, inside the file), used instead of the panel's rule.
    bool ownPlan = false;
    QVector<qint64> ownCuts;

public slots:
    void ffmpegProcess_StandardOutput_slots() override;
    void ffmpegProcess_Finished(int index) override;

private:
    qint64 wholeSeconds() const;
    // The range of the segment being cut; an end of -1 runs to the end.
    QPair<qint64, qint64> currentRange() const;
    int progressAt(qint64 time) const;
    // Plans by silences once the file's envelope is read; false while it is not.
    bool planBySilence();

    bool awaitingEnvelope = false;
    QStringList pieces;
    QSharedPointer<const SplitOptions> options;
};
