// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <memory>

#include <QHash>
#include <QObject>

#include "cli/clicommand.h"

class CliReport;
class JobQueue;
class TerminationSignals;
class VoiceData;

// Runs one command: gathers and probes its files, makes the tool's jobs (the
// classes the window runs) and drives them through a job queue within the
// job limit. SIGINT, SIGTERM and SIGHUP stop every job as the window's stop
// does: the whole process tree goes, with its unfinished files.
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
    // The files the arguments name, in order; a usage error in `problem`.
    QStringList gatherFiles(QString &problem) const;
    // The tool's job, with the command's Output settings.
    VoiceData *makeJob() const;
    VoiceData *makeToolJob() const;
    void jobStateChanged(VoiceData *job);
    void batchFinished(int succeeded, int failed, int stopped);
    void stopAll(int signalNumber);
    void end(int exitCode);

    CliCommand command;
    JobQueue *queue;
    TerminationSignals *signalWatch;
    std::unique_ptr<CliReport> report;
    QHash<const VoiceData *, int> numbers; // job -> its number in the report
    QHash<const VoiceData *, bool> reported;
    int refusedCount = 0;
    int stoppedBy = 0; // the signal that stopped the run
    bool ended = false;
};
