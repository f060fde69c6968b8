// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/audiopreview.h"

#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QTimer>

#include "engine/audiodecoder.h"

namespace {

// The system's default output; without one (a sound server that is not
// running) the first device another back end offers, such as ALSA's own.
QAudioDeviceInfo outputDevice()
{
    const QAudioDeviceInfo chosen = QAudioDeviceInfo::defaultOutputDevice();
    if (!chosen.isNull())
        return chosen;
    for (const QAudioDeviceInfo &device : QAudioDeviceInfo::availableDevices(QAudio::AudioOutput))
        if (!device.isNull() && !device.deviceName().isEmpty())
            return device;
    return QAudioDeviceInfo();
}

bool soundDeviceFound()
{
    return !outputDevice().isNull();
}

std::function<bool()> &deviceCheck()
{
    static std::function<bool()> check = soundDeviceFound;
    return check;
}

// The decoded stretch, read by the audio output as it plays.
class DecodedStream : public QIODevice
{
public:
    DecodedStream(std::unique_ptr<AudioDecoder> decoder, qint64 frames)
        : decoder(std::move(decoder)), framesLeft(frames)
    {}

    qint64 readData(char *data, qint64 maxSize) override
    {
        const int frameBytes = decoder->bytesPerFrame();
        qint64 wanted = maxSize / frameBytes;
        if (framesLeft >= 0)
            wanted = qMin(wanted, framesLeft);
        const int got = wanted > 0 ? decoder->read(data, int(qMin<qint64>(wanted, 1 << 20))) : 0;
        if (framesLeft >= 0)
            framesLeft -= got;
        return qint64(got) * frameBytes;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    bool isSequential() const override { return true; }

private:
    std::unique_ptr<AudioDecoder> decoder;
    qint64 framesLeft; // -1: to the end
};

} // namespace

AudioPreview::AudioPreview(QObject *parent) : QObject(parent), ticker(new QTimer(this))
{
    ticker->setInterval(50);
    connect(ticker, &QTimer::timeout, this, [this] { emit positionChanged(position()); });
}

AudioPreview::~AudioPreview()
{
    stop();
}

bool AudioPreview::DeviceAvailable()
{
    return deviceCheck()();
}

void AudioPreview::SetDeviceCheck(std::function<bool()> check)
{
    deviceCheck() = check ? std::move(check) : soundDeviceFound;
}

bool AudioPreview::play(const QString &path, qint64 from, qint64 to)
{
    stop();
    if (!DeviceAvailable())
        return false;
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleSize(16);
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setSampleType(QAudioFormat::SignedInt);
    const QAudioDeviceInfo device = outputDevice();
    if (!device.isFormatSupported(format))
        format = device.nearestFormat(format);
    if (format.sampleSize() != 16 || format.sampleType() != QAudioFormat::SignedInt)
        return false;

    auto decoder = std::make_unique<AudioDecoder>();
    if (!decoder->open(path, AudioDecoder::Int16, format.channelCount(), format.sampleRate()) ||
        (from > 0 && !decoder->seek(from)))
        return false;
    const qint64 frames = to < 0 ? -1 : qMax<qint64>(0, to - from) * format.sampleRate() / 1000000;
    source.reset(new DecodedStream(std::move(decoder), frames));
    source->open(QIODevice::ReadOnly);
    startUs = from;
    output = new QAudioOutput(device, format, this);
    connect(output, &QAudioOutput::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState)
            QTimer::singleShot(0, this, &AudioPreview::stop);
    });
    output->start(source.get());
    if (output->error() != QAudio::NoError) {
        stop();
        return false;
    }
    ticker->start();
    return true;
}

void AudioPreview::stop()
{
    if (!output)
        return;
    ticker->stop();
    QAudioOutput *ending = output;
    output = nullptr;
    ending->disconnect(this);
    ending->stop();
    ending->deleteLater();
    source.reset();
    emit stopped();
}

qint64 AudioPreview::position() const
{
    return output ? startUs + output->processedUSecs() : -1;
}
