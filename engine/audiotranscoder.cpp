// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/audiotranscoder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "engine/mediainput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {
// A measuring pass's log is read for its summary at the very end.
constexpr int LogKeepChars = 65536;
// Progress reports are this far apart at least.
constexpr auto ProgressEvery = std::chrono::milliseconds(100);

std::mutex logMutex;
QString *logSink = nullptr; // the running measuring pass's log

void captureLog(void *object, int level, const char *format, va_list arguments)
{
    if (level > AV_LOG_INFO)
        return;
    std::lock_guard<std::mutex> lock(logMutex);
    static int printPrefix = 1;
    char line[2048];
    av_log_format_line2(object, level, format, arguments, line, sizeof line, &printPrefix);
    if (logSink) {
        logSink->append(QString::fromUtf8(line));
        if (logSink->size() > LogKeepChars)
            logSink->remove(0, logSink->size() - LogKeepChars / 2);
    }
}

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// The output file, written through our own descriptor: it is opened without
// creating it, so a part file its job has already removed stays gone.
struct OutputFile
{
    int fd = -1;
    int error = 0; // the first failed write's

    static int write(void *opaque, uint8_t *buffer, int size)
    {
        auto *file = static_cast<OutputFile *>(opaque);
        for (int done = 0; done < size;) {
            const ssize_t wrote = ::write(file->fd, buffer + done, size_t(size - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0) {
                file->error = AVERROR(wrote < 0 ? errno : ENOSPC);
                return file->error;
            }
            done += int(wrote);
        }
        return size;
    }
    static int64_t seek(void *opaque, int64_t offset, int whence)
    {
        const int fd = static_cast<OutputFile *>(opaque)->fd;
        if (whence == AVSEEK_SIZE) {
            const off_t here = ::lseek(fd, 0, SEEK_CUR);
            const off_t end = ::lseek(fd, 0, SEEK_END);
            ::lseek(fd, here, SEEK_SET);
            return end < 0 ? AVERROR(errno) : int64_t(end);
        }
        const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }
};

// The timestamps ffmpeg gives the decoded audio: the container's, moved so
// that the input starts at zero and kept whole across its rounding; a frame
// without one takes the running clock's. Encoders carry them into the
// output: audio that starts late starts as late there.
struct InputClock
{
    AVRational base = {1, 1}; // the stream's
    int64_t offset = 0;       // added to the packets' timestamps
    int64_t dts = 0;          // microseconds, as packets and frames advance it
    int64_t lastPacketPts = AV_NOPTS_VALUE;
    int64_t lastEnd = AV_NOPTS_VALUE; // av_rescale_delta's

    void start(const AVFormatContext *in, const AVStream *stream)
    {
        base = stream->time_base;
        int64_t first = in->start_time;
        // A format with timestamp jumps starts where the audio starts.
        if (first != AV_NOPTS_VALUE && (in->iformat->flags & AVFMT_TS_DISCONT) &&
            stream->pts_wrap_bits < 64 && stream->start_time != AV_NOPTS_VALUE)
            first = std::max(first, av_rescale_q(stream->start_time, base, AV_TIME_BASE_Q));
        offset = first == AV_NOPTS_VALUE ? 0 : av_rescale_q(-first, AV_TIME_BASE_Q, base);
    }
    void read(AVPacket *packet)
    {
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts += offset;
        if (packet->dts != AV_NOPTS_VALUE) {
            packet->dts += offset;
            dts = av_rescale_q(packet->dts, base, AV_TIME_BASE_Q);
        }
    }
    // `from`: the packet just sent, for the first frame it gives; else null.
    void stamp(AVFrame *frame, const AVPacket *from, int rate)
    {
        if (rate <= 0)
            return;
        const int64_t clock = dts;
        dts += int64_t(AV_TIME_BASE) * frame->nb_samples / rate;
        AVRational frameBase = base;
        if (frame->pts == AV_NOPTS_VALUE) {
            frame->pts = clock;
            frameBase = AV_TIME_BASE_Q;
        }
        // A gap in the packets is kept, not smoothed over.
        if (from && from->duration && lastPacketPts != AV_NOPTS_VALUE && from->pts != AV_NOPTS_VALUE &&
            from->pts - lastPacketPts > from->duration)
            lastEnd = AV_NOPTS_VALUE;
        if (from)
            lastPacketPts = from->pts;
        const AVRational sampleBase = {1, rate};
        frame->pts =
            av_rescale_delta(frameBase, frame->pts, sampleBase, frame->nb_samples, &lastEnd, sampleBase);
    }
};

// One run's libav objects, freed in any case.
struct Session
{
    MediaInput input;
    AVStream *inStream = nullptr;
    AVCodecContext *decoder = nullptr;
    AVCodecContext *encoder = nullptr;
    AVFilterGraph *graph = nullptr;
    AVFilterContext *source = nullptr;
    AVFilterContext *sink = nullptr;
    AVFormatContext *muxer = nullptr;
    AVStream *outStream = nullptr;
    AVIOContext *io = nullptr;
    OutputFile file;
    OutputFile raw; // a reversal's samples
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    AVFrame *filtered = av_frame_alloc();
    AVChannelLayout sourceLayout = {};
    int sourceRate = 0;
    int sourceFormat = -1;
    InputClock clock;
    qint64 nextPts = 0; // of a reversal's blocks, in 1/sourceRate
    bool headerWritten = false;

