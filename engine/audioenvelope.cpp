// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/audioenvelope.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "engine/audiodecoder.h"

namespace {

constexpr qint64 Second = 1000000;

// The windows of [from, to) microseconds of a file (to < 0: its end); the
// decoded length of that part goes to `frames` at `rate`.
bool readPart(const QString &path, qint64 from, qint64 to, const std::atomic_bool *cancel,
              QVector<float> &peaks, qint64 &frames, qint64 &rate)
{
    AudioDecoder decoder;
    if (!decoder.open(path, AudioDecoder::Float, 0, 0, cancel) || (from > 0 && !decoder.seek(from)))
        return false;
    const int channels = decoder.channels();
    rate = decoder.sampleRate();
    const qint64 lastFrame = to < 0 ? -1 : (to - from) * rate / Second;
    constexpr int ChunkFrames = 8192;
    std::vector<float> chunk(size_t(ChunkFrames) * size_t(channels));
    frames = 0;
    // Window k holds frames [k * rate / 100, (k + 1) * rate / 100): exact for any rate.
    qint64 windowEnd = rate * AudioEnvelope::WindowUs / Second;
    float level = 0.0f;
    for (;;) {
        int got = decoder.read(chunk.data(), ChunkFrames);
        if (lastFrame >= 0)
            got = int(qMin<qint64>(got, lastFrame - frames));
        if (got <= 0)
            break;
        const float *sample = chunk.data();
        int left = got;
        while (left > 0) {
            const int take = int(qMin<qint64>(left, windowEnd - frames));
            for (const float *end = sample + take * channels; sample < end; ++sample)
                level = std::max(level, std::fabs(*sample));
            frames += take;
            left -= take;
            if (frames == windowEnd) {
                peaks.append(std::min(level, 1.0f));
                level = 0.0f;
                windowEnd = (qint64(peaks.size()) + 1) * rate * AudioEnvelope::WindowUs / Second;
            }
        }
    }
    if (frames > qint64(peaks.size()) * rate * AudioEnvelope::WindowUs / Second)
        peaks.append(std::min(level, 1.0f));
    return !(cancel && cancel->load()) && frames > 0;
}

} // namespace

bool AudioEnvelope::compute(const QString &path, const std::atomic_bool *cancel)
{
    peaks.clear();
    length = 0;
    qint64 expected = 0;
    {
        AudioDecoder probe;
        if (!probe.open(path, AudioDecoder::Float, 0, 0, cancel))
            return false;
        expected = probe.duration();
    }
    // A long file is read in two halves at once, one per core: the strip
    // appears in about half the time.
    const bool halves = expected > 60 * Second && std::thread::hardware_concurrency() >= 2;
    const qint64 middle = expected / 2 / WindowUs * WindowUs;
    QVector<float> first;
    QVector<float> second;
    qint64 firstFrames = 0, secondFrames = 0, rate = 0, secondRate = 0;
    first.reserve(int(expected / WindowUs) + 2);
    bool secondRead = true;
    std::thread other;
    if (halves) {
        second.reserve(int(expected / WindowUs / 2) + 2);
        other = std::thread(
            [&] { secondRead = readPart(path, middle, -1, cancel, second, secondFrames, secondRate); });
    }
    const bool firstRead = readPart(path, 0, halves ? middle : -1, cancel, first, firstFrames, rate);
    if (other.joinable())
        other.join();
    if (!firstRead || !secondRead)
        return false;
    qint64 frames = firstFrames;
    if (halves) {
        first += second;
        frames += secondFrames;
    }
    peaks = first;
    peaks.squeeze();
    length = rate > 0 ? frames * Second / rate : 0;
    return true;
}

void AudioEnvelope::setWindows(const QVector<float> &windows, qint64 duration)
{
    peaks = windows;
    length = duration;
}

float AudioEnvelope::peak(qint64 from, qint64 to) const
{
    const int first = int(qMax<qint64>(0, from / WindowUs));
    if (first >= peaks.size())
        return 0.0f;
    // A span shorter than a window still reads the window it lies in.
    const int last = int(qBound<qint64>(first + 1, (to + WindowUs - 1) / WindowUs, peaks.size()));
    float level = 0.0f;
    for (int i = first; i < last; ++i)
        level = std::max(level, peaks.at(i));
    return level;
}

QVector<float> AudioEnvelope::bins(int count, qint64 from, qint64 to) const
{
    QVector<float> out;
    if (count <= 0 || peaks.isEmpty())
        return out;
    if (to < 0)
        to = length;
    out.reserve(count);
    const double span = double(qMax<qint64>(1, to - from)) / count;
    for (int i = 0; i < count; ++i) {
        const qint64 start = from + qint64(span * i);
        const qint64 end = from + qint64(span * (i + 1));
        out.append(start >= length ? 0.0f : peak(start, end));
    }
    return out;
}
