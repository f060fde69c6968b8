// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <functional>

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

struct EncodePlan;
class ChildProcess;
class QTimer;

// The resident converters ("quillvane-cli --worker") the jobs of this
// process share: a job's plan goes to an idle worker, and a new one starts
// only when every worker is busy, so there are as many as jobs run at once.
// A worker that dies (a decoder's crash, a kill) ends its job as failed and
// is replaced by the next job that needs one. A cancel the worker has not
// obeyed within CancelGraceMs kills it.
class WorkerPool : public QObject
{
    Q_OBJECT
public:
    static constexpr int CancelGraceMs = 100;

    struct Event
    {
        bool end = false; // else progress
        qint64 time = 0;  // microseconds of output, for progress
        int pass = 0;     // of a reversal's progress: 0 decoding, 1 encoding
        QString outcome;  // at the end: "done", "failed", "cancelled" or "unsupported"
        QString reason;   // why it failed
        QString log;      // what a measuring pass printed
    };
    using Handler = std::function<void(const Event &)>;

    // The application's pool; lives as long as the application object.
    static WorkerPool &instance();

    // The converter's executable; by default quillvane-cli beside this
    // program. QUILLVANE_NO_WORKER=1 in the environment turns the pool off.
    void setProgram(const QString &path);
    void setEnabled(bool enabled) { on = enabled; }
    // Whether jobs may use the pool.
    bool available() const;

    // Gives `plan` to a worker; `handler` hears its progress and its end
    // while `receiver` lives. Returns the job's ticket (never 0).
    quint64 submit(const EncodePlan &plan, QObject *receiver, Handler handler);
    // Stops a ticket's job; its end ("cancelled") follows.
    void cancel(quint64 ticket);
    // Waits up to `ms` for a ticket's end, which is delivered before this
    // returns; a cancelled job's worker that does not obey in time is killed.
    // Runs no event loop. False when the job has not ended.
    bool waitForEnd(quint64 ticket, int ms);
    // Lets every worker leave (their jobs end as cancelled) and reaps them.
    void shutdown();
    // The pid of the worker that runs a ticket's job; 0 when none.
    qint64 workerPid(quint64 ticket) const;

private:
    struct Worker
    {
        ChildProcess *process = nullptr;
        QTimer *killTimer = nullptr;
        quint64 ticket = 0; // 0: idle
        bool cancelling = false;
        QByteArray pending; // an unfinished reply line
    };
    struct Ticket
    {
        QPointer<QObject> receiver;
        Handler handler;
        Worker *worker = nullptr;
    };

    explicit WorkerPool(QObject *parent);
    ~WorkerPool() override;
    Worker *startWorker();
    void readReplies(Worker *worker);
    void workerEnded(Worker *worker);
    // Ends a worker's current ticket with `event`.
    void finishTicket(Worker *worker, Event event);

    QString program;
    bool on = true;
    QList<Worker *> workers;
    QHash<quint64, Ticket> tickets;
    quint64 lastTicket = 0;
};
