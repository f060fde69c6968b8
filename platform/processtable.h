// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The operating system's table of processes, as far as stopping a job's child
// with all its descendants needs it. One implementation per platform; the
// rest of the program only sees this interface.
class ProcessTable
{
public:
    virtual ~ProcessTable();

    // Fills two parallel lists with every process: its pid and its parent's
    // pid, both in decimal. On failure returns false and leaves both lists as
    // they were.
    virtual bool read(QStringList &pids, QStringList &parentPids) const = 0;

    // Halts a process where it stands, so that it can neither end nor start
    // children until it is killed.
    virtual bool suspend(qint64 pid) const = 0;

    // Ends a process at once; a halted one too.
    virtual bool kill(qint64 pid) const = 0;

    // The direct children of a process. The base reads the whole table; a
    // platform that can ask for one process's children does so, which keeps
    // halting a tree cheap however many processes the machine runs.
    virtual QList<qint64> children(qint64 pid) const;

    // The table of the platform the program runs on.
    static const ProcessTable &system();

    // Every descendant of `root` in the two parallel lists, parents before
    // their children (breadth first, siblings in table order). The root itself
    // is not part of the result; pids below 2 are never followed.
    static QStringList descendants(const QString &root, const QStringList &pids,
                                   const QStringList &parentPids);
};
