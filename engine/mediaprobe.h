// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reads the facts of a media file in-process with libavformat: no child, no
// text to parse, exact durations. Only regular files are read (a FIFO or a
// device is refused before anything waits on it), through our own descriptor,
// and nothing else is opened on the file's behalf (playlists, references). A
// deadline bounds the work on a hostile file.
// What an output needs to know of its input's audio beyond rate, channels and bitrate.
struct AudioTraits
{
    int bitsPerSample = 0; // of lossless and PCM audio; 0 = not known or not meaningful
    bool floatSamples = false;
    bool lossless = false;
    int audioStream = -1; // the stream a tool takes (ffmpeg's own pick)
    // An attached picture (PNG or JPEG) that is the file's cover; never a
    // video's picture stream.
    int coverStream = -1;
    // The tags live on the audio stream (Ogg, Opus), not on the file.
    bool tagsInStream = false;
    // The artist and title tags, where the input has them (for output names).
    QString artist;
    QString title;
};

class MediaProbe
{
public:
    static constexpr int DeadlineMs = 2000;

    struct Facts
    {
        qint64 duration = 0; // microseconds; 0 = unknown
        bool hasAudio = false;
        int sampleRate = 0;
        int channels = 0;
        int bitRate = 0; // bits per second
        QString codecName;
        QString streamInfo; // "Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s"
        AudioTraits traits;
    };

    // An embedded cover picture: its bytes as stored, PNG or JPEG.
    struct Cover
    {
        QByteArray data;
        QString mimeType;
        int width = 0;
        int height = 0;
    };

    // False when `path` is not a regular file that can be opened for reading.
    // A regular file that holds no readable media gives true and empty facts.
    static bool Read(const QString &path, Facts &facts, int deadlineMs = DeadlineMs);
    // The cover picture of stream `stream` (AudioTraits::coverStream); false
    // when there is none.
    static bool ReadCover(const QString &path, int stream, Cover &cover, int deadlineMs = DeadlineMs);
};
