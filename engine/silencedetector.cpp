// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/silencedetector.h"

#include <cmath>

#include "engine/audioenvelope.h"

QVector<SilenceDetector::Span> SilenceDetector::Silences(const AudioEnvelope &envelope, double thresholdDb,
                                                         qint64 minSilence)
{
    QVector<Span> spans;
    const float limit = float(std::pow(10.0, thresholdDb / 20.0));
    const QVector<float> &windows = envelope.windows();
    int runStart = -1;
    for (int i = 0; i <= windows.size(); ++i) {
        const bool quiet = i < windows.size() && windows.at(i) < limit;
        if (quiet && runStart < 0)
            runStart = i;
        if (quiet || runStart < 0)
            continue;
        const qint64 start = runStart * AudioEnvelope::WindowUs;
        const qint64 end = qMin(envelope.duration(), i * AudioEnvelope::WindowUs);
        if (end - start >= minSilence)
            spans.append({start, end});
        runStart = -1;
    }
    return spans;
}

QVector<qint64> SilenceDetector::Cuts(const QVector<Span> &silences, qint64 duration, qint64 minPiece,
                                      qint64 maxPiece)
{
    QVector<qint64> kept;
    qint64 last = 0;
    for (const Span &span : silences) {
        // A silence that opens or closes the file divides nothing.
        if (span.start <= 0 || span.end >= duration)
            continue;
        const qint64 cut = (span.start + span.end) / 2;
        if (cut - last >= minPiece && duration - cut >= minPiece) {
            kept.append(cut);
            last = cut;
        }
    }
    if (maxPiece <= 0)
        return kept;
    QVector<qint64> cuts;
    qint64 from = 0;
    kept.append(duration);
    for (qint64 to : kept) {
        const qint64 pieces = (to - from + maxPiece - 1) / maxPiece;
        for (qint64 k = 1; k < pieces; ++k)
            cuts.append(from + (to - from) * k / pieces);
        if (to < duration)
            cuts.append(to);
        from = to;
    }
    return cuts;
}

QVector<qint64> SilenceDetector::PlanCuts(const AudioEnvelope &envelope, const Options &options)
{
    return Cuts(Silences(envelope, options.thresholdDb, options.minSilence), envelope.duration(),
                options.minPiece, options.maxPiece);
}

bool SilenceDetector::PlanFile(const QString &path, const Options &options, QVector<qint64> &cuts,
                               qint64 *duration, const std::atomic_bool *cancel)
{
    AudioEnvelope envelope;
    cuts.clear();
    if (!envelope.compute(path, cancel))
        return false;
    cuts = PlanCuts(envelope, options);
    if (duration)
        *duration = envelope.duration();
    return true;
}
