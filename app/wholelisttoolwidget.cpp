// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/wholelisttoolwidget.h"

#include "engine/jobqueue.h"
#include "engine/voicedata.h"
#include "tools/common/wholelistdata.h"
#include "widgets/labelbutton.h"

namespace {
// How long closing the panel waits to reap a killed child; it blocks the user-interface thread.
constexpr int ChildEndWaitMs = 500;
} // namespace

WholeListToolWidget::WholeListToolWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
    // The entries never start on their own: the panel's one job runs them all.
    queue()->setHeld(true);
}

// The run's job kills its tree and removes its unfinished output as it goes.
WholeListToolWidget::~WholeListToolWidget() = default;

int WholeListToolWidget::convertingCount() const
{
    return running ? qMax(1, ToolsBaseWidget::convertingCount()) : 0;
}

void WholeListToolWidget::StopAllJobs()
{
    if (!running)
        return;
    run->stopConvert();
    // Reaped now, so that the run's end (which removes its part file) is handled before this returns.
    run->process.waitForFinished(ChildEndWaitMs);
    if (running) {
        // Still not reaped, or its start's failure not yet told: the job goes, and its part file with it.
        run.reset();
        endRun(VoiceData::Stopped, QString(), QString());
    }
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
        run->stopConvert();
        return;
    }
    const QList<VoiceData *> entries = jobs();
    clearNotice();
    if (entries.isEmpty())
        return;

    run.reset(newRun());
    connect(run.data(), &VoiceData::updateProgress, this, &WholeListToolWidget::runProgressed);
    connect(run.data(), &VoiceData::convertfinished, this, [this](VoiceData *job) {
        const int state = job->status();
        endRun(state, state == VoiceData::Succeeded ? job->outputPath : QString(),
               state == VoiceData::Failed || state == VoiceData::Skipped ? job->errorText : QString());
    });
    run->setInputs({entries.cbegin(), entries.cend()});
    // A failure to open the part file or to start the child is told later, through convertfinished.
    run->startConvert();
    runEntries = entries;
    runOutput = run->outputPath;
    for (VoiceData *entry : entries) {
        entry->progress = 0;
        entry->runClock.start();
        entry->outputPath = runOutput;
        entry->outputNote = run->outputNote;
        entry->errorText.clear();
    }
    queue()->setRunState(entries, VoiceData::Converting);
    running = true;
    convertButton->setText(tr("Stop"));
}

void WholeListToolWidget::runProgressed()
{
    for (VoiceData *entry : qAsConst(runEntries)) {
        entry->progress = run->progress;
        Convertitem_updateProgress(entry);
    }
}

void WholeListToolWidget::endRun(int state, const QString &output, const QString &reason)
{
    running = false;
    runOutput = output;
    convertButton->setText(tr("Convert"));
    showNotice(
        BatchSummary(state == VoiceData::Succeeded, state == VoiceData::Failed, state == VoiceData::Stopped,
                     state == VoiceData::Skipped));
    const QList<VoiceData *> entries = runEntries;
    runEntries.clear();
    for (VoiceData *entry : entries) {
        entry->outputPath = output;
        entry->errorText = reason;
    }
    queue()->setRunState(entries, state);
    // Every row, with its place in the list: a concat row shows Up and Down again.
    itemList()->FlushText();
}
