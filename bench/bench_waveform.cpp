// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Waveform: reading the envelope of a file (decoding it in-process) and
// binning it for a strip 1000 pixels wide, for a 10-minute and a 3-hour MP3,
// beside the decoding floor: ffmpeg decoding the same file to nothing. A
// long file is read in two halves at once, so on a loaded machine the wall
// clock follows the load; the CPU time stays steady and has a row of its own.

#include <QCoreApplication>

#include "bench/benchsupport.h"
#include "engine/audioenvelope.h"

namespace {

constexpr int Runs = 3;
constexpr double TargetTenMinutes = 1.0; // seconds

BenchSupport::Cost Envelope(const QString &input, qint64 *duration)
{
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    AudioEnvelope envelope;
    envelope.compute(input);
    const QVector<float> strip = envelope.bins(1000);
    *duration = strip.size() == 1000 ? envelope.duration() : 0;
    return {BenchSupport::MonotonicSeconds() - start, BenchSupport::CpuSeconds() - cpuStart};
}

BenchSupport::Cost DecodeWithFfmpeg(const QString &input)
{
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    BenchSupport::RunFfmpeg({QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-i"), input,
                             QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    return {BenchSupport::MonotonicSeconds() - start, BenchSupport::CpuSeconds() - cpuStart};
}

QString MakeInput(const QString &folder, int seconds, const QString &bitRate)
{
    const QString path = folder + QStringLiteral("/waveform-%1s.mp3").arg(seconds);
    if (!QFileInfo::exists(path)) {
        // Noise shaped like speech in level: loud and quiet stretches.
        BenchSupport::RunFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                 QStringLiteral("anoisesrc=d=%1:c=pink:a=0.3,volume='0.2+0.8*gt(sin(t),0)':"
                                                "eval=frame")
                                     .arg(seconds),
                                 QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-b:a"), bitRate,
                                 QStringLiteral("-y"), path + QStringLiteral(".part.mp3")});
        QFile::rename(path + QStringLiteral(".part.mp3"), path);
    }
    return path;
}

void Measure(const QString &label, const QString &input, int runs, qint64 seconds, double limit,
             const QString &target)
{
    qint64 duration = 0;
    bool complete = true;
    std::vector<double> cpu;
    const BenchSupport::Comparison c = BenchSupport::Alternate(
        qPrintable(label), runs,
        [&] {
            const BenchSupport::Cost cost = Envelope(input, &duration);
            cpu.push_back(cost.cpu);
            complete = complete && qAbs(duration - seconds * 1000000) < 1000000;
            return cost;
        },
        [&] { return DecodeWithFfmpeg(input); });
    const double wall = BenchSupport::Median(c.productWall);
    BenchSupport::Row(
        QStringLiteral("Waveform of a %1 MP3 (envelope and a 1000-pixel strip), wall clock, "
                       "median of %2")
            .arg(label)
            .arg(runs),
        QStringLiteral("%1 s (CPU %2 s)").arg(wall, 0, 'f', 3).arg(BenchSupport::Median(cpu), 0, 'f', 3),
        QStringLiteral("%1 s (ffmpeg decoding it to nothing)")
            .arg(BenchSupport::Median(c.directWall), 0, 'f', 3),
        BenchSupport::PercentChange(BenchSupport::Median(c.wallRatios)) +
            (complete ? QString() : QStringLiteral(" (the envelope fell short)")),
        target, complete && wall <= limit);
    // The CPU time stays steady when other work shares the machine; under
    // the limit, the strip takes no longer than that on one free core.
    const double cpuTime = BenchSupport::Median(cpu);
    BenchSupport::Row(QStringLiteral("Waveform of a %1 MP3, CPU time of both halves' threads, median of %2")
                          .arg(label)
                          .arg(runs),
                      QStringLiteral("%1 s").arg(cpuTime, 0, 'f', 3), QStringLiteral("-"),
                      BenchSupport::PercentChange(BenchSupport::Median(c.cpuRatios)) +
                          QStringLiteral(" of ffmpeg's CPU time"),
                      target + QStringLiteral(" of CPU"), complete && cpuTime <= limit);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = BenchSupport::WorkFolder(argv[0]);
    const QString ten = MakeInput(folder, 600, QStringLiteral("128k"));
    Measure(QStringLiteral("10-minute"), ten, Runs, 600, TargetTenMinutes, QStringLiteral("under 1 s"));
    const QString three = MakeInput(folder, 3 * 3600, QStringLiteral("64k"));
    // Linear in the length: 18 times the 10-minute target.
    Measure(QStringLiteral("3-hour"), three, 1, 3 * 3600, 18 * TargetTenMinutes,
            QStringLiteral("under 18 s"));
    return 0;
}
