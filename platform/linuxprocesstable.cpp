#include "platform/linuxprocesstable.h"

#include <algorithm>
#include <csignal>
#include <sys/types.h>

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
