// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The families of output formats whose encoder settings the tools choose.
enum class OutputFamily
{
    Other, // left to ffmpeg's defaults for the container
    Mp3,
    Aac, // .aac, .m4a, .mp4, .3gp ...
    Opus,
    Vorbis,
    Flac,
    Wav,
    Amr
};

// The user's "Output" choices, shared by every per-file tool and by the
// command line: a quality per format family, a sample rate and a channel
// count. "Keep" (an empty quality, a rate or count of 0) follows the input.
// With them, how the results are named and placed. Read from and written to
// the settings here alone.
struct OutputOptions
{
    QMap<OutputFamily, QString> quality; // absent or empty: keep
    int sampleRate = 0;                  // Hz; 0 = keep
    int channels = 0;                    // 1 or 2; 0 = keep
    // How results are named and placed, by every tool (those that copy the audio too).
    QString namePattern;    // empty: the default names (NamePattern)
    bool keepTree = false;  // a folder's files keep their sub-folders under the output folder
    bool skipTaken = false; // a taken name skips the result instead of numbering it

    // The family of an output extension ("MP3", "m4a" ...).
    static OutputFamily FamilyOf(const QString &extension);
    // The family's short name as the settings and the command line spell it
    // ("mp3", "aac", "opus", "vorbis", "flac", "wav"); empty for the others.
    static QString FamilyName(OutputFamily family);
    // The families with a quality choice, in the order they are offered.
    static QList<OutputFamily> QualityFamilies();
    // The quality values of a family, best first: "320k" ... "128k", "V0" ...
    // "V9" (MP3); "320k" ... "96k" (AAC); "256k" ... "32k" (Opus); "q10" ...
    // "q0" (Vorbis); "0" ... "8" (FLAC level); "16", "24", "32f" (WAV).
    static QStringList QualityChoices(OutputFamily family);
    // The sample rates offered besides keep.
    static QList<int> SampleRates();

    QString qualityOf(OutputFamily family) const { return quality.value(family); }
    // Sets a family's quality; false (and nothing changes) when the value is
    // not one of its choices. An empty value keeps.
    bool setQuality(OutputFamily family, const QString &value);
    // Sets from the command line's "family=value" ("mp3=V2"); false when not valid.
    bool setQuality(const QString &familyAndValue);
    bool setSampleRate(int rate);
    bool setChannels(int count);
    // False (and nothing changes) when the pattern cannot name files (NamePattern::IsValid).
    bool setNamePattern(const QString &pattern);
    // "number" or "skip"; false for anything else.
    bool setOnCollision(const QString &rule);

    // The stored choices; values that are not offered read as keep.
    static OutputOptions Load();
    void save() const;
};
