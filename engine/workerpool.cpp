// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/workerpool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "engine/encodeplan.h"
#include "platform/childprocess.h"

namespace {
// How long the pool waits for a worker to leave when the application ends.
constexpr int LeaveWaitMs = 500;
} // namespace

WorkerPool &WorkerPool::instance()
{
    static QPointer<WorkerPool> pool;
    if (!pool)
        pool = new WorkerPool(QCoreApplication::instance());
    return *pool;
}

WorkerPool::WorkerPool(QObject *parent) : QObject(parent)
{
    on = qgetenv("QUILLVANE_NO_WORKER") != "1";
    program = QCoreApplication::applicationDirPath() + QStringLiteral("/quillvane-cli");
}

WorkerPool::~WorkerPool()
{
    shutdown();
}

void WorkerPool::shutdown()
{
    const QList<Worker *> leaving = workers;
    // A worker stops what it runs when its input ends.
    for (Worker *worker : leaving) {
        worker->cancelling = true;
        worker->process->closeWriteChannel();
    }
    // Each one's end (workerEnded) comes through waitForFinished.
    for (Worker *worker : leaving) {
        if (workers.contains(worker) && !worker->process->waitForFinished(LeaveWaitMs))
            worker->process->kill();
        if (workers.contains(worker) && !worker->process->waitForFinished(LeaveWaitMs))
            workerEnded(worker);
    }
}

void WorkerPool::setProgram(const QString &path)
{
    program = path;
}

bool WorkerPool::available() const
{
    const QFileInfo file(program);
    return on && file.isFile() && file.isExecutable();
}

WorkerPool::Worker *WorkerPool::startWorker()
{
    auto *worker = new Worker;
    worker->process = new ChildProcess(this);
    worker->killTimer = new QTimer(worker->process);
    worker->killTimer->setSingleShot(true);
    worker->killTimer->setInterval(CancelGraceMs);
    connect(worker->killTimer, &QTimer::timeout, worker->process, &QProcess::kill);
    worker->process->setStandardErrorFile(QProcess::nullDevice());
    connect(worker->process, &QProcess::readyReadStandardOutput, this,
            [this, worker] { readReplies(worker); });
    connect(worker->process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this, worker] { workerEnded(worker); });
    connect(worker->process, &QProcess::errorOccurred, this, [this, worker](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            workerEnded(worker);
    });
    workers.append(worker);
    worker->process->start(program, {QStringLiteral("--worker")});
    return worker;
}

quint64 WorkerPool::submit(const EncodePlan &plan, QObject *receiver, Handler handler)
{
    Worker *worker = nullptr;
    for (Worker *each : qAsConst(workers)) {
        if (each->ticket == 0 && each->process->state() != QProcess::NotRunning) {
            worker = each;
            break;
        }
    }
    if (!worker)
        worker = startWorker();
    const quint64 ticket = ++lastTicket;
    tickets.insert(ticket, {receiver, std::move(handler), worker});
    worker->ticket = ticket;
    worker->cancelling = false;
    worker->process->write(QJsonDocument(plan.request(ticket)).toJson(QJsonDocument::Compact) + '\n');
    return ticket;
}

void WorkerPool::cancel(quint64 ticket)
{
    const auto it = tickets.constFind(ticket);
    if (it == tickets.constEnd() || !it->worker || it->worker->cancelling)
        return;
    Worker *worker = it->worker;
    worker->cancelling = true;
    worker->process->write(QJsonDocument(QJsonObject{{QStringLiteral("cancel"), QString::number(ticket)}})
                               .toJson(QJsonDocument::Compact) +
                           '\n');
    worker->killTimer->start();
}

bool WorkerPool::waitForEnd(quint64 ticket, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (tickets.contains(ticket)) {
        Worker *worker = tickets.value(ticket).worker;
        const int left = ms - int(clock.elapsed());
        if (left <= 0)
            return false;
        // The reply or the worker's end is handled (and the ticket ended) inside these waits.
        if (!worker->process->waitForReadyRead(qMin(left, CancelGraceMs)) && worker->cancelling &&
            workers.contains(worker)) {
            worker->process->kill();
            worker->process->waitForFinished(left);
        }
    }
    return true;
}

qint64 WorkerPool::workerPid(quint64 ticket) const
{
    const Ticket found = tickets.value(ticket);
    return found.worker ? found.worker->process->processId() : 0;
}

void WorkerPool::readReplies(Worker *worker)
{
    worker->pending += worker->process->readAllStandardOutput();
    int newline;
    while ((newline = worker->pending.indexOf('\n')) >= 0) {
        const QJsonObject reply = QJsonDocument::fromJson(worker->pending.left(newline)).object();
        worker->pending.remove(0, newline + 1);
        // A late word about a job the worker no longer runs for us.
        if (worker->ticket == 0 ||
            reply.value(QStringLiteral("id")).toString().toULongLong() != worker->ticket)
            continue;
        Event event;
        if (!reply.contains(QStringLiteral("end"))) {
            event.time = qint64(reply.value(QStringLiteral("time")).toDouble());
            event.pass = reply.value(QStringLiteral("pass")).toInt();
            const Ticket ticket = tickets.value(worker->ticket);
            if (ticket.receiver && !worker->cancelling)
                ticket.handler(event);
            continue;
        }
        event.end = true;
        event.outcome = reply.value(QStringLiteral("end")).toString();
        event.reason = reply.value(QStringLiteral("reason")).toString();
        event.log = reply.value(QStringLiteral("log")).toString();
        finishTicket(worker, event);
    }
}

void WorkerPool::workerEnded(Worker *worker)
{
    if (!workers.removeOne(worker))
        return;
    if (worker->ticket != 0) {
        Event event;
        event.end = true;
        event.outcome = QStringLiteral("failed");
        event.reason = worker->process->error() == QProcess::FailedToStart
                           ? tr("The converter could not be started.")
                           : tr("The converter stopped unexpectedly.");
        finishTicket(worker, event);
    }
    worker->process->deleteLater();
    delete worker;
}

void WorkerPool::finishTicket(Worker *worker, Event event)
{
    const Ticket ticket = tickets.take(worker->ticket);
    if (worker->cancelling)
        event.outcome = QStringLiteral("cancelled");
    worker->killTimer->stop();
    worker->ticket = 0;
    worker->cancelling = false;
    // The worker is free before the job hears of its end: the job may start its next run at once.
    if (ticket.receiver)
        ticket.handler(event);
}