    ~Session()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        av_frame_free(&filtered);
        avcodec_free_context(&decoder);
        avcodec_free_context(&encoder);
        avfilter_graph_free(&graph);
        av_channel_layout_uninit(&sourceLayout);
        if (muxer)
            avformat_free_context(muxer);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (file.fd >= 0)
            ::close(file.fd);
        if (raw.fd >= 0)
            ::close(raw.fd);
    }
};

QString option(const QStringList &encode, const QString &name)
{
    const int at = encode.indexOf(name);
    return at >= 0 && at + 1 < encode.size() ? encode.at(at + 1) : QString();
}

// ffmpeg's pick of an input's audio: the most channels, a default stream first.
int pickAudioStream(const AVFormatContext *context, int &audioStreams)
{
    int best = -1;
    qint64 bestScore = -1;
    audioStreams = 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream *stream = context->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        ++audioStreams;
        const qint64 score = stream->codecpar->ch_layout.nb_channels +
                             5000000 * !!(stream->disposition & AV_DISPOSITION_DEFAULT);
        if (score > bestScore) {
            bestScore = score;
            best = int(i);
        }
    }
    return best;
}

template<typename T, typename Name> QString joined(const T *list, T end, Name name)
{
    QStringList names;
    for (; list && *list != end; ++list)
        names << name(*list);
    return names.join(QLatin1Char('|'));
}

// The format the encoder is offered, as ffmpeg appends it to the tool's filters.
QString formatFilter(const AVCodec *codec, const QStringList &encode)
{
    QStringList parts;
    const QString formats = joined(codec->sample_fmts, AV_SAMPLE_FMT_NONE, [](AVSampleFormat f) {
        return QString::fromLatin1(av_get_sample_fmt_name(f));
    });
    if (!formats.isEmpty())
        parts << QStringLiteral("sample_fmts=") + formats;
    const QString rate = option(encode, QStringLiteral("-ar"));
    const QString rates =
        !rate.isEmpty() ? rate
                        : joined(codec->supported_samplerates, 0, [](int r) { return QString::number(r); });
    if (!rates.isEmpty())
        parts << QStringLiteral("sample_rates=") + rates;
    QStringList layouts;
    char name[128];
    const QString channels = option(encode, QStringLiteral("-ac"));
    if (!channels.isEmpty()) {
        AVChannelLayout layout = {};
        av_channel_layout_default(&layout, channels.toInt());
        av_channel_layout_describe(&layout, name, sizeof name);
        layouts << QString::fromLatin1(name);
    } else {
        for (const AVChannelLayout *layout = codec->ch_layouts; layout && layout->nb_channels; ++layout) {
            av_channel_layout_describe(layout, name, sizeof name);
            layouts << QString::fromLatin1(name);
        }
    }
    if (!layouts.isEmpty())
        parts << QStringLiteral("channel_layouts=") + layouts.join(QLatin1Char('|'));
    return parts.isEmpty() ? QString() : QStringLiteral("aformat=") + parts.join(QLatin1Char(':'));
}

