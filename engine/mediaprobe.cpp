// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/mediaprobe.h"

#include "common/qcommonutils.h"
#include "engine/mediainput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

// The tags whose place (file or stream) decides where an output takes them from.
const char *const KeptTags[] = {"title", "artist", "album", "track", "date", "genre", "comment"};

bool holdsTags(const AVDictionary *tags)
{
    for (const char *key : KeptTags) {
        if (av_dict_get(tags, key, nullptr, 0))
            return true;
    }
    return false;
}

void readTraits(const AVFormatContext *context, int index, AudioTraits &traits)
{
    const AVCodecParameters *parameters = context->streams[index]->codecpar;
    traits.audioStream = index;
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(parameters->codec_id);
    // Codecs that can be either (WavPack) count as lossy: the file may be.
    traits.lossless = descriptor && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
                      !(descriptor->props & AV_CODEC_PROP_LOSSY);
    if (traits.lossless) {
        traits.bitsPerSample = parameters->bits_per_raw_sample > 0
                                   ? parameters->bits_per_raw_sample
                                   : av_get_bits_per_sample(parameters->codec_id);
        traits.floatSamples = descriptor->name && QByteArray(descriptor->name).startsWith("pcm_f");
    }
    traits.tagsInStream = !holdsTags(context->metadata) && holdsTags(context->streams[index]->metadata);
    const AVDictionary *tags = traits.tagsInStream ? context->streams[index]->metadata : context->metadata;
    const auto tag = [tags](const char *key) {
        const AVDictionaryEntry *entry = av_dict_get(tags, key, nullptr, 0);
        return entry ? QString::fromUtf8(entry->value) : QString();
    };
    traits.artist = tag("artist");
    traits.title = tag("title");
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream *stream = context->streams[i];
        const AVCodecID codec = stream->codecpar->codec_id;
        if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
            (codec == AV_CODEC_ID_PNG || codec == AV_CODEC_ID_MJPEG)) {
            traits.coverStream = int(i);
            break;
        }
    }
}

void readStream(const AVFormatContext *context, int index, MediaProbe::Facts &facts)
{
    const AVCodecParameters *parameters = context->streams[index]->codecpar;
    facts.hasAudio = true;
    facts.codecName = QString::fromUtf8(avcodec_get_name(parameters->codec_id));
    facts.sampleRate = parameters->sample_rate;
    facts.channels = parameters->ch_layout.nb_channels;
    // As the stream line counts it: PCM by its sample size, others as stored.
    const int bitsPerSample = av_get_bits_per_sample(parameters->codec_id);
    const qint64 bitRate = bitsPerSample > 0 ? qint64(bitsPerSample) * parameters->sample_rate *
                                                   parameters->ch_layout.nb_channels
                                             : qint64(parameters->bit_rate);
    facts.bitRate = int(qBound<qint64>(0, bitRate, INT_MAX));
    readTraits(context, index, facts.traits);

    // The line ffmpeg prints for the stream, cleaned as the row has always shown it.
    AVCodecContext *codec = avcodec_alloc_context3(nullptr);
    char text[256] = {};
    if (codec && avcodec_parameters_to_context(codec, parameters) >= 0)
        avcodec_string(text, sizeof text, codec, 0);
    avcodec_free_context(&codec);
    QString line = QStringLiteral("Stream #0:%1: ").arg(index) + QString::fromUtf8(text);
    QCommonUtils::RemoveSubStr(line, QStringLiteral("("), QStringLiteral(")"), 0);
    facts.streamInfo = line.simplified().replace(QStringLiteral(" ,"), QStringLiteral(","));
}

} // namespace

bool MediaProbe::Read(const QString &path, Facts &facts, int deadlineMs)
{
    facts = Facts();
    MediaInput input;
    if (!input.openFile(path))
        return false;
    if (input.openMedia(deadlineMs)) {
        const AVFormatContext *context = input.context();
        if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
            facts.duration = context->duration; // AV_TIME_BASE is a microsecond
        const int audio = av_find_best_stream(input.context(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (audio >= 0)
            readStream(context, audio, facts);
    }
    return true;
}

bool MediaProbe::ReadCover(const QString &path, int stream, Cover &cover, int deadlineMs)
{
    cover = Cover();
    MediaInput input;
    if (!input.openFile(path) || !input.openMedia(deadlineMs))
        return false;
    const AVFormatContext *context = input.context();
    if (stream < 0 || unsigned(stream) >= context->nb_streams)
        return false;
    const AVStream *picture = context->streams[stream];
    const AVCodecID codec = picture->codecpar->codec_id;
    if (!(picture->disposition & AV_DISPOSITION_ATTACHED_PIC) || picture->attached_pic.size <= 0 ||
        (codec != AV_CODEC_ID_PNG && codec != AV_CODEC_ID_MJPEG))
        return false;
    cover.data =
        QByteArray(reinterpret_cast<const char *>(picture->attached_pic.data), picture->attached_pic.size);
    cover.mimeType = codec == AV_CODEC_ID_PNG ? QStringLiteral("image/png") : QStringLiteral("image/jpeg");
    cover.width = picture->codecpar->width;
    cover.height = picture->codecpar->height;
    return true;
}
