// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>
#include <cstdint>

#include <QElapsedTimer>
#include <QString>

struct AVFormatContext;
struct AVIOContext;

// A media file opened in-process with libavformat. Only regular files are
// read (a FIFO or a device is refused before anything waits on it), through
// our own descriptor, and nothing else is opened on the file's behalf
// (playlists, references). A deadline or a cancel flag ends the work on a
// hostile or unwanted file.
class MediaInput
{
public:
    MediaInput() = default;
    ~MediaInput();
    MediaInput(const MediaInput &) = delete;
    MediaInput &operator=(const MediaInput &) = delete;

    // False when `path` is not a regular file that can be opened for reading.
    bool openFile(const QString &path);
    // Reads the container and its stream facts; false when the file holds no
    // readable media. Reading stops after `deadlineMs` (negative: never) or
    // once `cancel` turns true, now and in every later read. `knownCodec` is
    // what an earlier reading of the file found its audio to be; a PCM codec
    // spares the search of the packets for another one, as long as the
    // header still says the same.
    bool openMedia(int deadlineMs = -1, const std::atomic_bool *cancel = nullptr,
                   const QString &knownCodec = QString());

    AVFormatContext *context() const { return format; }
    bool interrupted() const;

private:
    // `probeBytes`: how much the stream facts are read from (0: libav's default).
    bool openContext(int64_t probeBytes);
    void closeMedia();
    bool audioCodecsAre(const QString &codec) const;
    static int readBytes(void *opaque, unsigned char *buffer, int size);
    static int64_t seekTo(void *opaque, int64_t offset, int whence);
    static int stopRequested(void *opaque);

    QString path;
    int fd = -1;
    QElapsedTimer clock;
    int deadlineMs = -1;
    const std::atomic_bool *cancel = nullptr;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
};
