// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The resident converter: the format tool's jobs (WAV to MP3, limit 2) run
// through the worker pool, against the same jobs through one ffmpeg child
// each, and against the floor: one ffmpeg process encoding all the batch's
// audio with the same settings (its CPU; the wall floor is that CPU over the
// two jobs at once). CPU counts this process and every child, the workers
// included (the pool lets them leave, and they are reaped, before the clock
// stops). Also: how long a worker job takes to end after Stop.

#include <algorithm>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>

#include "bench/benchsupport.h"
#include "engine/getmediainfothread.h"
#include "engine/jobqueue.h"
#include "engine/workerpool.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "tools/volumeconvert/voicevolumedata.h"

namespace {

constexpr int Limit = 2;
constexpr int Runs = 3;

QList<VoiceData *> MakeJobs(const QStringList &inputs)
{
    auto options = QSharedPointer<FormatOptions>::create();
    options->format = QStringLiteral("mp3");
    QList<VoiceData *> jobs;
    for (const QString &input : inputs) {
        auto *job = new VoiceConvertData(options);
        VoiceData *record = GetMediaInfoThread::ProbeRecord(input);
        if (record)
            job->copyProbeFacts(*record);
        delete record;
        jobs << job;
    }
    return jobs;
}

BenchSupport::Cost RunQueue(const QStringList &inputs, const QString &outFolder, bool worker, bool *ok)
{
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outFolder);
    WorkerPool::instance().setEnabled(worker);
    JobQueue queue;
    queue.setLimit(Limit);
    for (VoiceData *job : MakeJobs(inputs))
        queue.append(job);
    QEventLoop loop;
    QObject::connect(&queue, &JobQueue::batchFinished, &loop, [&](int succeeded) {
        *ok = *ok && succeeded == inputs.size();
        loop.quit();
    });
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    queue.enqueueAll();
    queue.startWaiting();
    loop.exec();
    WorkerPool::instance().shutdown();
    return {BenchSupport::MonotonicSeconds() - start, BenchSupport::CpuSeconds() - cpuStart};
}

// One ffmpeg encoding every input, one after another, as one stream.
BenchSupport::Cost Floor(const QStringList &inputs, const QString &work)
{
    const QString list = work + QStringLiteral("/floor-list.txt");
    QFile file(list);
    file.open(QIODevice::WriteOnly);
    for (const QString &input : inputs)
        file.write("file '" + input.toUtf8() + "'\n");
    file.close();
    const QString output = BenchSupport::FreshFolder(work + QStringLiteral("/floor-out")) + "/all.mp3";
    const QStringList arguments = BenchSupport::DirectConvertArguments(inputs.first(), output);
    const QStringList concat{QStringLiteral("-f"), QStringLiteral("concat"), QStringLiteral("-safe"),
                             QStringLiteral("0"),  QStringLiteral("-i"),     list};
    return BenchSupport::RunThroughXargs(GetFFmpegPath(), {}, concat + arguments.mid(2),
                                         int(concat.size() + arguments.size() - 2), 1);
}

