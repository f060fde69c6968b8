// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

// Helpers the benchmarks share: medians, the result rows that bench/run.sh
// gathers into one table, the application directory and generated inputs.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <sys/resource.h>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "common/globals.h"
#include "common/qcommonutils.h"
#include "engine/mediaprobe.h"
#include "engine/outputplan.h"
#include "tools/formatconvert/voiceconvertdata.h"

namespace BenchSupport {

// The command line the app runs to convert `input` to `output`, planned from
// the input's facts as a job plans it (default Output settings).
inline QStringList DirectConvertArguments(const QString &input, const QString &output)
{
    MediaProbe::Facts facts;
    MediaProbe::Read(input, facts);
    const SourceAudio source{facts.sampleRate, facts.channels, facts.bitRate, facts.traits};
    return VoiceConvertData::Arguments(input, output, OutputPlan::For(output, source, OutputOptions()));
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

// Seconds on the system-wide monotonic clock: comparable between processes.
inline double MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// "+3.2 %" for a ratio of 1.032.
inline QString PercentChange(double ratio)
{
    const double change = (ratio - 1.0) * 100.0;
    return QStringLiteral("%1%2 %").arg(change >= 0 ? QStringLiteral("+") : QString()).arg(change, 0, 'f', 1);
}

// CPU seconds (user + system) used so far by this process and by the children
// it has waited for, their own waited-for children included.
inline double CpuSeconds()
{
    auto seconds = [](const rusage &usage) {
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self) + seconds(children);
}

// Wall-clock and CPU seconds of one measured piece of work.
struct Cost
{
    double wall = 0.0;
    double cpu = 0.0;
};

// Runs of a product measurement beside its reference.
struct Comparison
{
    std::vector<double> productWall;
    std::vector<double> directWall;
    std::vector<double> wallRatios;
    std::vector<double> cpuRatios;
};

// Measures `product` and `direct` `runs` times each, alternating which goes
// first so that neither always meets a warmer machine, and keeps the ratio of
// every pair: pairs cancel the drift of a machine's load.
template<class Product, class Direct>
Comparison Alternate(const char *name, int runs, Product product, Direct direct)
{
    Comparison result;
    for (int run = 0; run < runs; ++run) {
        Cost p;
        Cost d;
        if (run % 2 == 0) {
            p = product();
            d = direct();
        } else {
            d = direct();
            p = product();
        }
        result.productWall.push_back(p.wall);
        result.directWall.push_back(d.wall);
        result.wallRatios.push_back(p.wall / d.wall);
        result.cpuRatios.push_back(p.cpu / d.cpu);
        std::fprintf(stderr, "%s run %d: product %.3f s (cpu %.3f s), reference %.3f s (cpu %.3f s)\n", name,
                     run + 1, p.wall, p.cpu, d.wall, d.cpu);
    }
    return result;
}

// One row of the results table: figure, Quillvane's value, the reference,
// the comparison, the target and whether it is met. Rows go to the file named
// by QUILLVANE_BENCH_ROWS (bench/run.sh sets it) or else to standard output,
// which the diagnostic log also writes to.
inline void Row(const QString &figure, const QString &measured, const QString &reference,
                const QString &result, const QString &target, bool met)
{
    const QString line = QStringList{figure, measured, reference,
                                     result, target,   met ? QStringLiteral("yes") : QStringLiteral("NO")}
                             .join(QLatin1Char('\t')) +
                         QLatin1Char('\n');
    const QByteArray path = qgetenv("QUILLVANE_BENCH_ROWS");
    if (path.isEmpty()) {
        std::fputs(line.toUtf8().constData(), stdout);
        std::fflush(stdout);
        return;
    }
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8());
}

// The two rows of a comparison: wall clock, which the target is about, and
// CPU time of the process and its children, which stays steady when other
// work shares the machine. `figure` holds %1 for the kind of time; `show`
// formats a median wall time; `failure` is empty when every run did its work.
template<class Show>
void ComparisonRows(const QString &figure, const Comparison &c, Show show, const QString &referenceName,
                    double limit, const QString &target, const QString &failure)
{
    const double wall = Median(c.wallRatios);
    const double cpu = Median(c.cpuRatios);
    Row(figure.arg(QStringLiteral("wall clock")), show(Median(c.productWall)),
        show(Median(c.directWall)) + QStringLiteral(" (") + referenceName + QLatin1Char(')'),
        PercentChange(wall) + failure, target, failure.isEmpty() && wall <= limit);
    Row(figure.arg(QStringLiteral("CPU time of the process and its children")), QStringLiteral("-"),
        QStringLiteral("-"), PercentChange(cpu) + failure, target, failure.isEmpty() && cpu <= limit);
}

// The build's application directory (bin/ beside bench/), which holds the
// ffmpeg link the product runs.
inline QString BuildAppDir(const char *argv0)
{
    QString self = QString::fromLocal8Bit(argv0);
    QDir dir = QFileInfo(self).absoluteDir();
    dir.cdUp();
    return dir.absoluteFilePath(QStringLiteral("bin"));
}

// Runs offscreen unless a platform was chosen.
inline void PreferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// What the application sets up before its window: the application directory
// of the build, the names and the diagnostic log.
inline void StartLikeTheApplication(const char *argv0)
{
    g_appDir = BuildAppDir(argv0);
    MyQtCustom::QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation),
                                       QLatin1String(AppIdentity::Application));
    MyQtCustom::QCommonUtils::MyInstallMessageHandler();
}

