// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/audioenvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/audiodecoder.h"

namespace {

constexpr qint64 Second = 1000000;

// The highest absolute value of `count` floats.
float floatPeak(const float *sample, int count)
{
    float level = 0.0f;
    int i = 0;
#if defined(__SSE2__)
    // Four at a time: the decoder's own output is scanned as it comes, so
    // this loop is most of what the envelope adds to decoding.
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 high = _mm_setzero_ps();
    for (; i + 4 <= count; i += 4)
        high = _mm_max_ps(high, _mm_and_ps(_mm_loadu_ps(sample + i), magnitude));
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, high);
    level = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#endif
    for (; i < count; ++i)
        level = std::max(level, std::fabs(sample[i]));
    return level;
}

template<typename T> float integerPeak(const T *sample, int count, double zero, double scale)
{
    T low = std::numeric_limits<T>::max();
    T high = std::numeric_limits<T>::lowest();
    for (int i = 0; i < count; ++i) {
        low = std::min(low, sample[i]);
        high = std::max(high, sample[i]);
    }
    return count > 0 ? float(std::max(double(high) - zero, zero - double(low)) / scale) : 0.0f;
}

float samplesPeak(AudioDecoder::Block::Type type, const quint8 *data, int count)
{
    switch (type) {
    case AudioDecoder::Block::F32:
        return floatPeak(reinterpret_cast<const float *>(data), count);
    case AudioDecoder::Block::F64: {
        const auto *sample = reinterpret_cast<const double *>(data);
        double level = 0.0;
        for (int i = 0; i < count; ++i)
            level = std::max(level, std::fabs(sample[i]));
        return float(level);
    }
    case AudioDecoder::Block::S16:
        return integerPeak(reinterpret_cast<const qint16 *>(data), count, 0.0, 32768.0);
    case AudioDecoder::Block::S32:
        return integerPeak(reinterpret_cast<const qint32 *>(data), count, 0.0, 2147483648.0);
    case AudioDecoder::Block::U8:
        return integerPeak(data, count, 128.0, 128.0);
    }
    return 0.0f;
}

int sampleBytes(AudioDecoder::Block::Type type)
{
    static constexpr int Bytes[] = {4, 8, 2, 4, 1};
    return Bytes[type];
}

// The highest sample over all channels of frames [from, to) of a block.
float blockPeak(const AudioDecoder::Block &block, int from, int to)
{
    const int bytes = sampleBytes(block.type);
    if (!block.planar)
        return samplesPeak(block.type, block.planes[0] + qint64(from) * block.channels * bytes,
                           (to - from) * block.channels);
    float level = 0.0f;
    for (int c = 0; c < block.channels; ++c)
        level = std::max(level, samplesPeak(block.type, block.planes[c] + qint64(from) * bytes, to - from));
    return level;
}

struct Part
{
    QVector<float> peaks;
    qint64 frames = 0;
    qint64 rate = 0;
};

// The windows of [from, to) microseconds of an opened file (to < 0: its
// end), read from the decoder's own samples.
bool readPart(AudioDecoder &decoder, qint64 from, qint64 to, const std::atomic_bool *cancel, Part &part)
{
    if (from > 0 && !decoder.seek(from))
        return false;
    const qint64 rate = part.rate = decoder.sampleRate();
    const qint64 lastFrame = to < 0 ? -1 : (to - from) * rate / Second;
    QVector<float> &peaks = part.peaks;
    qint64 &frames = part.frames;
    // Window k holds frames [k * rate / 100, (k + 1) * rate / 100): exact for any rate.
    qint64 windowEnd = rate * AudioEnvelope::WindowUs / Second;
    float level = 0.0f;
    AudioDecoder::Block block;
    while ((lastFrame < 0 || frames < lastFrame) && decoder.nextBlock(block)) {
        int at = block.first;
        const int end =
            lastFrame < 0 ? block.frames : int(qMin<qint64>(block.frames, at + lastFrame - frames));
        while (at < end) {
            const int take = int(qMin<qint64>(end - at, windowEnd - frames));
            level = std::max(level, blockPeak(block, at, at + take));
            frames += take;
            at += take;
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
    AudioDecoder decoder;
    if (!decoder.open(path, AudioDecoder::Float, 0, 0, cancel))
        return false;
    const qint64 expected = decoder.duration();
    // A long file is read in two halves at once, one per core: the strip
    // appears in about half the time.
    const bool halves = expected > 60 * Second && std::thread::hardware_concurrency() >= 2;
    const qint64 middle = expected / 2 / WindowUs * WindowUs;
    Part first;
    Part second;
    first.peaks.reserve(int(expected / WindowUs) + 2);
    bool secondRead = true;
    std::thread other;
    if (halves) {
        second.peaks.reserve(int(expected / WindowUs / 2) + 2);
        other = std::thread([&] {
            AudioDecoder latter;
            secondRead = latter.open(path, AudioDecoder::Float, 0, 0, cancel) &&
                         readPart(latter, middle, -1, cancel, second);
        });
    }
    const bool firstRead = readPart(decoder, 0, halves ? middle : -1, cancel, first);
    if (other.joinable())
        other.join();
    if (!firstRead || !secondRead)
        return false;
    qint64 frames = first.frames;
    if (halves) {
        first.peaks += second.peaks;
        frames += second.frames;
    }
    peaks = std::move(first.peaks);
    peaks.squeeze();
    length = first.rate > 0 ? frames * Second / first.rate : 0;
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
