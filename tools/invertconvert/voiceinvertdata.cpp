// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/invertconvert/voiceinvertdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include "common/globals.h"
#include "engine/audiotranscoder.h"
#include "engine/jobhelpers.h"
#include "platform/processtable.h"

namespace {
// What may wait in the encoder's pipe before the next block is read.
constexpr qint64 PipeBacklog = 1024 * 1024;

const QRegularExpression &rawName()
{
    static const QRegularExpression name(QStringLiteral("^invert-(\\d+)-[^/]*\\.raw$"));
    return name;
}
} // namespace

VoiceInvertData::VoiceInvertData()
{
    connect(&process, &QProcess::bytesWritten, this, &VoiceInvertData::feed);
}

VoiceInvertData::~VoiceInvertData()
{
    disconnect(&process, nullptr, this, nullptr);
}

QStringList VoiceInvertData::Arguments(const QString &input, const QString &output, const OutputPlan &plan)
{
    return plan.arguments(input, {QStringLiteral("-af"), QStringLiteral("areverse")}, output);
}

void VoiceInvertData::RemoveStaleRawFiles()
{
    QStringList pids;
    QStringList parentPids;
    const QString temp = GetTempFolder();
    if (temp.isEmpty() || !ProcessTable::system().read(pids, parentPids))
        return;
    const QStringList names = QDir(temp).entryList({QStringLiteral("invert-*.raw")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = rawName().match(name);
        // A pid in use may be a later process that took the number: its file stays.
        if (match.hasMatch() && !pids.contains(match.captured(1)))
            QFile::remove(temp + QLatin1Char('/') + name);
    }
}

QString VoiceInvertData::rawFormat() const
{
    // Every decoded sample fits one of these unchanged: integers up to 16
    // bits, up to 32 bits, floats (what lossy decoders give), doubles.
    if (traits.floatSamples && traits.bitsPerSample > 32)
        return QStringLiteral("f64le");
    if (traits.lossless && !traits.floatSamples)
        return traits.bitsPerSample > 0 && traits.bitsPerSample <= 16 ? QStringLiteral("s16le")
                                                                      : QStringLiteral("s32le");
    return QStringLiteral("f32le");
}

void VoiceInvertData::startConvert()
{
    setStatus(Converting);
    static const bool swept = (RemoveStaleRawFiles(), true);
    Q_UNUSED(swept)
    dropRaw();
    // The names carry no tag unless a user's pattern asks for {tool}.
    OutputName name = OutputNameFor(filePath, QString(), AudioOutputExtension(filePath));
    name.optionTag = NameTag();
    const QString output = beginRun(name);
    if (output.isEmpty())
        return;
    const QString temp = GetTempFolder();
    if (sampleRate > 0 && channels > 0 && !temp.isEmpty()) {
        raw.reset(new QTemporaryFile(
            temp + QStringLiteral("/invert-%1-XXXXXX.raw").arg(QCoreApplication::applicationPid())));
        if (raw->open()) {
            raw->close();
            EncodePlan plan{filePath, QString(), output, planOutput(output)};
            plan.reverse = {raw->fileName(), rawFormat(), sampleRate, channels};
            startEncode(plan);
            return;
        }
        raw.reset();
    }
    startFFmpeg(Arguments(filePath, output, planOutput(output)));
}

void VoiceInvertData::runOnChild(const EncodePlan &plan)
{
    Q_UNUSED(plan)
    startDecode();
}

void VoiceInvertData::startDecode()
{
    decoding = true;
    const QString format = rawFormat();
    const QStringList stream =
        traits.audioStream >= 0
            ? QStringList{QStringLiteral("-map"), QStringLiteral("0:%1").arg(traits.audioStream)}
            : QStringList{QStringLiteral("-vn")};
    startFFmpeg(QStringList{QStringLiteral("-i"), filePath} + stream +
                QStringList{QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-ar"),
                            QString::number(sampleRate), QStringLiteral("-ac"), QString::number(channels),
                            QStringLiteral("-f"), format, QStringLiteral("-c:a"),
                            QStringLiteral("pcm_") + format, QStringLiteral("-y"), raw->fileName()});
}

void VoiceInvertData::startReversedEncode()
{
    const QString format = rawFormat();
    frameBytes = (format.startsWith(QLatin1String("s16"))   ? 2
                  : format.startsWith(QLatin1String("f64")) ? 8
                                                            : 4) *
                 channels;
    source.setFileName(raw->fileName());
    if (!source.open(QIODevice::ReadOnly)) {
        dropRaw();
        VoiceData::ffmpegProcess_Finished(-1);
        return;
    }
    unread = source.size() / frameBytes * frameBytes;
    encoding = true;
    progress = qMax(progress, 5000);
    emit updateProgress(this);

    // The input stays the first file: the tags, the cover and the chapters
    // come from it as they would without the raw file.
    const OutputPlan plan = planOutput(outputPath);
    const QString rawStream =
        QString::number(1 + plan.inputs.count(QStringLiteral("-i"))) + QStringLiteral(":0");
    QStringList streams = plan.streams;
    const int mapped = streams.indexOf(QStringLiteral("0:%1").arg(traits.audioStream));
    if (mapped > 0)
        streams[mapped] = rawStream;
    else
        streams = QStringList{QStringLiteral("-map"), rawStream} + streams;
    startFFmpeg(QStringList{QStringLiteral("-i"), filePath} + plan.inputs +
                QStringList{QStringLiteral("-f"), format, QStringLiteral("-ar"), QString::number(sampleRate),
                            QStringLiteral("-ac"), QString::number(channels), QStringLiteral("-i"),
                            QStringLiteral("pipe:0")} +
                streams + QStringList{QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-y")} +
                plan.encode + QStringList{outputPath});
    feed();
}

void VoiceInvertData::feed()
{
    if (!encoding || !source.isOpen() || process.state() == QProcess::NotRunning)
        return;
    while (unread > 0 && process.bytesToWrite() < PipeBacklog) {
        const qint64 size =
            qMin<qint64>(unread, AudioTranscoder::ReverseBlockBytes / frameBytes * frameBytes);
        unread -= size;
        block.resize(int(size));
        if (!source.seek(unread) || source.read(block.data(), size) != size) {
            // The encoder gets less than the input held: the verdict finds it short.
            unread = 0;
            break;
        }
        AudioTranscoder::ReverseFrames(block.data(), size, frameBytes);
        process.write(block);
    }
    if (unread == 0) {
        source.close();
        block = QByteArray();
        process.closeWriteChannel();
    }
}

void VoiceInvertData::dropRaw()
{
    decoding = false;
    encoding = false;
    source.close();
    block = QByteArray();
    raw.reset();
}

void VoiceInvertData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    // The decode moves the first half of the bar, the encode the second; one
    // child reversing alone moves all of it.
    const auto whole = (raw ? 2.0 : 1.0) * double(duration);
    const bool second = encoding || runPass() > 0;
    for (qint64 time : statusReader.takeTimes(readRunText())) {
        if (AdvanceProgress(second ? time + duration : time, whole, progress))
            emit updateProgress(this);
    }
}

void VoiceInvertData::ffmpegProcess_Finished(int index)
{
    if (decoding && !stopped && !lastRunFailed()) {
        decoding = false;
        startReversedEncode();
        return;
    }
    dropRaw();
    VoiceData::ffmpegProcess_Finished(index);
}
