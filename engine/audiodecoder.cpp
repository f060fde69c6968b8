// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/audiodecoder.h"

#include <cstring>

#include <QByteArray>

#include "engine/mediainput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

struct AudioDecoder::Private
{
    ~Private()
    {
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }

    bool nextFrame();
    bool convertFrame();
    // Of `made` frames at `rate` from the current frame, how many lie before a seek's time.
    int framesToDrop(int made, int rate);

    MediaInput input;
    AVCodecContext *codec = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    SwrContext *resampler = nullptr;
    int stream = -1;
    AVSampleFormat outFormat = AV_SAMPLE_FMT_FLT;
    int outChannels = 0;
    int outRate = 0;
    int frameBytes = 0;
    bool draining = false;
    bool ended = false;
    qint64 skipUntil = -1; // stream time in microseconds: output before it is dropped after a seek
    QByteArray pending;
    int pendingOffset = 0;
};

AudioDecoder::AudioDecoder() = default;
AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::open(const QString &path, Format format, int channels, int rate,
                        const std::atomic_bool *cancel)
{
    d.reset(new Private);
    if (!d->input.openFile(path) || !d->input.openMedia(-1, cancel))
        return false;
    AVFormatContext *context = d->input.context();
    const AVCodec *decoder = nullptr;
    d->stream = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (d->stream < 0 || !decoder)
        return false;
    // Only the chosen stream is read.
    for (unsigned i = 0; i < context->nb_streams; ++i)
        context->streams[i]->discard = int(i) == d->stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    d->codec = avcodec_alloc_context3(decoder);
    if (!d->codec || avcodec_parameters_to_context(d->codec, context->streams[d->stream]->codecpar) < 0)
        return false;
    d->codec->thread_count = 1;
    if (avcodec_open2(d->codec, decoder, nullptr) < 0)
        return false;
    d->packet = av_packet_alloc();
    d->frame = av_frame_alloc();
    d->outFormat = format == Int16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLT;
    d->outChannels = channels > 0 ? channels : qBound(1, d->codec->ch_layout.nb_channels, 8);
    d->outRate = rate > 0 ? rate : d->codec->sample_rate;
    d->frameBytes = d->outChannels * av_get_bytes_per_sample(d->outFormat);
    return d->packet && d->frame && d->outRate > 0;
}

int AudioDecoder::channels() const
{
    return d ? d->outChannels : 0;
}

int AudioDecoder::sampleRate() const
{
    return d ? d->outRate : 0;
}

int AudioDecoder::bytesPerFrame() const
{
    return d ? d->frameBytes : 0;
}

qint64 AudioDecoder::duration() const
{
    const AVFormatContext *context = d ? d->input.context() : nullptr;
    return context && context->duration != AV_NOPTS_VALUE && context->duration > 0 ? context->duration : 0;
}

