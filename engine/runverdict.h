// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

class StatusLineReader;

// Whether a run left a result: the child started and exited with 0, printed
// no failed write, and its part file, probed, holds audio as long as the tool
// promised. A file that falls short is accepted only as far as the child
// itself got less from its input (a damaged file ends early), so a result cut
// short by a full disk never passes for whole.
class RunVerdict
{
    Q_DECLARE_TR_FUNCTIONS(RunVerdict)
public:
    // How much shorter than promised an output may be: 0.25 s plus 2 % of
    // the promised length. Encoders pad and prime, stream copies cut at
    // packets (up to 0.1 s), and tempo changes lose a little at the ends.
    static qint64 Tolerance(qint64 length);

    // The verdict on a finished child's part file, for `promised`
    // microseconds of audio (0 or less: unknown, any length will do). Empty
    // when the file is a result, else why it is not, in plain words.
    static QString Judge(const QString &partPath, qint64 promised, const StatusLineReader &reader,
                         bool childStarted, bool childFailed);
};
