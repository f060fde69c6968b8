#include "engine/mediaprobe.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>

#include "common/qcommonutils.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

struct Source
{
    int fd = -1;
    QElapsedTimer clock;
    int deadlineMs = 0;
};

int readBytes(void *opaque, uint8_t *buffer, int size)
{
    const ssize_t got = ::read(static_cast<Source *>(opaque)->fd, buffer, size_t(size));
    if (got == 0)
        return AVERROR_EOF;
    return got < 0 ? AVERROR(errno) : int(got);
}

int64_t seekTo(void *opaque, int64_t offset, int whence)
{
    const int fd = static_cast<Source *>(opaque)->fd;
    if (whence == AVSEEK_SIZE) {
        struct stat info = {};
        return ::fstat(fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

int pastDeadline(void *opaque)
{
    const Source *source = static_cast<const Source *>(opaque);
    return source->clock.elapsed() > source->deadlineMs ? 1 : 0;
}

// A file names no other file for us to open: playlists, references and
// sequences stay unread.
int refuseNestedOpen(AVFormatContext *, AVIOContext **, const char *, int, AVDictionary **)
{
    return AVERROR(EPERM);
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
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    Q_UNUSED(quiet)
    facts = Facts();
    Source source;
    // Non-blocking: opening a FIFO must not wait for a writer.
    source.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source.fd < 0)
        return false;
    struct stat info = {};
    if (::fstat(source.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(source.fd);
        return false;
    }
    source.clock.start();
    source.deadlineMs = deadlineMs;

    constexpr int BufferSize = 32768;
    auto *buffer = static_cast<unsigned char *>(av_malloc(BufferSize));
    AVIOContext *io =
        buffer ? avio_alloc_context(buffer, BufferSize, 0, &source, readBytes, nullptr, seekTo) : nullptr;
    AVFormatContext *context = io ? avformat_alloc_context() : nullptr;
    if (context) {
        context->pb = io;
        context->flags |= AVFMT_FLAG_CUSTOM_IO;
        context->interrupt_callback.callback = pastDeadline;
        context->interrupt_callback.opaque = &source;
        context->io_open = refuseNestedOpen;
        // The name only hints at the format; the bytes come from our descriptor.
        if (avformat_open_input(&context, QFile::encodeName(path).constData(), nullptr, nullptr) == 0) {
            if (avformat_find_stream_info(context, nullptr) >= 0 || context->nb_streams > 0) {
                if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
                    facts.duration = context->duration; // AV_TIME_BASE is a microsecond
                const int audio = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
                if (audio >= 0)
                    readStream(context, audio, facts);
            }
            avformat_close_input(&context);
        } else {
            context = nullptr; // freed by the failed open
        }
    }
    if (io) {
        av_freep(&io->buffer);
        avio_context_free(&io);
    } else {
        av_free(buffer);
    }
    ::close(source.fd);
    return true;
}
