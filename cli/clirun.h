// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <memory>

#include <QHash>
#include <QSet>
#include <QObject>

#include "cli/clicommand.h"

class CliInputs;
class CliReport;
class JobQueue;
class TerminationSignals;
class VoiceData;

// Runs one command: takes its files as the run goes, probes them and makes
// the tool's jobs (the classes the window runs), and drives them through a
// job queue within the job limit. The queue holds the running jobs and a few
// waiting ones; an ended job is reported and let go, so a batch of any size
// costs the same memory. The whole-list tools take all their files at once.
// SIGINT, SIGTERM and SIGHUP stop every job as the window's stop does: the
// whole process tree goes, with its unfinished files.
class CliRun : public QObject
{
    Q_OBJECT
public:
    explicit CliRun(const CliCommand &command, QObject *parent = nullptr);
    ~CliRun() override;

    // Starts the jobs. Returns an exit status when it ends before any job
    // starts (a usage error), else -1, and finished() follows.
    int start();

signals:
    void finished(int exitCode);

private:
    // Probes the next files and queues their jobs until the queue holds its
    // look-ahead or no file is left.
    void refill();
    // Reports the end of a job, counts it and lets it go.
    void jobEnded(VoiceData *job);
    // The tool's job, with the command's Output settings.
    VoiceData *makeJob() const;
    VoiceData *makeToolJob() const;
    void jobStateChanged(VoiceData *job);
    void batchFinished();
    void stopAll(int signalNumber);
    void end(int exitCode);

    CliCommand command;
    std::unique_ptr<CliInputs> inputs;
    QString peeked;    // a file taken from `inputs` and not yet queued
    int fileCount = 0; // files taken so far: the next one's number in the report
    int succeededCount = 0;
    int failedCount = 0;
    int stoppedCount = 0;
    int skippedCount = 0;
    JobQueue *queue;
    TerminationSignals *signalWatch;
    std::unique_ptr<CliReport> report;
    QHash<const VoiceData *, int> numbers; // job -> its number in the report
    QSet<const VoiceData *> startReported;
    int refusedCount = 0;
    int stoppedBy = 0; // the signal that stopped the run
    bool ended = false;
};
