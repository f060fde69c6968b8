// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>
#include <functional>

#include <QString>
#include <QStringList>
#include <QtGlobal>

// One job of the resident converter: what an ffmpeg command line of a
// per-file tool does (EncodePlan), done in this process with the same
// libraries: decode the input's audio, run the filter graph, encode with the
// same options and write an existing, empty output file. A reversed job
// decodes into a private raw file first, then encodes it read from its end,
// a block at a time, so its memory stays the same for any length.
class AudioTranscoder
{
public:
    // Playing backwards: the decoded samples, filtered, go to `raw` (an
    // existing private file) as `format` ("s16le", "s32le", "f32le" or
    // "f64le") at `rate` and `channels`; the encoder gets them in reverse.
    struct Reversal
    {
        QString raw; // empty: the job plays forwards
        QString format;
        int rate = 0;
        int channels = 0;
    };

    struct Job
    {
        QString input;
        QString filter; // a filter graph as "-af" takes it; empty: none
        // The existing file to write; empty: decode and filter only (a measuring pass).
        QString output;
        QStringList encode; // the encoder options, as the command line spells them
        Reversal reverse;
        QString codec; // the input's audio codec as a reading of it found (MediaInput::openMedia)
    };

    // Bytes of the raw file one step of a reversal reads.
    static constexpr int ReverseBlockBytes = 256 * 1024;
    // Reverses the order of the whole frames (`frameBytes` each) in `data`.
    static void ReverseFrames(char *data, qint64 bytes, int frameBytes);

    enum class Outcome
    {
        Done,
        Failed,
        Cancelled,
        // Something this converter does not take (a format change mid-stream,
        // chapters): the job belongs to the ffmpeg child.
        Unsupported
    };

    // The encoder options the converter understands; any other makes a plan the child's.
    static const QStringList &KnownOptions();

    // Runs `job`, calling `progress` with the output time (microseconds) and
    // the pass (a reversal's decoding 0, its encoding 1; else 0) as it goes;
    // checks `cancel` between packets, frames and blocks. `reason` says why a
    // run failed; `log` receives libav's messages of a measuring pass.
    static Outcome Run(const Job &job, const std::atomic_bool &cancel,
                       const std::function<void(qint64 time, int pass)> &progress, QString &reason,
                       QString &log);
};