bool buildGraph(Session &s, const QString &filter, const QStringList &encode, const AVCodec *codec,
                QString &reason)
{
    s.graph = avfilter_graph_alloc();
    if (!s.graph)
        return false;
    s.graph->nb_threads = 1;
    // As ffmpeg sets it for an encoder of 24-bit samples.
    if (codec && av_get_exact_bits_per_sample(codec->id) == 24)
        av_opt_set(s.graph, "aresample_swr_opts", "output_sample_bits=24", 0);
    char layout[128];
    av_channel_layout_describe(&s.sourceLayout, layout, sizeof layout);
    const QString sourceArgs = QStringLiteral("time_base=1/%1:sample_rate=%1:sample_fmt=%2:channel_layout=%3")
                                   .arg(s.sourceRate)
                                   .arg(QLatin1String(av_get_sample_fmt_name(AVSampleFormat(s.sourceFormat))))
                                   .arg(QLatin1String(layout));
    if (avfilter_graph_create_filter(&s.source, avfilter_get_by_name("abuffer"), "in",
                                     sourceArgs.toUtf8().constData(), nullptr, s.graph) < 0 ||
        avfilter_graph_create_filter(&s.sink, avfilter_get_by_name("abuffersink"), "out", nullptr, nullptr,
                                     s.graph) < 0)
        return false;
    QString chain = filter.isEmpty() ? QStringLiteral("anull") : filter;
    const QString format = codec ? formatFilter(codec, encode) : QString();
    if (!format.isEmpty())
        chain += QLatin1Char(',') + format;
    AVFilterInOut *outputs = avfilter_inout_alloc();
    AVFilterInOut *inputs = avfilter_inout_alloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = s.source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = s.sink;
    int result = avfilter_graph_parse_ptr(s.graph, chain.toUtf8().constData(), &inputs, &outputs, nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (result >= 0)
        result = avfilter_graph_config(s.graph, nullptr);
    if (result < 0)
        reason = QStringLiteral("Error initializing filters: ") + errorText(result);
    return result >= 0;
}

// `sourceBits`: the depth the samples came with, which ffmpeg passes on when
// no filter of the tool's stands between (FLAC writes it); below 0: filtered.
bool openEncoder(Session &s, const AudioTranscoder::Job &job, const AVCodec *codec, int sourceBits,
                 QString &reason)
{
    s.encoder = avcodec_alloc_context3(codec);
    if (!s.encoder)
        return false;
    AVCodecContext *e = s.encoder;
    e->sample_fmt = AVSampleFormat(av_buffersink_get_format(s.sink));
    e->sample_rate = av_buffersink_get_sample_rate(s.sink);
    av_buffersink_get_ch_layout(s.sink, &e->ch_layout);
    e->time_base = AVRational{1, e->sample_rate};
    if (sourceBits >= 0)
        e->bits_per_raw_sample = qMin(sourceBits, av_get_bytes_per_sample(e->sample_fmt) * 8);
    if (s.muxer->oformat->flags & AVFMT_GLOBALHEADER)
        e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "threads", "1", 0);
    const QString bitrate = option(job.encode, QStringLiteral("-b:a"));
    if (!bitrate.isEmpty())
        av_dict_set(&options, "b", bitrate.toUtf8().constData(), 0);
    const QString level = option(job.encode, QStringLiteral("-compression_level"));
    if (!level.isEmpty())
        av_dict_set(&options, "compression_level", level.toUtf8().constData(), 0);
    const QString quality = option(job.encode, QStringLiteral("-q:a"));
    if (!quality.isEmpty()) {
        e->flags |= AV_CODEC_FLAG_QSCALE;
        e->global_quality = int(FF_QP2LAMBDA * quality.toDouble());
    }
    const int result = avcodec_open2(e, codec, &options);
    av_dict_free(&options);
    if (result < 0) {
        reason = QStringLiteral("Error while opening encoder: ") + errorText(result);
        return false;
    }
    if (!(codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && e->frame_size > 0)
        av_buffersink_set_frame_size(s.sink, unsigned(e->frame_size));
    return true;
}

bool openOutput(Session &s, const AudioTranscoder::Job &job, QString &reason)
{
    const QByteArray path = QFile::encodeName(job.output);
    if (avformat_alloc_output_context2(&s.muxer, nullptr, nullptr, path.constData()) < 0 || !s.muxer) {
        reason = QStringLiteral("Unable to choose an output format for '%1'").arg(job.output);
        return false;
    }
    // An empty file is not truncated again: on ext4 that would make its close
    // wait for the data to be written out.
    s.file.fd = ::open(path.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info = {};
    if (s.file.fd >= 0 &&
        (::fstat(s.file.fd, &info) != 0 || (info.st_size > 0 && ::ftruncate(s.file.fd, 0) != 0))) {
        const int error = errno;
        ::close(s.file.fd);
        s.file.fd = -1;
        errno = error;
    }
    if (s.file.fd < 0) {
        reason = QStringLiteral("Error opening output file: ") + errorText(AVERROR(errno));
        return false;
    }
    constexpr int BufferSize = 65536;
    auto *buffer = static_cast<unsigned char *>(av_malloc(BufferSize));
    s.io = avio_alloc_context(buffer, BufferSize, 1, &s.file, nullptr, OutputFile::write, OutputFile::seek);
    if (!s.io)
        return false;
    s.muxer->pb = s.io;
    s.muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
    // Written a buffer at a time, not a packet at a time.
    s.muxer->flush_packets = 0;
    return true;
}

// Tags as ffmpeg carries them by default, or from the audio stream ("-map_metadata 0:s:N").
void copyTags(Session &s, const AudioTranscoder::Job &job)
{
    const AVFormatContext *in = s.input.context();
    const bool fromStream =
        option(job.encode, QStringLiteral("-map_metadata")).startsWith(QLatin1String("0:s:"));
    av_dict_copy(&s.muxer->metadata, fromStream ? s.inStream->metadata : in->metadata,
                 AV_DICT_DONT_OVERWRITE);
    // A reversal's stream comes from the raw samples, which carry no tags; tags
    // mapped from a stream are the file's alone, as ffmpeg then copies no stream's.
    if (job.reverse.raw.isEmpty() && !fromStream)
        av_dict_copy(&s.outStream->metadata, s.inStream->metadata, AV_DICT_DONT_OVERWRITE);
    // The encoder that made the stream, as ffmpeg names it (the MP3 header carries it).
    const QByteArray encoder = QByteArray(LIBAVCODEC_IDENT " ") + s.encoder->codec->name;
    av_dict_set(&s.outStream->metadata, "encoder", encoder.constData(), 0);
}

// The input's chapters with their tags, as ffmpeg carries them: moved by the
// input's start time, those that end before it left out. A container that
// holds none ignores them.
bool copyChapters(Session &s)
{
    const AVFormatContext *in = s.input.context();
    if (in->nb_chapters == 0)
        return true;
    s.muxer->chapters = static_cast<AVChapter **>(av_calloc(in->nb_chapters, sizeof(AVChapter *)));
    if (!s.muxer->chapters)
        return false;
    const int64_t start = in->start_time == AV_NOPTS_VALUE ? 0 : in->start_time;
    for (unsigned i = 0; i < in->nb_chapters; ++i) {
        const AVChapter *from = in->chapters[i];
        const int64_t offset = av_rescale_q(start, AVRational{1, AV_TIME_BASE}, from->time_base);
        if (from->end < offset)
            continue;
        auto *to = static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter)));
        if (!to)
            return false;
        to->id = from->id;
        to->time_base = from->time_base;
        to->start = std::max<int64_t>(0, from->start - offset);
        to->end = from->end - offset;
        s.muxer->chapters[s.muxer->nb_chapters++] = to;
        if (av_dict_copy(&to->metadata, from->metadata, 0) < 0)
            return false;
    }
    return true;
}

