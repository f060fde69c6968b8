// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/wholelisttoolwidget.h"

#include <QFileInfo>
#include <QTimer>

#include "common/globals.h"
#include "engine/jobhelpers.h"
#include "engine/jobqueue.h"
#include "engine/runverdict.h"
#include "engine/voicedata.h"
#include "tools/common/wholelistdata.h"
#include "widgets/labelbutton.h"

namespace {
// How long closing the panel waits to reap a killed child; it blocks the user-interface thread.
constexpr int ChildEndWaitMs = 500;
} // namespace

WholeListToolWidget::WholeListToolWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    // The entries never start on their own: the panel's one child runs them all.
    queue()->setHeld(true);
    listProcess.setProcessEnvironment(ChildProcessEnvironment());
    connect(&listProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &WholeListToolWidget::processFinished);
    connect(&listProcess, &QProcess::readyReadStandardOutput, this,
            &WholeListToolWidget::ffmpegProcess_StandardOutput_slots);
    connect(&listProcess, &QProcess::errorOccurred, this, &WholeListToolWidget::processError);
}

WholeListToolWidget::~WholeListToolWidget()
{
    disconnect(&listProcess, nullptr, this, nullptr);
    if (listProcess.state() == QProcess::NotRunning)
        return;
    VoiceData::KillProcessTree(listProcess.processId());
    // Killed, so this is only the reaping.
    listProcess.waitForFinished(ChildEndWaitMs);
    // An unfinished result is no result: the part file goes with runPart.
}

int WholeListToolWidget::convertingCount() const
{
    return running ? qMax(1, ToolsBaseWidget::convertingCount()) : 0;
}

void WholeListToolWidget::StopAllJobs()
{
    if (!running)
        return;
    stopRun();
    // Reaped now, so that the run's end (which removes its part file) is handled before this returns.
    listProcess.waitForFinished(ChildEndWaitMs);
    if (running)
        endRun(listProcess.state() != QProcess::NotRunning);
}

QStringList WholeListToolWidget::InputPaths(const QList<VoiceData *> &entries)
{
    QStringList paths;
    paths.reserve(entries.size());
    for (const VoiceData *entry : entries)
        paths.append(entry->filePath);
    return paths;
}

OutputPlan WholeListToolWidget::planOutput(const QList<VoiceData *> &entries, const QString &output)
{
    QList<SourceAudio> sources;
    for (const VoiceData *entry : entries)
        sources << entry->sourceAudio();
    const OutputPlan plan = WholeListData::PlanOutput(sources, output, OutputOptions::Load());
    for (VoiceData *entry : entries)
        entry->outputNote = plan.note;
    return plan;
}

void WholeListToolWidget::StartWaitingItems() {}

void WholeListToolWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceData, record);
}

void WholeListToolWidget::RemoveAllItems()
{
    // The run goes on without them; its end must not reach the deleted entries.
    runEntries.clear();
    ToolsBaseWidget::RemoveAllItems();
}

void WholeListToolWidget::ItemDeleted_slots(VoiceData *item)
{
    runEntries.removeAll(item);
    ToolsBaseWidget::ItemDeleted_slots(item);
}

void WholeListToolWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    convertButton->setText(running ? tr("Stop") : tr("Convert"));
}

void WholeListToolWidget::returnPressed()
{
    if (!running)
        convertButton_slots();
}

void WholeListToolWidget::convertButton_slots()
{
    // While a run goes on the button is its Stop: a second child would be
    // refused, and the entries of the running one rewritten under it.
    if (running) {
        stopRun();
        return;
    }
    const QList<VoiceData *> entries = jobs();
    clearNotice();
    if (entries.isEmpty())
        return;

    runName = planRun(entries, QString()).name;
    // Named as every job names its result; the reference (first entry) gives the tags.
    const OutputOptions choice = OutputOptions::Load();
    runName.pattern = choice.namePattern;
    runName.artist = entries.first()->traits.artist;
    runName.title = entries.first()->traits.title;
    runName.numbered = !choice.skipTaken;
    runSkipped = !runName.numbered && PartFile::NameTaken(runName.candidate(-1));
    const bool opened = !runSkipped && runPart.create(runName.folder, runName.extension);
    const RunPlan plan = planRun(entries, runPart.path());
    runEntries = entries;
    runOutput = runPart.path();
    runDuration = plan.referenceDuration;
    runProgress = 0;
    childFailed = false;
    startFailure.clear();
    statusReader.reset();
    for (VoiceData *entry : entries) {
        entry->progress = 0;
        entry->runClock.start();
        entry->outputPath = runOutput;
        entry->errorText.clear();
    }
    queue()->setRunState(entries, VoiceData::Converting);
    running = true;
    stopRequested = false;
    convertButton->setText(tr("Stop"));
    if (!opened) {
        failRunLater(
            runSkipped ? VoiceData::tr("Skipped: %1 exists.").arg(QFileInfo(runName.candidate(-1)).fileName())
                       : tr("The output folder cannot be written."));
        return;
    }
    StartChildProcess(listProcess, GetFFmpegPath(), plan.arguments);
}

