// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QScopedPointer>
#include <QString>

#include "app/toolsbasewidget.h"

class WholeListData;

// The body of the tools that make one result out of the whole list (mix,
// concat). One job of the core (WholeListData: its child, verdict and
// publish, as the command line runs it) takes every entry as an input; the
// entries are plain VoiceData records whose own processes never start, and
// their rows only mirror the state of that one run. The first entry is the
// reference: it names the output. A tool supplies its job and its row class.
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

    // From Convert until the run's end has been shown.
    bool isRunning() const { return running; }
    // The file the current or last run writes.
    const QString &runOutputPath() const { return runOutput; }

public slots:
    // Convert, or Stop while a run is under way (the button says which).
    void convertButton_slots() override;
    void ItemDeleted_slots(VoiceData *item) override;

protected:
    // A new job of the tool, for one run over the list.
    virtual WholeListData *newRun() const = 0;
    // Return never stops a run: only the button, or a click on it, does.
    void returnPressed() override;

private:
    void runProgressed();
    // Shows the run's end on its entries: `state`, with its result or reason.
    void endRun(int state, const QString &output, const QString &reason);

    // The current or last run.
    QScopedPointer<WholeListData> run;
    // The entries the run was started for. An entry deleted or cleared from
    // the list leaves it at once, so it never holds a dead one; entries added
    // during a run are not part of it.
    QList<VoiceData *> runEntries;
    QString runOutput;
    bool running = false;
};
