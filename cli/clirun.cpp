// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/clirun.h"

#include <csignal>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSharedPointer>
#include <QTimer>

#include "cli/cliinputs.h"
#include "cli/clireport.h"
#include "common/globals.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/jobqueue.h"
#include "engine/voicedata.h"
#include "platform/terminationsignals.h"
#include "tools/changeconvert/voicechangedata.h"
#include "tools/concatconvert/voiceconcatdata.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "tools/invertconvert/voiceinvertdata.h"
#include "tools/mixconvert/voicemixdata.h"
#include "tools/speedconvert/voicespeeddata.h"
#include "tools/splitconvert/voicesplitdata.h"
#include "tools/trimconvert/voicetrimdata.h"
#include "tools/uvrconvert/voiceuvrdata.h"
#include "tools/volumeconvert/voicevolumedata.h"

namespace {
// How long a stop waits for each killed child to be reaped.
constexpr int StopWaitMs = 5000;
// The queue holds at most this many jobs per simultaneous one, running and waiting.
constexpr int LookAheadPerJob = 4;
} // namespace

CliRun::CliRun(const CliCommand &command, QObject *parent)
    : QObject(parent), command(command),
      inputs(std::make_unique<CliInputs>(command.paths, command.recursive)), queue(new JobQueue(this)),
      signalWatch(new TerminationSignals(this))
{
    connect(signalWatch, &TerminationSignals::received, this, &CliRun::stopAll);
    connect(queue, &JobQueue::stateChanged, this, &CliRun::jobStateChanged);
    connect(queue, &JobQueue::progressChanged, this, [this](VoiceData *job) {
        if (report && numbers.contains(job))
            report->progressed(job, numbers.value(job));
    });
    connect(queue, &JobQueue::jobFinished, this, &CliRun::jobEnded);
    connect(queue, &JobQueue::batchFinished, this, &CliRun::batchFinished);
}

CliRun::~CliRun() = default;

VoiceData *CliRun::makeJob() const
{
    VoiceData *job = makeToolJob();
    // Every tool names its results by them; only those that encode read the rest.
    if (job)
        job->outputOptions = QSharedPointer<const OutputOptions>::create(command.output);
    return job;
}

VoiceData *CliRun::makeToolJob() const
{
    switch (command.tool) {
    case CliCommand::Convert:
        return new VoiceConvertData(QSharedPointer<const FormatOptions>::create(command.format));
    case CliCommand::Speed:
        return new VoiceSpeedData(QSharedPointer<const SpeedOptions>::create(command.speed));
    case CliCommand::Volume:
        return new VoiceVolumeData(QSharedPointer<const VolumeOptions>::create(command.volume));
    case CliCommand::Reverse:
        return new VoiceInvertData;
    case CliCommand::Mix:
        return new VoiceMixData;
    case CliCommand::Split:
        return new VoiceSplitData(QSharedPointer<const SplitOptions>::create(command.split));
    case CliCommand::Concat:
        return new VoiceConcatData;
    case CliCommand::Trim:
        return new VoiceTrimData(QSharedPointer<const TrimOptions>::create(command.trim));
    case CliCommand::Separate:
        return new VoiceUVRData(QSharedPointer<const SeparationOptions>::create(command.separation));
    case CliCommand::Voice:
        return new VoiceChangeData(QSharedPointer<const SpeakerOptions>::create(command.speaker));
    }
    return nullptr;
}