void Batch(const QString &work, int files, int seconds, double cpuTarget, double wallTarget)
{
    const QString name = QStringLiteral("%1x%2").arg(files).arg(seconds);
    const QStringList inputs = BenchSupport::MakeToneInputs(work + QStringLiteral("/worker-inputs-") + name,
                                                            files, seconds, QStringLiteral("wav"));
    std::vector<double> workerWall, workerCpu, childWall, childCpu, floorCpu;
    bool ok = true;
    for (int run = 0; run < Runs; ++run) {
        const BenchSupport::Cost w =
            RunQueue(inputs, BenchSupport::FreshFolder(work + "/worker-out"), true, &ok);
        const BenchSupport::Cost c =
            RunQueue(inputs, BenchSupport::FreshFolder(work + "/child-out"), false, &ok);
        const BenchSupport::Cost f = Floor(inputs, work);
        std::fprintf(
            stderr, "%s run %d: worker %.2f s (cpu %.2f), child %.2f s (cpu %.2f), floor %.2f s (cpu %.2f)\n",
            qPrintable(name), run + 1, w.wall, w.cpu, c.wall, c.cpu, f.wall, f.cpu);
        workerWall.push_back(w.wall);
        workerCpu.push_back(w.cpu);
        childWall.push_back(c.wall);
        childCpu.push_back(c.cpu);
        floorCpu.push_back(f.cpu);
    }
    const double floor = BenchSupport::Median(floorCpu);
    const double wallFloor = floor / Limit;
    const QString failure = ok ? QString() : QStringLiteral(" (a job failed)");
    const auto s = [](double v) {
        return QStringLiteral("%1 s").arg(v, 0, 'f', 2);
    };
    const QString figure =
        QStringLiteral("Worker: %1 WAV of %2 s to MP3, limit %3, %4").arg(files).arg(seconds).arg(Limit);
    const double cpu = BenchSupport::Median(workerCpu);
    const double wall = BenchSupport::Median(workerWall);
    BenchSupport::Row(figure.arg(QStringLiteral("CPU")),
                      s(cpu) + QStringLiteral(" (child path %1)").arg(s(BenchSupport::Median(childCpu))),
                      s(floor) + QStringLiteral(" (one ffmpeg)"),
                      QStringLiteral("%1x").arg(cpu / floor, 0, 'f', 2) + failure,
                      QStringLiteral("within %1x").arg(cpuTarget), ok && cpu / floor <= cpuTarget);
    BenchSupport::Row(figure.arg(QStringLiteral("wall clock")),
                      s(wall) + QStringLiteral(" (child path %1)").arg(s(BenchSupport::Median(childWall))),
                      s(wallFloor) + QStringLiteral(" (its CPU / 2)"),
                      QStringLiteral("%1x").arg(wall / wallFloor, 0, 'f', 2) + failure,
                      QStringLiteral("within %1x").arg(wallTarget), ok && wall / wallFloor <= wallTarget);
}

// From Stop to the job's end, on a worker in the middle of a long file.
void CancelLatency(const QString &work)
{
    const QStringList input =
        BenchSupport::MakeToneInputs(work + QStringLiteral("/worker-long"), 1, 600, QStringLiteral("wav"));
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), BenchSupport::FreshFolder(work + "/worker-out"));
    WorkerPool::instance().setEnabled(true);
    std::vector<double> latencies;
    for (int run = 0; run < 9; ++run) {
        QScopedPointer<VoiceData> job(MakeJobs(input).first());
        QEventLoop loop;
        double stoppedAt = 0;
        QObject::connect(job.data(), &VoiceData::updateProgress, &loop, [&] {
            if (stoppedAt == 0 && job->progress > 100) {
                stoppedAt = BenchSupport::MonotonicSeconds();
                job->stopConvert();
            }
        });
        QObject::connect(job.data(), &VoiceData::convertfinished, &loop, &QEventLoop::quit);
        job->startConvert();
        loop.exec();
        latencies.push_back((BenchSupport::MonotonicSeconds() - stoppedAt) * 1000);
    }
    const double median = BenchSupport::Median(latencies);
    const double worst = *std::max_element(latencies.begin(), latencies.end());
    BenchSupport::Row(QStringLiteral("Worker: Stop to the job's end (median, worst of 9)"),
                      QStringLiteral("%1 ms, %2 ms").arg(median, 0, 'f', 1).arg(worst, 0, 'f', 1),
                      QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("within 100 ms"),
                      worst <= 100);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);
    WorkerPool::instance().setProgram(BenchSupport::BuildAppDir(argv[0]) + QStringLiteral("/quillvane-cli"));
    const QString work = BenchSupport::WorkFolder(argv[0]);
    Batch(work, 200, 5, 1.25, 1.3);
    Batch(work, 40, 30, 1.05, 1.05);
    CancelLatency(work);
    return 0;
}
