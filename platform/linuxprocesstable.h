// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QByteArray>

#include "platform/processtable.h"

// The process table read from /proc.
class LinuxProcessTable : public ProcessTable
{
public:
    bool read(QStringList &pids, QStringList &parentPids) const override;
    bool suspend(qint64 pid) const override;
    bool kill(qint64 pid) const override;
    // From /proc/<pid>/task/<tid>/children; the whole table where the kernel
    // does not offer that file.
    QList<qint64> children(qint64 pid) const override;

    // Reads pid and parent pid from the text of /proc/<pid>/stat. The command
    // name in parentheses may itself hold blanks and parentheses, so the
    // fields are counted from the last closing parenthesis.
    static bool parseStat(const QByteArray &stat, qint64 *pid, qint64 *parentPid);
};