// Runs the system ffmpeg with the given arguments; true on exit code 0.
inline bool RunFfmpeg(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(
        QStringLiteral("/usr/bin/ffmpeg"),
        QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error")} +
            arguments);
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Where the benchmarks keep their generated inputs and outputs:
// QUILLVANE_BENCH_WORK, or work/ beside the benchmark executables.
inline QString WorkFolder(const char *argv0)
{
    const QString chosen = qEnvironmentVariable("QUILLVANE_BENCH_WORK");
    const QString folder =
        chosen.isEmpty()
            ? QFileInfo(QString::fromLocal8Bit(argv0)).absoluteDir().filePath(QStringLiteral("work"))
            : chosen;
    QDir().mkpath(folder);
    // Absolute: the children run in the application directory.
    return QFileInfo(folder).absoluteFilePath();
}

// `count` files of `seconds` of a sine tone (each its own pitch) in `folder`,
// the extension picking the format; made once and reused by later runs.
inline QStringList MakeToneInputs(const QString &folder, int count, int seconds, const QString &extension)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/input%1.").arg(i, 3, 10, QLatin1Char('0')) + extension;
        if (QFileInfo(path).size() < 1024) {
            RunFfmpeg({QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"),
                       QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2")
                           .arg(200 + 10 * i)
                           .arg(seconds),
                       QStringLiteral("-ac"), QStringLiteral("2"), path});
        }
        paths << path;
    }
    return paths;
}

// An empty folder at `path` (removed first if it exists).
inline QString FreshFolder(const QString &path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

// Runs `program` once for every group of `perRun` entries of `arguments`,
// `parallel` at a time, through xargs, in the application directory with the
// shared child environment: the reference of a batch.
inline Cost RunThroughXargs(const QString &program, const QStringList &fixedArgs,
                            const QStringList &arguments, int perRun, int parallel)
{
    QByteArray input;
    for (const QString &argument : arguments)
        input += argument.toLocal8Bit() + '\0';
    QProcess xargs;
    xargs.setWorkingDirectory(g_appDir);
    xargs.setProcessEnvironment(ChildProcessEnvironment());
    xargs.setStandardOutputFile(QProcess::nullDevice());
    xargs.setStandardErrorFile(QProcess::nullDevice());
    const double start = MonotonicSeconds();
    const double cpuStart = CpuSeconds();
    xargs.start(QStringLiteral("xargs"),
                QStringList{QStringLiteral("-0"), QStringLiteral("-n"), QString::number(perRun),
                            QStringLiteral("-P"), QString::number(parallel), program} +
                    fixedArgs);
    xargs.waitForStarted(-1);
    xargs.write(input);
    xargs.closeWriteChannel();
    xargs.waitForFinished(-1);
    return {MonotonicSeconds() - start, CpuSeconds() - cpuStart};
}

// Resident memory of this process in bytes (VmRSS), after handing freed heap
// memory back to the system so that only what is in use counts.
inline qint64 ResidentBytes()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

} // namespace BenchSupport
