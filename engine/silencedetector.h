// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>

#include <QString>
#include <QVector>
#include <QtGlobal>

class AudioEnvelope;

// Finds where a file stays quiet and plans the cuts of a split there. Qt Core
// only: the split tool and the command line plan with the same rules.
//
//   SilenceDetector::Options options;     // -35 dB, 0.5 s, pieces of 1 s or more
//   QVector<qint64> cuts;
//   if (SilenceDetector::PlanFile(path, options, cuts, &length)) ...
//
// A cut is a time in microseconds; n cuts make n + 1 pieces that together
// cover the whole input.
class SilenceDetector
{
public:
    struct Options
    {
        double thresholdDb = -35.0; // quieter than this (dB below full scale) is silence
        qint64 minSilence = 500000; // microseconds a silence lasts at least
        qint64 minPiece = 1000000;  // no piece shorter (microseconds)
        qint64 maxPiece = 0;        // no piece longer (microseconds; 0: no limit)
    };
    struct Span
    {
        qint64 start;
        qint64 end;
    };

    // Every stretch of at least `minSilence` whose windows all stay below `thresholdDb`.
    static QVector<Span> Silences(const AudioEnvelope &envelope, double thresholdDb, qint64 minSilence);
    // Cuts in the middle of each silence inside the file, dropping those that
    // would leave a piece shorter than `minPiece`, then cutting pieces longer
    // than `maxPiece` evenly.
    static QVector<qint64> Cuts(const QVector<Span> &silences, qint64 duration, qint64 minPiece,
                                qint64 maxPiece);
    static QVector<qint64> PlanCuts(const AudioEnvelope &envelope, const Options &options);
    // Decodes `path` and plans its cuts; false when it holds no decodable audio
    // or `cancel` turned true. `duration` receives the decoded length.
    static bool PlanFile(const QString &path, const Options &options, QVector<qint64> &cuts,
                         qint64 *duration = nullptr, const std::atomic_bool *cancel = nullptr);
};
