// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>
#include <memory>

#include <QString>
#include <QtGlobal>

// Decodes the best audio stream of a file in-process (MediaInput opens it)
// into interleaved samples of a chosen format, channel count and rate.
class AudioDecoder
{
public:
    enum Format
    {
        Float, // 32-bit float, -1 to 1
        Int16
    };

    AudioDecoder();
    ~AudioDecoder();

    // `channels` and `rate` 0 keep the file's. Reading stops for good once
    // `cancel` turns true.
    bool open(const QString &path, Format format, int channels = 0, int rate = 0,
              const std::atomic_bool *cancel = nullptr);
    int channels() const;
    int sampleRate() const;
    int bytesPerFrame() const;
    // The container's length in microseconds (0: unknown).
    qint64 duration() const;

    // The next read starts at `microseconds` into the stream.
    bool seek(qint64 microseconds);
    // Up to `maxFrames` frames into `out`; 0 at the end, on an error or once cancelled.
    int read(void *out, int maxFrames);

    // The samples of one decoded frame as the decoder made them, neither
    // converted nor copied: a pass that only reads levels needs no more.
    struct Block
    {
        enum Type
        {
            F32,
            F64,
            S16,
            S32,
            U8
        };
        const quint8 *const *planes; // one per channel when planar, else one interleaved
        bool planar;
        Type type;
        int channels;
        int first;  // frames before it are dropped (they lie before a seek's time)
        int frames; // the frame count, `first` included
    };
    // The next frame's block, valid until the next call; false at the end, on
    // an error, once cancelled or for a sample type not listed. Not to be
    // mixed with read().
    bool nextBlock(Block &block);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
