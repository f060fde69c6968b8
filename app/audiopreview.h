// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>

class QAudioOutput;
class QIODevice;
class QTimer;

// Plays a stretch of a file through the default sound device: decoded
// in-process (AudioDecoder) and fed to Qt's audio output as it plays.
class AudioPreview : public QObject
{
    Q_OBJECT
public:
    explicit AudioPreview(QObject *parent = nullptr);
    ~AudioPreview() override;

    // Whether there is a sound device to play on. Tests choose the answer
    // (an empty check asks the system again).
    static bool DeviceAvailable();
    static void SetDeviceCheck(std::function<bool()> check);

    // Plays [from, to) microseconds of `path` (to < 0: to its end); false
    // when there is no device or the file holds no audio.
    bool play(const QString &path, qint64 from, qint64 to);
    void stop();
    bool isPlaying() const { return output != nullptr; }
    // Microseconds into the file of what is heard now.
    qint64 position() const;

signals:
    void positionChanged(qint64 position);
    // Playing ended, by itself or by stop().
    void stopped();

private:
    QAudioOutput *output = nullptr;
    std::unique_ptr<QIODevice> source;
    QTimer *ticker;
    qint64 startUs = 0;
};