// Reads `size` bytes at `offset` of a file.
bool readAt(int fd, uint8_t *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, data, size_t(size), off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        offset += got;
        size -= got;
    }
    return true;
}

} // namespace

void AudioTranscoder::ReverseFrames(char *data, qint64 bytes, int frameBytes)
{
    char *first = data;
    char *last = data + bytes - frameBytes;
    for (; first < last; first += frameBytes, last -= frameBytes)
        std::swap_ranges(first, first + frameBytes, last);
}

const QStringList &AudioTranscoder::KnownOptions()
{
    static const QStringList known{QStringLiteral("-c:a"),          QStringLiteral("-b:a"),
                                   QStringLiteral("-q:a"),          QStringLiteral("-compression_level"),
                                   QStringLiteral("-ar"),           QStringLiteral("-ac"),
                                   QStringLiteral("-map_metadata"), QStringLiteral("-map_chapters")};
    return known;
}

AudioTranscoder::Outcome AudioTranscoder::Run(const Job &job, const std::atomic_bool &cancel,
                                              const std::function<void(qint64, int)> &progress,
                                              QString &reason, QString &log)
{
    static const bool logging = (av_log_set_callback(captureLog), true);
    Q_UNUSED(logging)
    {
        std::lock_guard<std::mutex> lock(logMutex);
        logSink = job.output.isEmpty() ? &log : nullptr;
    }
    struct LogEnd
    {
        ~LogEnd()
        {
            std::lock_guard<std::mutex> lock(logMutex);
            logSink = nullptr;
        }
    } logEnd;

    Session s;
    const auto failed = [&reason](const QString &why) {
        if (reason.isEmpty())
            reason = why;
        return Outcome::Failed;
    };
    if (!s.packet || !s.frame || !s.filtered)
        return failed(QStringLiteral("Out of memory"));
    if (!s.input.openFile(job.input) || !s.input.openMedia(-1, &cancel, job.codec))
        return cancel ? Outcome::Cancelled
                      : failed(job.input + QStringLiteral(": Invalid data found when processing input"));
    AVFormatContext *in = s.input.context();
    int audioStreams = 0;
    const int index = pickAudioStream(in, audioStreams);
    if (index < 0)
        return failed(QStringLiteral("Output file #0 does not contain any stream"));
    if (audioStreams > 1)
        return Outcome::Unsupported;
    s.inStream = in->streams[index];
    s.clock.start(in, s.inStream);
    for (unsigned i = 0; i < in->nb_streams; ++i)
        in->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVCodec *decoderCodec = avcodec_find_decoder(s.inStream->codecpar->codec_id);
    s.decoder = decoderCodec ? avcodec_alloc_context3(decoderCodec) : nullptr;
    if (!s.decoder || avcodec_parameters_to_context(s.decoder, s.inStream->codecpar) < 0)
        return failed(QStringLiteral("Decoder not found"));
    s.decoder->pkt_timebase = s.inStream->time_base;
    if (avcodec_open2(s.decoder, decoderCodec, nullptr) < 0)
        return failed(QStringLiteral("Error while opening decoder"));

    const AVCodec *encoderCodec = nullptr;
    if (!job.output.isEmpty()) {
        encoderCodec =
            avcodec_find_encoder_by_name(option(job.encode, QStringLiteral("-c:a")).toUtf8().constData());
        if (!encoderCodec)
            return Outcome::Unsupported;
        if (!openOutput(s, job, reason))
            return failed(reason);
        // ffmpeg would carry a subtitle stream into a container that takes one.
        for (unsigned i = 0; i < in->nb_streams; ++i) {
            if (in->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE &&
                s.muxer->oformat->subtitle_codec != AV_CODEC_ID_NONE)
                return Outcome::Unsupported;
        }
    }

    // A reversal's first pass writes raw samples as "-ar R -ac C -f s16le -c:a pcm_s16le" would.
    const bool reversing = !job.reverse.raw.isEmpty();
    bool toRaw = reversing;
    const AVCodec *rawCodec = nullptr;
    AVSampleFormat rawFormat = AV_SAMPLE_FMT_NONE;
    const QStringList rawEncode{QStringLiteral("-ar"), QString::number(job.reverse.rate),
                                QStringLiteral("-ac"), QString::number(job.reverse.channels)};
    int frameBytes = 0;
    if (reversing) {
        rawCodec = avcodec_find_encoder_by_name(("pcm_" + job.reverse.format.toLatin1()).constData());
        if (rawCodec && rawCodec->sample_fmts)
            rawFormat = rawCodec->sample_fmts[0];
        if (!encoderCodec || rawFormat == AV_SAMPLE_FMT_NONE || job.reverse.rate <= 0 ||
            job.reverse.channels <= 0)
            return Outcome::Unsupported;
        frameBytes = av_get_bytes_per_sample(rawFormat) * job.reverse.channels;
        s.raw.fd =
            ::open(QFile::encodeName(job.reverse.raw).constData(), O_RDWR | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
        if (s.raw.fd < 0)
            return failed(QStringLiteral("Error opening output file: ") + errorText(AVERROR(errno)));
    }

    // Each pass reports its first frame: the job hears at once which pass runs.
    std::chrono::steady_clock::time_point lastReport;
    qint64 reached = 0;
    // Encodes one frame (null: the end) and writes what comes out.
    const auto encode = [&](AVFrame *frame) -> int {
        int result = avcodec_send_frame(s.encoder, frame);
        while (result >= 0) {
            result = avcodec_receive_packet(s.encoder, s.packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return 0;
            if (result < 0)
                break;
            s.packet->stream_index = 0;
            av_packet_rescale_ts(s.packet, s.encoder->time_base, s.outStream->time_base);
            result = av_interleaved_write_frame(s.muxer, s.packet);
        }
        return result;
    };
    // Takes what the graph has ready (all of it at the end).
    const auto drain = [&]() -> int {
        for (;;) {
            if (cancel)
                return AVERROR_EXIT;
            int result = av_buffersink_get_frame(s.sink, s.filtered);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return 0;
            if (result < 0)
                return result;
            const AVRational base = av_buffersink_get_time_base(s.sink);
            if (s.filtered->pts != AV_NOPTS_VALUE)
                reached =
                    av_rescale_q(s.filtered->pts + s.filtered->nb_samples, base, AVRational{1, 1000000});
            if (toRaw) {
                result = OutputFile::write(&s.raw, s.filtered->data[0], s.filtered->nb_samples * frameBytes);
                result = qMin(result, 0);
            } else if (s.encoder) {
                if (s.filtered->pts != AV_NOPTS_VALUE)
                    s.filtered->pts = av_rescale_q(s.filtered->pts, base, s.encoder->time_base);
                result = encode(s.filtered);
            }
            av_frame_unref(s.filtered);
            if (result < 0)
                return result;
            const auto now = std::chrono::steady_clock::now();
            if (now - lastReport >= ProgressEvery) {
                lastReport = now;
                progress(reached, int(reversing && !toRaw));
            }
        }
    };
    // The graph and encoder are set up for the first decoded frame's format.
    const auto start = [&](const AVFrame *first) -> bool {
        s.sourceRate = first->sample_rate;
        s.sourceFormat = first->format;
        if (first->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&s.sourceLayout, first->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&s.sourceLayout, &first->ch_layout);
        // A reversal filters as it decodes; its encoder gets the raw samples as they are.
        if (!buildGraph(s, reversing && !toRaw ? QString() : job.filter, toRaw ? rawEncode : job.encode,
                        toRaw ? rawCodec : encoderCodec, reason))
            return false;
        if (!encoderCodec || toRaw)
            return true;
        // The depth a raw input brings: its 32-bit integers say 32.
        const int sourceBits = reversing              ? (rawFormat == AV_SAMPLE_FMT_S32 ? 32 : 0)
                               : job.filter.isEmpty() ? s.decoder->bits_per_raw_sample
                                                      : -1;
        s.outStream = avformat_new_stream(s.muxer, nullptr);
        if (!s.outStream || !openEncoder(s, job, encoderCodec, sourceBits, reason))
            return false;
        avcodec_parameters_from_context(s.outStream->codecpar, s.encoder);
        s.outStream->time_base = s.encoder->time_base;
        copyTags(s, job);
        // "-map_chapters -1": the tool's output keeps none.
        if (option(job.encode, QStringLiteral("-map_chapters")) != QLatin1String("-1") && !copyChapters(s)) {
            reason = QStringLiteral("Out of memory");
            return false;
        }
        const int result = avformat_write_header(s.muxer, nullptr);
        if (result < 0) {
            reason = QStringLiteral("Could not write header: ") + errorText(result);
            return false;
        }
        s.headerWritten = true;
        return true;
    };
    // Filters one decoded frame (null: the end).
    const auto filter = [&](AVFrame *frame) -> int {
        if (frame) {
            if (!s.graph) {
                if (!start(frame))
                    return AVERROR(EINVAL);
            } else if (frame->sample_rate != s.sourceRate || frame->format != s.sourceFormat ||
                       frame->ch_layout.nb_channels != s.sourceLayout.nb_channels) {
                return AVERROR_PATCHWELCOME;
            }
            if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
                av_channel_layout_copy(&frame->ch_layout, &s.sourceLayout);
        } else if (!s.graph) {
            return 0;
        }
        const int result = av_buffersrc_add_frame(s.source, frame);
        return result < 0 ? result : drain();
    };
    const auto decode = [&](const AVPacket *packet) -> int {
        int result = avcodec_send_packet(s.decoder, packet);
        // A damaged packet is skipped, as ffmpeg goes on past it.
        if (result < 0 && result != AVERROR_EOF && packet)
            return 0;
        for (const AVPacket *from = packet;; from = nullptr) {
            // Again, or the end, or a damaged frame: the next packet.
            if (avcodec_receive_frame(s.decoder, s.frame) < 0)
                return 0;
            s.clock.stamp(s.frame, from, s.decoder->sample_rate);
            result = filter(s.frame);
            av_frame_unref(s.frame);
            if (result < 0)
                return result;
        }
    };

    int result = 0;
    while (result >= 0) {
        if (cancel)
            return Outcome::Cancelled;
        if (av_read_frame(in, s.packet) < 0) {
            // The end, or a read error, which ends the input as with ffmpeg.
            result = 0;
            break;
        }
        if (s.packet->stream_index == index) {
            s.clock.read(s.packet);
            result = decode(s.packet);
        }
        av_packet_unref(s.packet);
    }
    if (result >= 0)
        result = decode(nullptr);
    if (result >= 0)
        result = filter(nullptr);
    if (reversing && result >= 0) {
        // The second pass: the raw file from its end, a block at a time, through a graph of its own.
        toRaw = false;
        avfilter_graph_free(&s.graph);
        s.source = s.sink = nullptr;
        av_channel_layout_uninit(&s.sourceLayout);
        reached = 0;
        lastReport = {};
        const qint64 blockBytes = ReverseBlockBytes / frameBytes * frameBytes;
        const off_t end = ::lseek(s.raw.fd, 0, SEEK_END);
        for (qint64 unread = qMax<qint64>(0, end) / frameBytes * frameBytes; unread > 0 && result >= 0;) {
            const qint64 size = qMin(unread, blockBytes);
            unread -= size;
            AVFrame *block = s.frame;
            block->format = rawFormat;
            block->sample_rate = job.reverse.rate;
            av_channel_layout_default(&block->ch_layout, job.reverse.channels);
            block->nb_samples = int(size / frameBytes);
            result = cancel ? AVERROR_EXIT : av_frame_get_buffer(block, 0);
            if (result >= 0 && !readAt(s.raw.fd, block->data[0], size, unread))
                result = AVERROR(EIO);
            if (result >= 0) {
                ReverseFrames(reinterpret_cast<char *>(block->data[0]), size, frameBytes);
                block->pts = s.nextPts;
                s.nextPts += block->nb_samples;
                result = filter(block);
            }
            av_frame_unref(block);
        }
        if (result >= 0)
            result = filter(nullptr);
    }
    if (cancel || result == AVERROR_EXIT)
        return Outcome::Cancelled;
    if (result == AVERROR_PATCHWELCOME)
        return Outcome::Unsupported;
    if (result >= 0 && s.encoder)
        result = encode(nullptr);
    if (result < 0)
        return failed(QStringLiteral("Error while processing: ") +
                      errorText(s.file.error ? s.file.error : result));
    if (s.muxer) {
        if (!s.headerWritten)
            return failed(QStringLiteral("Output file is empty, nothing was encoded"));
        result = av_write_trailer(s.muxer);
        avio_flush(s.io);
        if (result < 0 || s.file.error)
            return failed(QStringLiteral("Error writing trailer: ") +
                          errorText(s.file.error ? s.file.error : result));
    }
    progress(reached, int(reversing));
    return Outcome::Done;
}
