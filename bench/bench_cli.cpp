// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The command line's costs. Batch: 40 WAV files of 30 seconds to MP3 by one
// `quillvane-cli convert -j 2` against the same ffmpeg command lines run
// directly by xargs -P2. Start-up: from the command line's launch to its
// first ffmpeg's first instruction, against launching that ffmpeg directly;
// a stand-in ffmpeg stamps the time it starts. Runs alternate; the figures
// are medians.

#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include "bench/benchsupport.h"
#include "engine/jobhelpers.h"
#include "tools/formatconvert/voiceconvertdata.h"

namespace {

constexpr int Files = 40;
constexpr int Seconds = 30;
constexpr int Limit = 2;
constexpr int Runs = 3;
constexpr int StartRuns = 20;
constexpr double TargetOverhead = 0.05;
constexpr double StartTargetMs = 50.0;

BenchSupport::Cost Run(const QString &program, const QStringList &arguments,
                       const QProcessEnvironment &env = {})
{
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {BenchSupport::MonotonicSeconds() - start, BenchSupport::CpuSeconds() - cpuStart};
}

// Milliseconds from a launch of `program` to the stamp its stand-in ffmpeg writes.
double StartToFfmpeg(const QString &program, const QStringList &arguments, const QString &stamp)
{
    QFile::remove(stamp);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("STAMP"), stamp);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const double launched = double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    Run(program, arguments, env);
    QFile file(stamp);
    if (!file.open(QIODevice::ReadOnly))
        return -1.0;
    return file.readAll().trimmed().toDouble() / 1e6 - launched;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);
    const QString cli = g_appDir + QStringLiteral("/quillvane-cli");
    const QString work = BenchSupport::WorkFolder(argv[0]);
    const QStringList inputs = BenchSupport::MakeToneInputs(work + QStringLiteral("/batch-inputs"), Files,
                                                            Seconds, QStringLiteral("wav"));

    bool allSucceeded = true;
    const BenchSupport::Comparison batch = BenchSupport::Alternate(
        "cli batch", Runs,
        [&] {
            const QString out = BenchSupport::FreshFolder(work + QStringLiteral("/cli-out-product"));
            const BenchSupport::Cost cost = Run(
                cli, QStringList{"convert", "--to", "mp3", "-q", "-j", QString::number(Limit), "-o", out} +
                         inputs);
            allSucceeded = allSucceeded && QDir(out).entryList(QDir::Files).size() == Files;
            return cost;
        },
        [&] {
            const QString out = BenchSupport::FreshFolder(work + QStringLiteral("/cli-out-direct"));
            QStringList arguments;
            for (const QString &input : inputs)
                arguments << BenchSupport::DirectConvertArguments(
                    input, out + QLatin1Char('/') + OutputBaseName(input) + QStringLiteral(".mp3"));
            return BenchSupport::RunThroughXargs(GetFFmpegPath(), {}, arguments,
                                                 int(arguments.size() / inputs.size()), Limit);
        });
    BenchSupport::ComparisonRows(
        QStringLiteral("CLI batch: %1 WAV files of %2 s to MP3, -j %3, %5 (median of %4 runs each)")
            .arg(Files)
            .arg(Seconds)
            .arg(Limit)
            .arg(Runs),
        batch, [](double seconds) { return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2); },
        QStringLiteral("xargs -P2"), 1.0 + TargetOverhead, QStringLiteral("within 5 %"),
        allSucceeded ? QString() : QStringLiteral(" (a job failed)"));

    // A copy of the command line beside a stand-in ffmpeg that stamps its start once and fails.
    const QString standIn = BenchSupport::FreshFolder(work + QStringLiteral("/cli-start"));
    QFile::copy(cli, standIn + QStringLiteral("/quillvane-cli"));
    QFile script(standIn + QStringLiteral("/ffmpeg"));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n[ -e \"$STAMP\" ] || date +%s%N >\"$STAMP\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    const QString stamp = standIn + QStringLiteral("/stamp");
    std::vector<double> product;
    std::vector<double> ownStart;
    std::vector<double> overhead;
    for (int run = 0; run < StartRuns; ++run) {
        // The command line's time to its ffmpeg's first instruction, less the stand-in's own start.
        const double p =
            StartToFfmpeg(standIn + QStringLiteral("/quillvane-cli"),
                          {"convert", "-q", "-o", standIn + QStringLiteral("/out"), inputs.first()}, stamp) -
            StartToFfmpeg(script.fileName(), {}, stamp);
        // ffmpeg's own start: it loads the same libraries the command line does.
        const double f = Run(GetFFmpegPath(), {"-hide_banner", "-version"}).wall * 1e3;
        product.push_back(p);
        ownStart.push_back(f);
        overhead.push_back(p - f);
    }
    const double extra = BenchSupport::Median(overhead);
    BenchSupport::Row(
        QStringLiteral("CLI launch to its first ffmpeg's start, beyond ffmpeg's own start (median of %1)")
            .arg(StartRuns),
        QStringLiteral("%1 ms").arg(BenchSupport::Median(product), 0, 'f', 1),
        QStringLiteral("%1 ms (ffmpeg -version)").arg(BenchSupport::Median(ownStart), 0, 'f', 1),
        QStringLiteral("%1%2 ms").arg(extra >= 0 ? QStringLiteral("+") : QString()).arg(extra, 0, 'f', 1),
        QStringLiteral("under +50 ms"), extra < StartTargetMs);
    return 0;
}
