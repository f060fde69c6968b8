// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>

#include <QString>
#include <QVector>
#include <QtGlobal>

// The loudness outline of a file: the highest sample (0 to 1, over all
// channels) of every 10 ms of its decoded audio. The waveform is drawn from
// it and silences are found in it, so a file is decoded once for both.
class AudioEnvelope
{
public:
    static constexpr qint64 WindowUs = 10000;

    // Decodes `path`; false when it holds no decodable audio or `cancel` turned true.
    bool compute(const QString &path, const std::atomic_bool *cancel = nullptr);

    // Microseconds of decoded audio.
    qint64 duration() const { return length; }
    const QVector<float> &windows() const { return peaks; }
    bool isEmpty() const { return peaks.isEmpty(); }

    // The peaks of `count` equal spans of [from, to) microseconds (to < 0:
    // the end), each the highest window it touches: one per pixel of a strip.
    QVector<float> bins(int count, qint64 from = 0, qint64 to = -1) const;
    // The highest peak within [from, to) microseconds.
    float peak(qint64 from, qint64 to) const;

    // For tests and callers that already hold windows.
    void setWindows(const QVector<float> &windows, qint64 duration);

private:
    QVector<float> peaks;
    qint64 length = 0;
};
