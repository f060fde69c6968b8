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
// same options and write an existing, empty output file.
class AudioTranscoder
{
public:
    struct Job
    {
        QString input;
        QString filter; // a filter graph as "-af" takes it; empty: none
        // The existing file to write; empty: decode and filter only (a measuring pass).
        QString output;
        QStringList encode; // the encoder options, as the command line spells them
    };

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

    // Runs `job`, calling `progress` with the output time (microseconds) as it
    // goes; checks `cancel` between packets and frames. `reason` says why a
    // run failed; `log` receives libav's messages of a measuring pass.
    static Outcome Run(const Job &job, const std::atomic_bool &cancel,
                       const std::function<void(qint64)> &progress, QString &reason, QString &log);
};