void WholeListToolWidget::failRunLater(const QString &reason)
{
    // After Convert has shown the entries converting.
    QTimer::singleShot(0, this, [this, reason] {
        if (!running || listProcess.state() != QProcess::NotRunning)
            return;
        childFailed = true;
        startFailure = reason;
        endRun(false);
    });
}

void WholeListToolWidget::stopRun()
{
    stopRequested = true;
    // The child's end comes back through processFinished, as the event loop delivers it.
    VoiceData::KillProcessTree(listProcess.processId());
}

void WholeListToolWidget::ffmpegProcess_StandardOutput_slots()
{
    // Read even with no entry left: the child's console still goes to the log.
    const QList<qint64> times = statusReader.readTimes(listProcess);
    for (qint64 time : times) {
        if (!AdvanceProgress(time, runDuration, runProgress))
            continue;
        for (VoiceData *entry : qAsConst(runEntries)) {
            entry->progress = runProgress;
            Convertitem_updateProgress(entry);
        }
    }
}

void WholeListToolWidget::ffmpegProcess_Finished(int index)
{
    Q_UNUSED(index)
    if (running)
        endRun(true);
}

void WholeListToolWidget::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    childFailed = exitStatus != QProcess::NormalExit || exitCode != 0;
    ffmpegProcess_Finished(exitCode);
}

void WholeListToolWidget::processError(QProcess::ProcessError error)
{
    // No finished() follows a failed start: the run ends here.
    if (error != QProcess::FailedToStart || !running)
        return;
    childFailed = true;
    endRun(false);
}

void WholeListToolWidget::endRun(bool childStarted)
{
    ffmpegProcess_StandardOutput_slots();
    running = false;
    convertButton->setText(tr("Convert"));
    // A stopped child was killed, so it failed. A run that ended well just
    // before its stop took effect keeps its result. The verdict holds also
    // when the entries are gone: the file is the run's.
    QString reason = !startFailure.isEmpty() ? startFailure
                                             : RunVerdict::Judge(runPart.path(), qint64(runDuration),
                                                                 statusReader, childStarted, childFailed);
    if (reason.isEmpty()) {
        runOutput = runPart.publish(runName, PartFile::Move::Rename, &runSkipped);
        if (runOutput.isEmpty())
            reason =
                runSkipped
                    ? VoiceData::tr("Skipped: %1 exists.").arg(QFileInfo(runName.candidate(-1)).fileName())
                    : VoiceData::tr("The result could not be given its name in the output folder.");
    }
    if (!reason.isEmpty()) {
        runPart.discard();
        runOutput.clear();
    }
    const int state = reason.isEmpty() ? VoiceData::Succeeded
                      : stopRequested  ? VoiceData::Stopped
                      : runSkipped     ? VoiceData::Skipped
                                       : VoiceData::Failed;
    if (state != VoiceData::Failed && state != VoiceData::Skipped)
        reason.clear();
    showNotice(BatchSummary(state == VoiceData::Succeeded, state == VoiceData::Failed,
                            state == VoiceData::Stopped, state == VoiceData::Skipped));
    stopRequested = false;

    const QList<VoiceData *> entries = runEntries;
    runEntries.clear();
    for (VoiceData *entry : entries) {
        entry->outputPath = runOutput;
        entry->errorText = reason;
    }
    queue()->setRunState(entries, state);
    // Every row, with its place in the list: a concat row shows Up and Down again.
    itemList()->FlushText();
}
