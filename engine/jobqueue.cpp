// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/jobqueue.h"

#include <algorithm>

#include "common/globals.h"
#include "engine/voicedata.h"
#include "engine/workerpool.h"

JobQueue::JobQueue(QObject *parent) : QObject(parent) {}

JobQueue::~JobQueue()
{
    const QList<VoiceData *> all = list;
    list.clear();
    for (VoiceData *job : all) {
        disconnect(job, nullptr, this, nullptr);
        if (job->status() == VoiceData::Converting)
            job->stopConvert();
        delete job;
    }
}

int JobQueue::limit() const
{
    return fixedLimit > 0 ? fixedLimit : SameMaxCount();
}

void JobQueue::append(VoiceData *job)
{
    if (!job || list.contains(job))
        return;
    list.append(job);
    connect(job, &VoiceData::statusChanged, this, &JobQueue::stateChanged);
    connect(job, &VoiceData::updateProgress, this, &JobQueue::progressChanged);
    connect(job, &VoiceData::convertfinished, this, &JobQueue::onFinished);
    emit jobAdded(job);
}

void JobQueue::move(VoiceData *job, int offset)
{
    const int from = list.indexOf(job);
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= list.size())
        return;
    list.move(from, to);
    emit jobMoved(job, from, to);
}

void JobQueue::moveUp(VoiceData *job)
{
    move(job, -1);
}

void JobQueue::moveDown(VoiceData *job)
{
    move(job, 1);
}

void JobQueue::release(VoiceData *job)
{
    disconnect(job, nullptr, this, nullptr);
    if (job->status() == VoiceData::Converting)
        job->stopConvert();
    job->deleteLater();
}

void JobQueue::remove(VoiceData *job)
{
    if (!list.removeOne(job))
        return;
    emit jobRemoved(job);
    release(job);
}

void JobQueue::clear()
{
    // Stopped while the queue still hears them: their part files go now.
    stopAll();
    // Let go without a word: a stop must not start the next waiting job.
    const QList<VoiceData *> all = list;
    list.clear();
    batchOpen = false;
    for (VoiceData *job : all)
        release(job);
    emit cleared();
}

void JobQueue::setState(VoiceData *job, int state)
{
    job->setStatus(state);
}

bool JobQueue::enqueue(VoiceData *job)
{
    if (!job || !list.contains(job) || job->status() == VoiceData::Converting)
        return false;
    setState(job, VoiceData::Waiting);
    return true;
}

void JobQueue::enqueueAll()
{
    for (VoiceData *job : qAsConst(list))
        enqueue(job);
}

void JobQueue::startWaiting()
{
    if (held)
        return;
    const int most = limit();
    // Counted afresh for every start: a start that ends at once comes back
    // here through its finish and may start jobs of its own.
    for (;;) {
        int running = 0;
        VoiceData *next = nullptr;
        for (VoiceData *job : qAsConst(list)) {
            if (job->status() == VoiceData::Converting && ++running >= most)
                return;
            // A job queued again just after its stop waits for its killed
            // child's (or converter job's) end, which comes back here.
            if (!next && job->status() == VoiceData::Waiting && !job->runActive())
                next = job;
        }
        if (!next)
            return;
        if (!batchOpen) {
            batchOpen = true;
            batchSucceeded = batchFailed = batchStopped = batchSkipped = 0;
        }
        next->startConvert();
        // A start may fail at once and report it later: the view learns of the start first.
        emit stateChanged(next);
    }
}

void JobQueue::onFinished(VoiceData *job)
{
    batchSucceeded += job->status() == VoiceData::Succeeded;
    batchFailed += job->status() == VoiceData::Failed;
    batchStopped += job->status() == VoiceData::Stopped;
    batchSkipped += job->status() == VoiceData::Skipped;
    emit jobFinished(job);
    startWaiting();
    if (batchOpen && !isBusy()) {
        batchOpen = false;
        emit batchFinished(batchSucceeded, batchFailed, batchStopped, batchSkipped);
    }
}

void JobQueue::stopAll(int waitMs)
{
    const QList<VoiceData *> all = list;
    // No stop may start a waiting job in its place.
    for (VoiceData *job : all) {
        if (job->status() == VoiceData::Waiting)
            setState(job, VoiceData::Idle);
    }
    for (VoiceData *job : all) {
        if (job->status() == VoiceData::Converting)
            job->stopConvert();
    }
    // However the stop kills, the children's ends (which remove the part
    // files) are handled now.
    for (VoiceData *job : all) {
        if (job->process.state() != QProcess::NotRunning)
            job->process.waitForFinished(waitMs);
        if (job->runTicket() != 0)
            WorkerPool::instance().waitForEnd(job->runTicket(), waitMs);
    }
}

void JobQueue::setRunState(const QList<VoiceData *> &jobs, int state)
{
    if (!held)
        return;
    for (VoiceData *job : jobs) {
        if (list.contains(job))
            setState(job, state);
    }
}

int JobQueue::convertingCount() const
{
    return int(std::count_if(list.cbegin(), list.cend(),
                             [](const VoiceData *job) { return job->status() == VoiceData::Converting; }));
}

bool JobQueue::isBusy() const
{
    return std::any_of(list.cbegin(), list.cend(), [](const VoiceData *job) {
        return job->status() == VoiceData::Waiting || job->status() == VoiceData::Converting;
    });
}
