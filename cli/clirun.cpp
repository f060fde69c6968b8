// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/clirun.h"

#include <csignal>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSharedPointer>
#include <QTimer>

#include "cli/clireport.h"
#include "common/globals.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/jobqueue.h"
#include "engine/mediafiles.h"
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
} // namespace

CliRun::CliRun(const CliCommand &command, QObject *parent)
    : QObject(parent), command(command), queue(new JobQueue(this)), signalWatch(new TerminationSignals(this))
{
    connect(signalWatch, &TerminationSignals::received, this, &CliRun::stopAll);
    connect(queue, &JobQueue::stateChanged, this, &CliRun::jobStateChanged);
    connect(queue, &JobQueue::progressChanged, this, [this](VoiceData *job) {
        if (report && numbers.contains(job))
            report->progressed(job, numbers.value(job));
    });
    connect(queue, &JobQueue::jobFinished, this, [this](VoiceData *job) {
        if (report && numbers.contains(job) && !reported.value(job)) {
            reported.insert(job, true);
            report->ended(job, numbers.value(job));
        }
    });
    connect(queue, &JobQueue::batchFinished, this, &CliRun::batchFinished);
}

CliRun::~CliRun() = default;

QStringList CliRun::gatherFiles(QString &problem) const
{
    QStringList files;
    for (const QString &path : command.paths) {
        const QString absolute = QDir::current().absoluteFilePath(path);
        if (QFileInfo(absolute).isDir()) {
            files << MediaFiles::Of({absolute}, command.recursive);
            continue;
        }
        // As the window adds files: a regular file, its links resolved once.
        const QString file = RegularInputFile(absolute);
        if (file.isEmpty()) {
            problem = QStringLiteral("not a file or folder: %1").arg(path);
            return {};
        }
        files << file;
    }
    if (files.isEmpty())
        problem = QStringLiteral("no media files in the folders given");
    return files;
}

VoiceData *CliRun::makeJob() const
{
    VoiceData *job = makeToolJob();
    if (job && command.encodes())
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
    QString problem;
    const QStringList files = gatherFiles(problem);
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
    const int total = command.wholeList() ? 1 : int(files.size());
    report = std::make_unique<CliReport>(mode, command.quiet, command.name, total);

    // Probed here, one after the other, in-process: a few milliseconds a file.
    QList<VoiceData *> records;
    QList<const VoiceData *> readable;
    for (int i = 0; i < files.size(); ++i) {
        VoiceData *record = GetMediaInfoThread::ProbeRecord(files.at(i));
        records.append(record);
        if (record) {
            readable.append(record);
        } else {
            ++refusedCount;
            report->refused(files.at(i), command.wholeList() ? 1 : i + 1,
                            QStringLiteral("The file cannot be read."));
        }
    }
    if (command.wholeList()) {
        // One result of all of them, or none when any cannot be read.
        if (refusedCount == 0) {
            auto *job = static_cast<WholeListData *>(makeJob());
            job->setInputs(readable);
            numbers.insert(job, 1);
            queue->append(job);
        }
    } else {
        for (int i = 0; i < records.size(); ++i) {
            if (!records.at(i))
                continue;
            VoiceData *job = makeJob();
            job->copyProbeFacts(*records.at(i));
            numbers.insert(job, i + 1);
            queue->append(job);
        }
    }
    qDeleteAll(records);
    if (queue->count() == 0) {
        report->summary(0, refusedCount, 0);
        return CliCommand::JobFailed;
    }
    queue->enqueueAll();
    queue->startWaiting();
    return -1;
}

void CliRun::jobStateChanged(VoiceData *job)
{
    if (job->status() != VoiceData::Converting || !numbers.contains(job) || reported.contains(job))
        return;
    reported.insert(job, false);
    const auto *list = qobject_cast<const WholeListData *>(job);
    report->started(job, numbers.value(job), list ? list->inputPaths() : QStringList{job->filePath});
}

void CliRun::batchFinished(int succeeded, int failed, int stopped)
{
    report->summary(succeeded, failed + refusedCount, stopped);
    if (stoppedBy)
        end(128 + stoppedBy);
    else
        end(failed + refusedCount > 0 ? CliCommand::JobFailed : CliCommand::Succeeded);
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
