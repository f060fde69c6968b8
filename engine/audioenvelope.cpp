#include "engine/audioenvelope.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/audiodecoder.h"

bool AudioEnvelope::compute(const QString &path, const std::atomic_bool *cancel)
{
    peaks.clear();
    length = 0;
    AudioDecoder decoder;
    if (!decoder.open(path, AudioDecoder::Float, 0, 0, cancel))
        return false;
    const int channels = decoder.channels();
    const qint64 rate = decoder.sampleRate();
    if (decoder.duration() > 0)
        peaks.reserve(int(decoder.duration() / WindowUs) + 2);

    constexpr int ChunkFrames = 8192;
    std::vector<float> chunk(size_t(ChunkFrames) * size_t(channels));
    qint64 frames = 0;
    // Window k holds frames [k * rate / 100, (k + 1) * rate / 100): exact for any rate.
    qint64 windowEnd = rate * WindowUs / 1000000;
    float level = 0.0f;
    for (;;) {
        const int got = decoder.read(chunk.data(), ChunkFrames);
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
                windowEnd = (qint64(peaks.size()) + 1) * rate * WindowUs / 1000000;
            }
        }
    }
    if (cancel && cancel->load()) {
        peaks.clear();
        return false;
    }
    if (frames > (qint64(peaks.size())) * rate * WindowUs / 1000000)
        peaks.append(std::min(level, 1.0f));
    length = rate > 0 ? frames * 1000000 / rate : 0;
    peaks.squeeze();
    return frames > 0;
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
