// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "app/toolsbasewidget.h"
#include "engine/outputplan.h"
#include "engine/partfile.h"
#include "engine/statuslinereader.h"
#include "platform/childprocess.h"

// The body of the tools that make one result out of the whole list (mix,
// concat). One ffmpeg child, owned by the panel, takes every entry as an
// input; the entries are plain VoiceData records whose own processes never
// start, and their rows only mirror the state of that one run. The first
// entry is the reference: it names the output. A tool supplies its argument
// list and its row class.
class WholeListToolWidget : public ToolsBaseWidget
{
    Q_OBJECT
public:
    explicit WholeListToolWidget(QWidget *parent = nullptr);
    ~WholeListToolWidget() override;

    // Nothing is queued: Convert starts the whole list at once.
    void StartWaitingItems() override;
    void RemoveAllItems() override;
    void AddVoiceData(VoiceData *record) override;
    void FlushText() override;
    int convertingCount() const override;
    // Ends the run, if one goes on: the child is killed and reaped, its part
    // file removed, and the entries show Stopped.
    void StopAllJobs() override;

    // From Convert until the child's end has been judged.
    bool isRunning() const { return running; }
    // The file the current or last run writes.
    const QString &runOutputPath() const { return runOutput; }

    // The entries' input paths, in list order.
    static QStringList InputPaths(const QList<VoiceData *> &entries);

public slots:
    // Convert, or Stop while a run is under way (the button says which).
    void convertButton_slots() override;
    void ItemDeleted_slots(VoiceData *item) override;
    void ffmpegProcess_StandardOutput_slots();
    void ffmpegProcess_Finished(int index);

protected:
    struct RunPlan
    {
        OutputName name;
        QStringList arguments;
        double referenceDuration = 0.0; // microseconds of output that make a whole run
    };
    // The run of the tool for the entries in list order (never empty),
    // writing `output`. Called once without an output, for the name.
    virtual RunPlan planRun(const QList<VoiceData *> &entries, const QString &output) = 0;
    // The output side of a run over `entries` (OutputPlan::Combined); every
    // entry's row notes what the format changed.
    static OutputPlan planOutput(const QList<VoiceData *> &entries, const QString &output);
    // Return never stops a run: only the button, or a click on it, does.
    void returnPressed() override;

    ChildProcess listProcess;

private:
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processError(QProcess::ProcessError error);
    void readChildOutput();
    void endRun(bool childStarted);
    // Ends the run with its whole process tree; its unfinished output goes.
    void stopRun();
    void failRunLater(const QString &reason);

    // The entries the running child was started for. An entry deleted or
    // cleared from the list leaves it at once, so it never holds a dead one;
    // entries added during a run are not part of it.
    QList<VoiceData *> runEntries;
    StatusLineReader statusReader;
    PartFile runPart;
    OutputName runName;
    QString runOutput;
    double runDuration = 0.0;
    int runProgress = 0;
    bool running = false;
    bool childFailed = false;
    bool stopRequested = false;
    QString startFailure;    // why the run's child was never started
    bool runSkipped = false; // the result's name is taken and the Output choices say skip
};
