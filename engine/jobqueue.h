// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QObject>

class VoiceData;

// The jobs of one tool in their order, and the rule that starts them: waiting
// jobs start in list order while fewer than the limit convert. The queue owns
// its jobs; it knows nothing of rows. A view follows it through the signals
// and asks it for every change of order, state or membership.
class JobQueue : public QObject
{
    Q_OBJECT
public:
    explicit JobQueue(QObject *parent = nullptr);
    // Stops what converts and deletes every job.
    ~JobQueue() override;

    const QList<VoiceData *> &jobs() const { return list; }
    int count() const { return list.size(); }

    // Simultaneous conversions; 0 (the default) follows SameMaxCount.
    void setLimit(int limit) { fixedLimit = limit; }
    int limit() const;
    // A held queue never starts its jobs (the whole-list tools run them as one).
    void setHeld(bool held) { this->held = held; }

    // Takes the job, last in the list.
    void append(VoiceData *job);
    // Moves a job one place towards the front or the back; at an end, nothing moves.
    void moveUp(VoiceData *job);
    void moveDown(VoiceData *job);
    // Takes a job out of the list (jobRemoved), stops it if it converts and
    // deletes it once control returns to the event loop.
    void remove(VoiceData *job);
    // Stops every job (stopAll) and lets them all go, unreported.
    void clear();

    // Queues a job that does not convert; false when it converts already
    // (queueing it again would start it twice). Start, retry and
    // requeue after a stop are all this.
    bool enqueue(VoiceData *job);
    // Queues every job that does not convert.
    void enqueueAll();
    // Starts waiting jobs in list order within the limit.
    void startWaiting();
    // Waiting jobs go back to idle, converting ones are stopped, and every
    // child and converter job is waited for (up to `waitMs` each), so their part files are gone
    // when this returns.
    void stopAll(int waitMs = 5000);

    // In a held queue, whose jobs one run outside them converts together:
    // the jobs of the list among `jobs` take that run's state.
    void setRunState(const QList<VoiceData *> &jobs, int state);

    int convertingCount() const;
    // Whether a job waits or converts.
    bool isBusy() const;

signals:
    void jobAdded(VoiceData *job);
    // The job is still valid while this is delivered.
    void jobRemoved(VoiceData *job);
    void jobMoved(VoiceData *job, int from, int to);
    void cleared();
    void stateChanged(VoiceData *job);
    void progressChanged(VoiceData *job);
    // A run of the job ended (success, failure or stop).
    void jobFinished(VoiceData *job);
    // Nothing waits or converts any more after jobs were started: what they ended with.
    void batchFinished(int succeeded, int failed, int stopped, int skipped);

private:
    void onFinished(VoiceData *job);
    void release(VoiceData *job);
    void setState(VoiceData *job, int state);
    void move(VoiceData *job, int offset);

    QList<VoiceData *> list;
    int fixedLimit = 0;
    bool held = false;
    // What the jobs of the batch under way have ended with so far.
    bool batchOpen = false;
    int batchSucceeded = 0;
    int batchFailed = 0;
    int batchStopped = 0;
    int batchSkipped = 0;
};
