// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/volumeconvert/voicevolumedata.h"

#include <cmath>

#include <QRegularExpression>

#include "engine/jobhelpers.h"

namespace {
// The measuring pass's summary is at the very end of its output.
constexpr int MeasureTailChars = 8192;
// The limiter works at four times the rate, where it sees the peaks between
// samples; it stops 0.4 dB short of the ceiling to leave the encoders room.
constexpr int Oversampling = 4;
constexpr double LimiterHeadroomDb = 0.4;
} // namespace

VoiceVolumeData::VoiceVolumeData(QSharedPointer<const VolumeOptions> options) : options(std::move(options)) {}

QString VoiceVolumeData::Filter(int mode, int sampleRate, const Loudness &measured)
{
    if (mode == VolumeOptions::Quieter)
        return QStringLiteral("volume=-5dB");
    if (mode == VolumeOptions::Louder) {
        const double limit = std::pow(10.0, (CeilingDbtp - LimiterHeadroomDb) / 20.0);
        const QString limiter =
            QStringLiteral("volume=5dB,alimiter=limit=%1:level=0:latency=1").arg(limit, 0, 'f', 4);
        return sampleRate > 0 ? QStringLiteral("aresample=%1,").arg(sampleRate * Oversampling) + limiter
                              : limiter;
    }
    const QString target = QStringLiteral("loudnorm=I=%1:TP=%2").arg(TargetLufs).arg(CeilingDbtp);
    if (!measured.valid)
        return target;
    // loudnorm applies one gain only when the measured range fits its target
    // range, and takes a range of 0 for none given.
    const double range = qMax(0.01, measured.range);
    return target + QStringLiteral(":LRA=%1:measured_I=%2:measured_TP=%3:measured_LRA=%4:measured_thresh=%5:"
                                   "offset=%6:linear=true")
                        .arg(qBound(7.0, std::ceil(range + 1.0), 50.0))
                        .arg(measured.integrated)
                        .arg(measured.truePeak)
                        .arg(range)
                        .arg(measured.threshold)
                        .arg(measured.offset);
}

EncodePlan VoiceVolumeData::MeasurePlan(const QString &input)
{
    return {
        input, Filter(VolumeOptions::Standardizing, 0) + QStringLiteral(":print_format=json"), QString(), {}};
}

QStringList VoiceVolumeData::MeasureArguments(const QString &input)
{
    return MeasurePlan(input).arguments();
}

Loudness VoiceVolumeData::ParseLoudness(const QString &text)
{
    Loudness figures;
    const auto value = [&text](const char *name, double &into) {
        const QRegularExpression pattern(
            QStringLiteral("\"%1\"\\s*:\\s*\"([-+0-9.]+)\"").arg(QLatin1String(name)));
        const QRegularExpressionMatch match = pattern.match(text);
        bool ok = false;
        into = match.hasMatch() ? match.captured(1).toDouble(&ok) : 0.0;
        return ok;
    };
    figures.valid = value("input_i", figures.integrated) && value("input_tp", figures.truePeak) &&
                    value("input_lra", figures.range) && value("input_thresh", figures.threshold) &&
                    value("target_offset", figures.offset);
    return figures;
}

QStringList VoiceVolumeData::Arguments(const QString &input, const QString &filter, const QString &output,
                                       const OutputPlan &plan)
{
    return EncodePlan{input, filter, output, plan}.arguments();
}

void VoiceVolumeData::startConvert()
{
    setStatus(Converting);
    int mode = options ? options->mode : VolumeOptions().mode;
    if (mode < VolumeOptions::Standardizing || mode > VolumeOptions::Quieter)
        mode = VolumeOptions::Standardizing;
    // The names carry no tag unless a user's pattern asks for {tool}.
    OutputName name = OutputNameFor(filePath, QString(), AudioOutputExtension(filePath));
    name.optionTag = VolumeOptions::NameTag(mode);
    const QString output = beginRun(name);
    if (output.isEmpty())
        return;
    runPlan = planOutput(output);
    twoPass = mode == VolumeOptions::Standardizing;
    measuring = twoPass;
    measureText.clear();
    if (measuring)
        startEncode(MeasurePlan(filePath));
    else
        startEncode({filePath, Filter(mode, sampleRate), output, runPlan});
}

void VoiceVolumeData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    if (!twoPass) {
        readProgress(static_cast<double>(duration));
        return;
    }
    // Each pass is half the run.
    const QString text = readRunText();
    if (measuring)
        measureText = (measureText + text).right(MeasureTailChars);
    for (qint64 time : statusReader.takeTimes(text)) {
        if (AdvanceProgress((measuring ? 0 : duration) + time, 2.0 * double(duration), progress))
            emit updateProgress(this);
    }
}

void VoiceVolumeData::ffmpegProcess_Finished(int index)
{
    if (measuring && !stopped) {
        measuring = false;
        // Without figures (the pass failed, or the audio is silent) the
        // filter measures as it goes, in one pass.
        const Loudness measured = lastRunFailed() ? Loudness() : ParseLoudness(measureText);
        startEncode(
            {filePath, Filter(VolumeOptions::Standardizing, sampleRate, measured), outputPath, runPlan});
        return;
    }
    VoiceData::ffmpegProcess_Finished(index);
}
