// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "engine/audiotranscoder.h"
#include "engine/outputplan.h"

// What a per-file job does, said once: its input, its filter graph and its
// output with the output plan. Both ways of running it are made from this:
// the ffmpeg child's argument list and the resident converter's request.
struct EncodePlan
{
    EncodePlan() = default;
    EncodePlan(QString input, QString filter, QString output, OutputPlan plan)
        : input(std::move(input)), filter(std::move(filter)), output(std::move(output)), plan(std::move(plan))
    {}

    QString input;
    QString filter; // "-af" graph; empty: none
    QString output; // the part file; empty: decode and filter only, to measure
    OutputPlan plan;
    // Played backwards through a private raw file (no raw file: forwards).
    // Only the resident converter takes it; the job's own children otherwise.
    AudioTranscoder::Reversal reverse;
    QString inputCodec = {}; // the input's audio codec as the job's probe found it; empty: unknown

    QStringList arguments() const;
    // Whether the resident converter does exactly what the arguments do: one
    // input, audio alone, and encoder options it knows.
    bool workerCovers() const;
    // The converter's request, under the job number `id`.
    QJsonObject request(quint64 id) const;
};
