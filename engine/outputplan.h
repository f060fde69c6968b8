// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "engine/mediaprobe.h"
#include "engine/outputoptions.h"

// What an output is made from: the audio of one input, or of a whole list.
struct SourceAudio
{
    int sampleRate = 0; // 0 = unknown
    int channels = 0;
    int bitRate = 0; // bits per second; 0 = unknown
    AudioTraits traits;
};

// The output side of a tool's command line, so that an output is as good as
// its input: the input's bitrate or better for lossy formats (up to what the
// format carries), its bit depth for WAV and FLAC, its sample rate and
// channels where the format holds them, its tags and cover where the
// container holds them. The user's OutputOptions override "keep".
struct OutputPlan
{
    Q_DECLARE_TR_FUNCTIONS(OutputPlan)

public:
    // Inputs after the tool's own: a metadata file that carries the cover into Ogg.
    QStringList inputs;
    // "-vn", or maps of the audio and its cover picture.
    QStringList streams;
    // Codec, quality, rate, channels and tags, just before the output path.
    QStringList encode;
    int sampleRate = 0; // of the output; 0 = as ffmpeg picks
    int channels = 0;   // 0 = the input's
    // What the format changed against the input, in words for the row; empty when nothing.
    QString note;

    // A per-file tool's whole command line: its input, its filter arguments
    // ("-af", "...") and the output, with this plan around them.
    QStringList arguments(const QString &input, const QStringList &filters, const QString &output) const;

    // The plan for writing `outputPath` from `source`, the tool's input
    // `inputCount` (its first input is the source file, 0). A cover bound for
    // Ogg or Opus comes from `coverMetadata`, a file CoverMetadata wrote,
    // when it is given.
    static OutputPlan For(const QString &outputPath, const SourceAudio &source, const OutputOptions &choice,
                          const QString &coverMetadata = QString());

    // An ffmetadata text that carries the cover of `inputPath` as a
    // METADATA_BLOCK_PICTURE comment, as Ogg and Opus hold pictures; empty
    // when the input has none.
    static QByteArray CoverMetadata(const QString &inputPath, int coverStream);

    // The audio of a whole list, for a tool that makes one output of it (mix,
    // concat): the highest rate, the most channels (at most two unless every
    // entry has more), the highest bitrate and depth.
    static SourceAudio Combined(const QList<SourceAudio> &entries);
};