int CliRun::start()
{
    QString problem = inputs->unusablePath();
    if (!problem.isEmpty()) {
        problem = QStringLiteral("not a file or folder: %1").arg(problem);
    } else {
        peeked = inputs->next();
        if (peeked.isEmpty())
            problem = QStringLiteral("no media files in the folders given");
    }
    if (!problem.isEmpty()) {
        const QByteArray text = QStringLiteral("quillvane-cli: %1\nTry 'quillvane-cli %2 --help'.\n")
                                    .arg(problem, command.name)
                                    .toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        return CliCommand::UsageError;
    }
    if (!command.outputFolder.isEmpty()) {
        const QString folder = QDir::current().absoluteFilePath(command.outputFolder);
        // A folder that cannot be made fails every job with the window's reason.
        QDir().mkpath(folder);
        SetOutputFolder(folder);
    }
    if (command.jobs > 0)
        queue->setLimit(command.jobs);

    const CliReport::Mode mode = command.json              ? CliReport::Mode::Json
                                 : ::isatty(STDERR_FILENO) ? CliReport::Mode::Terminal
                                                           : CliReport::Mode::Plain;
    int total = 1;
    if (!command.wholeList() && mode == CliReport::Mode::Terminal) {
        // Only the terminal's bar needs the count: the folders are read once more for it.
        total = 0;
        CliInputs counting(command.paths, command.recursive);
        while (!counting.next().isEmpty())
            ++total;
    }
    report = std::make_unique<CliReport>(mode, command.quiet, command.name, total);

    if (command.wholeList()) {
        // One result of all of them, or none when any cannot be read.
        QList<VoiceData *> records;
        for (QString file = peeked; !file.isEmpty(); file = inputs->next()) {
            VoiceData *record = GetMediaInfoThread::ProbeRecord(file);
            if (record) {
                records.append(record);
            } else {
                ++refusedCount;
                report->refused(file, 1, QStringLiteral("The file cannot be read."));
            }
        }
        peeked.clear();
        if (refusedCount == 0) {
            auto *job = static_cast<WholeListData *>(makeJob());
            job->setInputs(QList<const VoiceData *>(records.cbegin(), records.cend()));
            numbers.insert(job, 1);
            queue->append(job);
            queue->enqueue(job);
        }
        qDeleteAll(records);
    } else {
        refill();
    }
    if (queue->count() == 0) {
        report->summary(0, refusedCount, 0);
        return CliCommand::JobFailed;
    }
    queue->startWaiting();
    return -1;
}

void CliRun::refill()
{
    // Probed here, one after the other, in-process: a few milliseconds a file.
    const int most = LookAheadPerJob * queue->limit();
    while (queue->count() < most && !stoppedBy) {
        const QString file = peeked.isEmpty() ? inputs->next() : peeked;
        peeked.clear();
        if (file.isEmpty())
            return;
        const int number = ++fileCount;
        VoiceData *record = GetMediaInfoThread::ProbeRecord(file);
        if (!record) {
            ++refusedCount;
            report->refused(file, number, QStringLiteral("The file cannot be read."));
            continue;
        }
        VoiceData *job = makeJob();
        job->copyProbeFacts(*record);
        job->subFolder = inputs->subFolder();
        delete record;
        numbers.insert(job, number);
        queue->append(job);
        queue->enqueue(job);
    }
}

void CliRun::jobStateChanged(VoiceData *job)
{
    if (job->status() != VoiceData::Converting || !numbers.contains(job) || startReported.contains(job))
        return;
    startReported.insert(job);
    const auto *list = qobject_cast<const WholeListData *>(job);
    report->started(job, numbers.value(job), list ? list->inputPaths() : QStringList{job->filePath});
}

void CliRun::jobEnded(VoiceData *job)
{
    if (!report || !numbers.contains(job))
        return;
    report->ended(job, numbers.value(job));
    succeededCount += job->status() == VoiceData::Succeeded;
    failedCount += job->status() == VoiceData::Failed;
    stoppedCount += job->status() == VoiceData::Stopped;
    skippedCount += job->status() == VoiceData::Skipped;
    numbers.remove(job);
    startReported.remove(job);
    // Let go at once; the queue starts the next waiting job once this returns.
    queue->remove(job);
    refill();
}

void CliRun::batchFinished()
{
    // The queue runs dry only when no file is left: each job's end tops it up.
    // A skipped job is no failure.
    report->summary(succeededCount, failedCount + refusedCount, stoppedCount, skippedCount);
    if (stoppedBy)
        end(128 + stoppedBy);
    else
        end(failedCount + refusedCount > 0 ? CliCommand::JobFailed : CliCommand::Succeeded);
}

void CliRun::stopAll(int signalNumber)
{
    if (stoppedBy)
        return;
    stoppedBy = signalNumber;
    // Every child's tree is killed and reaped, its part file removed, before this returns.
    queue->stopAll(StopWaitMs);
    // A job between two children has none to kill: it goes with the queue.
    end(128 + signalNumber);
}

void CliRun::end(int exitCode)
{
    if (ended)
        return;
    ended = true;
    // After the reports of this turn of the event loop.
    QTimer::singleShot(0, this, [this, exitCode] { emit finished(exitCode); });
}
