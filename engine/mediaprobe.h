#pragma once

#include <QString>
#include <QtGlobal>

// Reads the facts of a media file in-process with libavformat: no child, no
// text to parse, exact durations. Only regular files are read (a FIFO or a
// device is refused before anything waits on it), through our own descriptor,
// and nothing else is opened on the file's behalf (playlists, references). A
// deadline bounds the work on a hostile file.
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
    };

    // False when `path` is not a regular file that can be opened for reading.
    // A regular file that holds no readable media gives true and empty facts.
    static bool Read(const QString &path, Facts &facts, int deadlineMs = DeadlineMs);
};
