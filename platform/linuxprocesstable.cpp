// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "platform/linuxprocesstable.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QVector>

namespace {
bool sendSignal(qint64 pid, int signal)
{
    // Never a process group (0 or negative) or init.
    if (pid < 2)
        return false;
    return ::kill(static_cast<pid_t>(pid), signal) == 0;
}
} // namespace

bool LinuxProcessTable::read(QStringList &pids, QStringList &parentPids) const
{
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (entries.isEmpty())
        return false;

    QVector<qint64> numbers;
    numbers.reserve(entries.size());
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok && pid > 0)
            numbers.append(pid);
    }
    std::sort(numbers.begin(), numbers.end());

    QStringList foundPids;
    QStringList foundParents;
    for (qint64 number : qAsConst(numbers)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(number));
        // A process may end between the listing and this read; it is simply left out.
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        qint64 pid = 0;
        qint64 parent = 0;
        if (!parseStat(stat.readAll(), &pid, &parent))
            continue;
        foundPids.append(QString::number(pid));
        foundParents.append(QString::number(parent));
    }
    if (foundPids.isEmpty())
        return false;
    pids += foundPids;
    parentPids += foundParents;
    return true;
}

bool LinuxProcessTable::suspend(qint64 pid) const
{
    return sendSignal(pid, SIGSTOP);
}

bool LinuxProcessTable::kill(qint64 pid) const
{
    return sendSignal(pid, SIGKILL);
}

QList<qint64> LinuxProcessTable::children(qint64 pid) const
{
    QList<qint64> result;
    if (pid < 2)
        return result;
    const QByteArray taskFolder = "/proc/" + QByteArray::number(pid) + "/task";
    DIR *tasks = ::opendir(taskFolder.constData());
    if (!tasks)
        return result; // gone
    bool offered = true;
    while (const dirent *task = ::readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        // Each thread lists the children it started.
        const QByteArray path = taskFolder + '/' + task->d_name + "/children";
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            offered = offered && errno != ENOENT;
            continue;
        }
        QByteArray text;
        char buffer[512];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            text.append(buffer, int(got));
        ::close(fd);
        for (const QByteArray &field : text.simplified().split(' ')) {
            bool ok = false;
            const qint64 child = field.toLongLong(&ok);
            if (ok && child > 1 && !result.contains(child))
                result.append(child);
        }
    }
    ::closedir(tasks);
    // A thread that ended between the listing and the read is no sign either way;
    // a missing file in a live thread is a kernel without it.
    if (!offered && ::access(taskFolder.constData(), F_OK) == 0)
        return ProcessTable::children(pid);
    return result;
}

bool LinuxProcessTable::parseStat(const QByteArray &stat, qint64 *pid, qint64 *parentPid)
{
    const int open = stat.indexOf('(');
    const int close = stat.lastIndexOf(')');
    if (open < 1 || close < open)
        return false;
    bool ok = false;
    const qint64 ownPid = stat.left(open).trimmed().toLongLong(&ok);
    if (!ok)
        return false;
    // After the name: state, then the parent pid.
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    if (fields.size() < 2)
        return false;
    const qint64 parent = fields.at(1).toLongLong(&ok);
    if (!ok)
        return false;
    *pid = ownPid;
    *parentPid = parent;
    return true;
}
