// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/cliworker.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/audiotranscoder.h"

namespace {
std::mutex replyMutex;

void reply(const QJsonObject &message)
{
    const QByteArray line = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
    std::lock_guard<std::mutex> lock(replyMutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

struct Inbox
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<QJsonObject> jobs;
    QString running; // the id of the job under way
    std::atomic_bool cancel{false};
    bool closed = false;
};

void readRequests(Inbox &inbox)
{
    std::string line;
    while (std::getline(std::cin, line)) {
        const QJsonObject message = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        std::lock_guard<std::mutex> lock(inbox.mutex);
        const QString cancel = message.value(QStringLiteral("cancel")).toString();
        if (!cancel.isEmpty()) {
            if (cancel == inbox.running)
                inbox.cancel = true;
            for (auto it = inbox.jobs.begin(); it != inbox.jobs.end(); ++it) {
                if (it->value(QStringLiteral("id")).toString() == cancel) {
                    inbox.jobs.erase(it);
                    reply({{QStringLiteral("id"), cancel},
                           {QStringLiteral("end"), QStringLiteral("cancelled")}});
                    break;
                }
            }
        } else if (!message.value(QStringLiteral("id")).toString().isEmpty()) {
            inbox.jobs.push_back(message);
        }
        inbox.arrived.notify_one();
    }
    // Our parent is gone or done: what runs stops.
    std::lock_guard<std::mutex> lock(inbox.mutex);
    inbox.closed = true;
    inbox.cancel = true;
    inbox.arrived.notify_one();
}

const char *outcomeName(AudioTranscoder::Outcome outcome)
{
    switch (outcome) {
    case AudioTranscoder::Outcome::Done:
        return "done";
    case AudioTranscoder::Outcome::Cancelled:
        return "cancelled";
    case AudioTranscoder::Outcome::Unsupported:
        return "unsupported";
    case AudioTranscoder::Outcome::Failed:
        break;
    }
    return "failed";
}
} // namespace

int RunWorker()
{
    Inbox inbox;
    std::thread reader(readRequests, std::ref(inbox));
    reader.detach();
    for (;;) {
        QJsonObject request;
        {
            std::unique_lock<std::mutex> lock(inbox.mutex);
            inbox.arrived.wait(lock, [&inbox] { return inbox.closed || !inbox.jobs.empty(); });
            if (inbox.closed)
                return 0;
            request = inbox.jobs.front();
            inbox.jobs.pop_front();
            inbox.running = request.value(QStringLiteral("id")).toString();
            inbox.cancel = false;
        }
        const QString id = inbox.running;
        AudioTranscoder::Job job;
        job.input = request.value(QStringLiteral("input")).toString();
        job.output = request.value(QStringLiteral("output")).toString();
        job.filter = request.value(QStringLiteral("filter")).toString();
        job.codec = request.value(QStringLiteral("codec")).toString();
        for (const QJsonValue &value : request.value(QStringLiteral("encode")).toArray())
            job.encode << value.toString();
        const QJsonObject reverse = request.value(QStringLiteral("reverse")).toObject();
        job.reverse.raw = reverse.value(QStringLiteral("raw")).toString();
        job.reverse.format = reverse.value(QStringLiteral("format")).toString();
        job.reverse.rate = reverse.value(QStringLiteral("rate")).toInt();
        job.reverse.channels = reverse.value(QStringLiteral("channels")).toInt();
        QString reason;
        QString log;
        const AudioTranscoder::Outcome outcome = AudioTranscoder::Run(
            job, inbox.cancel,
            [&id](qint64 time, int pass) {
                QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("time"), double(time)}};
                if (pass > 0)
                    message.insert(QStringLiteral("pass"), pass);
                reply(message);
            },
            reason, log);
        {
            std::lock_guard<std::mutex> lock(inbox.mutex);
            inbox.running.clear();
        }
        reply({{QStringLiteral("id"), id},
               {QStringLiteral("end"), QLatin1String(outcomeName(outcome))},
               {QStringLiteral("reason"), reason},
               {QStringLiteral("log"), log}});
    }
}
