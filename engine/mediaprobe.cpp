#include "engine/mediaprobe.h"

#include "common/qcommonutils.h"
#include "engine/mediainput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

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
