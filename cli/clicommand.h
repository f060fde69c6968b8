// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>

#include "engine/outputoptions.h"
#include "tools/changeconvert/speakeroptions.h"
#include "tools/formatconvert/formatoptions.h"
#include "tools/speedconvert/speedoptions.h"
#include "tools/splitconvert/splitoptions.h"
#include "tools/trimconvert/trimoptions.h"
#include "tools/uvrconvert/separationoptions.h"
#include "tools/volumeconvert/volumeoptions.h"

// What the command line asks for: one tool, its options (the same typed
// options the panels fill), the common options and the files.
struct CliCommand
{
    enum Tool
    {
        Convert,
        Speed,
        Volume,
        Reverse,
        Mix,
        Split,
        Concat,
        Trim,
        Separate,
        Voice
    };
    // Exit statuses.
    static constexpr int Succeeded = 0;
    static constexpr int JobFailed = 1;
    static constexpr int UsageError = 2;

    Tool tool = Convert;
    QString name;         // the sub-command as typed
    QString outputFolder; // empty: the window's setting
    int jobs = 0;         // 0: the stored limit
    bool json = false;
    bool quiet = false;
    bool recursive = false;
    QStringList paths;

    FormatOptions format;
    SpeedOptions speed;
    VolumeOptions volume;
    TrimOptions trim;
    SplitOptions split;
    SeparationOptions separation;
    SpeakerOptions speaker;
    // How the results are encoded: the window's stored Output settings, then
    // --quality, --rate, --channels; how they are named: --name,
    // --on-collision, --keep-tree (which the window's setting never turns on).
    OutputOptions output;

    // Whether the tool encodes its results (Trim and Split copy the audio).
    bool encodes() const { return tool != Trim && tool != Split; }
    // Whether the tool makes one result of all its files.
    bool wholeList() const { return tool == Mix || tool == Concat; }

    // The outcome of reading the arguments (without the program name): a
    // command to run (exitCode < 0), or text to print and the status to end with.
    struct Parsed
    {
        int exitCode = -1;
        QString out; // help and version, for standard output
        QString err; // a usage error, for standard error
    };
    // Fills `command`; the tools' defaults are the window's stored choices.
    static Parsed Parse(const QStringList &arguments, CliCommand &command);

    // A time as "S", "M:S" or "H:M:S" (each part a whole number, the
    // seconds optionally with a fraction) in microseconds; -1 when it is none.
    static qint64 ParseTime(const QString &text);
};
