// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class VoiceData;

// What the command line tells of its jobs. --json: one JSON object per line
// on standard output for each job's start, progress and end. On a terminal
// (standard error is one): a line per running job and an overall bar,
// redrawn in place. Otherwise: each result's path on standard output.
// Failures always go to standard error; the summary unless quiet.
class CliReport
{
public:
    enum class Mode
    {
        Json,
        Terminal,
        Plain
    };
    CliReport(Mode mode, bool quiet, const QString &tool, int total);
    ~CliReport();

    void started(const VoiceData *job, int number, const QStringList &inputs);
    void progressed(const VoiceData *job, int number);
    void ended(const VoiceData *job, int number);
    // A file that never became a job.
    void refused(const QString &input, int number, const QString &reason);
    void summary(int succeeded, int failed, int stopped, int skipped = 0);

private:
    struct Running
    {
        int number;
        QString name;
        int progress; // hundredths of a percent
    };
    void json(QJsonObject object, const char *event, int number, const QString &input);
    void end(int number, const QString &input, int status, const QStringList &outputs, const QString &reason);
    void clearBlock();
    void drawBlock(bool force);

    Mode mode;
    bool quiet;
    QString tool;
    int total;
    int done = 0;
    QList<Running> running;
    QHash<int, int> lastPercent; // per job, for --json progress lines
    int drawnLines = 0;
    QElapsedTimer sinceDraw;
};
