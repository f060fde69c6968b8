// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/mediainput.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {
// A file names no other file for us to open: playlists, references and
// sequences stay unread.
int refuseNestedOpen(AVFormatContext *, AVIOContext **, const char *, int, AVDictionary **)
{
    return AVERROR(EPERM);
}
} // namespace

MediaInput::~MediaInput()
{
    closeMedia();
    if (fd >= 0)
        ::close(fd);
}

void MediaInput::closeMedia()
{
    if (format)
        avformat_close_input(&format);
    if (io) {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
}

int MediaInput::readBytes(void *opaque, unsigned char *buffer, int size)
{
    const ssize_t got = ::read(static_cast<MediaInput *>(opaque)->fd, buffer, size_t(size));
    if (got == 0)
        return AVERROR_EOF;
    return got < 0 ? AVERROR(errno) : int(got);
}

int64_t MediaInput::seekTo(void *opaque, int64_t offset, int whence)
{
    const int fd = static_cast<MediaInput *>(opaque)->fd;
    if (whence == AVSEEK_SIZE) {
        struct stat info = {};
        return ::fstat(fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

int MediaInput::stopRequested(void *opaque)
{
    return static_cast<const MediaInput *>(opaque)->interrupted() ? 1 : 0;
}

bool MediaInput::interrupted() const
{
    return (cancel && cancel->load()) || (deadlineMs >= 0 && clock.elapsed() > deadlineMs);
}

bool MediaInput::openFile(const QString &filePath)
{
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    Q_UNUSED(quiet)
    path = filePath;
    // Non-blocking: opening a FIFO must not wait for a writer.
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        fd = -1;
        return false;
    }
    return true;
}

bool MediaInput::openMedia(int deadline, const std::atomic_bool *cancelFlag, const QString &knownCodec)
{
    if (fd < 0 || format)
        return false;
    clock.start();
    deadlineMs = deadline;
    cancel = cancelFlag;
    // PCM is read from the header alone; the reading of its packets that looks
    // for a compressed stream in disguise (most of a WAV file's opening) has
    // been done by the reading that named the codec.
    if (knownCodec.startsWith(QLatin1String("pcm_"))) {
        if (openContext(32) && audioCodecsAre(knownCodec))
            return true;
        closeMedia();
        if (::lseek(fd, 0, SEEK_SET) != 0)
            return false;
    }
    return openContext(0);
}

bool MediaInput::audioCodecsAre(const QString &codec) const
{
    int audio = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters *parameters = format->streams[i]->codecpar;
        if (parameters->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        if (QLatin1String(avcodec_get_name(parameters->codec_id)) != codec)
            return false;
        ++audio;
    }
    return audio > 0;
}

bool MediaInput::openContext(int64_t probeBytes)
{
    constexpr int BufferSize = 32768;
    auto *buffer = static_cast<unsigned char *>(av_malloc(BufferSize));
    if (!buffer)
        return false;
    io = avio_alloc_context(buffer, BufferSize, 0, this, readBytes, nullptr, seekTo);
    if (!io) {
        av_free(buffer);
        return false;
    }
    format = avformat_alloc_context();
    if (!format)
        return false;
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->interrupt_callback.callback = stopRequested;
    format->interrupt_callback.opaque = this;
    format->io_open = refuseNestedOpen;
    if (probeBytes > 0)
        format->probesize = probeBytes;
    // The name only hints at the format; the bytes come from our descriptor.
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) != 0) {
        format = nullptr; // freed by the failed open
        return false;
    }
    return avformat_find_stream_info(format, nullptr) >= 0 || format->nb_streams > 0;
}