bool AudioDecoder::seek(qint64 microseconds)
{
    if (!d || !d->codec)
        return false;
    d->pending.clear();
    d->pendingOffset = 0;
    d->draining = false;
    d->ended = false;
    // Time 0 is the first sample decoded from the start; its timestamp is the
    // stream's start (an MP3's encoder delay puts it past 0).
    const AVStream *stream = d->input.context()->streams[d->stream];
    const qint64 origin =
        stream->start_time == AV_NOPTS_VALUE
            ? 0
            : av_rescale_q(stream->start_time, stream->time_base, AVRational{1, AV_TIME_BASE});
    // A little earlier, so that a decoder that builds on the frames before
    // (an MP3's bit reservoir) is settled at the wanted time.
    constexpr qint64 Preroll = 100000;
    const qint64 target = origin + microseconds;
    if (av_seek_frame(d->input.context(), -1, qMax(origin, target - Preroll), AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(d->codec);
    d->skipUntil = target;
    return true;
}

bool AudioDecoder::Private::nextFrame()
{
    for (;;) {
        const int got = avcodec_receive_frame(codec, frame);
        if (got == 0)
            return true;
        if (got != AVERROR(EAGAIN) || input.interrupted())
            return false;
        // The decoder wants more: the next packet of our stream, or the end.
        int read = 0;
        while ((read = av_read_frame(input.context(), packet)) == 0 && packet->stream_index != stream)
            av_packet_unref(packet);
        if (read < 0) {
            if (draining)
                return false;
            draining = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        const int sent = avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        // A damaged packet is skipped, as players do.
        if (sent < 0 && sent != AVERROR_INVALIDDATA)
            return false;
    }
}

int AudioDecoder::Private::framesToDrop(int made, int rate)
{
    if (skipUntil < 0)
        return 0;
    // After a seek: drop what lies before the wanted time.
    const qint64 pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) {
        skipUntil = -1;
        return 0;
    }
    const qint64 at =
        av_rescale_q(pts, input.context()->streams[stream]->time_base, AVRational{1, AV_TIME_BASE});
    const qint64 drop = (skipUntil - at) * rate / AV_TIME_BASE;
    if (drop < made)
        skipUntil = -1;
    return int(qBound<qint64>(0, drop, made));
}

bool AudioDecoder::Private::convertFrame()
{
    if (!resampler) {
        AVChannelLayout inLayout = {};
        if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
            av_channel_layout_default(&inLayout, qMax(1, frame->ch_layout.nb_channels));
        else
            av_channel_layout_copy(&inLayout, &frame->ch_layout);
        AVChannelLayout outLayout = {};
        av_channel_layout_default(&outLayout, outChannels);
        const int made = swr_alloc_set_opts2(&resampler, &outLayout, outFormat, outRate, &inLayout,
                                             AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&inLayout);
        av_channel_layout_uninit(&outLayout);
        if (made < 0 || swr_init(resampler) < 0)
            return false;
    }
    const int room = swr_get_out_samples(resampler, frame->nb_samples);
    if (room < 0)
        return false;
    pending.resize(room * frameBytes);
    auto *out = reinterpret_cast<uint8_t *>(pending.data());
    const int made = swr_convert(resampler, &out, room, const_cast<const uint8_t **>(frame->extended_data),
                                 frame->nb_samples);
    if (made < 0)
        return false;
    pending.resize(made * frameBytes);
    pendingOffset = framesToDrop(made, outRate) * frameBytes;
    return true;
}

int AudioDecoder::read(void *out, int maxFrames)
{
    if (!d || !d->codec || maxFrames <= 0)
        return 0;
    auto *target = static_cast<char *>(out);
    int done = 0;
    while (done < maxFrames && !d->ended) {
        if (d->pendingOffset >= d->pending.size()) {
            if (d->input.interrupted() || !d->nextFrame() || !d->convertFrame()) {
                d->ended = true;
                break;
            }
            av_frame_unref(d->frame);
            continue;
        }
        const int available = (d->pending.size() - d->pendingOffset) / d->frameBytes;
        const int take = qMin(available, maxFrames - done);
        std::memcpy(target + done * d->frameBytes, d->pending.constData() + d->pendingOffset,
                    size_t(take) * size_t(d->frameBytes));
        d->pendingOffset += take * d->frameBytes;
        done += take;
    }
    return done;
}

bool AudioDecoder::nextBlock(Block &block)
{
    if (!d || !d->codec || d->ended)
        return false;
    av_frame_unref(d->frame);
    if (d->input.interrupted() || !d->nextFrame()) {
        d->ended = true;
        return false;
    }
    const auto format = AVSampleFormat(d->frame->format);
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_FLT:
        block.type = Block::F32;
        break;
    case AV_SAMPLE_FMT_DBL:
        block.type = Block::F64;
        break;
    case AV_SAMPLE_FMT_S16:
        block.type = Block::S16;
        break;
    case AV_SAMPLE_FMT_S32:
        block.type = Block::S32;
        break;
    case AV_SAMPLE_FMT_U8:
        block.type = Block::U8;
        break;
    default:
        d->ended = true;
        return false;
    }
    block.planes = d->frame->extended_data;
    block.planar = av_sample_fmt_is_planar(format);
    block.channels = qMax(1, d->frame->ch_layout.nb_channels);
    block.frames = d->frame->nb_samples;
    block.first = d->framesToDrop(block.frames, d->frame->sample_rate);
    return true;
}
