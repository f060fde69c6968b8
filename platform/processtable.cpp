// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "platform/processtable.h"

#include <QHash>
#include <QSet>

#if defined(Q_OS_LINUX)
#include "platform/linuxprocesstable.h"
#else
#error "No process table for this platform: add one beside linuxprocesstable.cpp"
#endif

ProcessTable::~ProcessTable() = default;

const ProcessTable &ProcessTable::system()
{
#if defined(Q_OS_LINUX)
    static const LinuxProcessTable table;
#endif
    return table;
}

QList<qint64> ProcessTable::children(qint64 pid) const
{
    QList<qint64> result;
    QStringList pids;
    QStringList parentPids;
    if (pid < 2 || !read(pids, parentPids))
        return result;
    const QString parent = QString::number(pid);
    for (int i = 0; i < pids.size(); ++i) {
        if (parentPids.at(i) == parent)
            result.append(pids.at(i).toLongLong());
    }
    return result;
}

QStringList ProcessTable::descendants(const QString &root, const QStringList &pids,
                                      const QStringList &parentPids)
{
    QStringList result;
    if (pids.size() != parentPids.size())
        return result;

    QMultiHash<QString, int> childrenOf;
    for (int i = pids.size() - 1; i >= 0; --i)
        childrenOf.insert(parentPids.at(i), i);

    // A table read while processes come and go may hold a stale pid twice;
    // `seen` keeps such a table from looping.
    QSet<QString> seen{root};
    QStringList level{root};
    while (!level.isEmpty()) {
        QStringList next;
        for (const QString &parent : qAsConst(level)) {
            if (parent.toLongLong() < 2)
                continue;
            // values() of a multi-hash lists the latest insertion first, hence the reverse fill above.
            const QList<int> rows = childrenOf.values(parent);
            for (int row : rows) {
                const QString &pid = pids.at(row);
                if (seen.contains(pid))
                    continue;
                seen.insert(pid);
                next.append(pid);
            }
        }
        result += next;
        level = next;
    }
    return result;
}
