// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <memory>

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QProcess;
class QTextDecoder;

// Turns a child's console output, as it arrives in pieces, into whole lines
// and the status times they carry. ffmpeg ends its status lines with a
// carriage return, so text after the last "\r" or "\n" of a read is a line
// still being written: it is kept and put in front of the next read.
// Complete text is then cut at line feeds only; a piece holding several
// "\r"-ended status lines counts with its first time. Along the way it keeps
// the line that best tells why a child failed, and the first sign of a failed
// write that the child's exit status may not show.
class StatusLineReader
{
    Q_DECLARE_TR_FUNCTIONS(StatusLineReader)
public:
    StatusLineReader();
    ~StatusLineReader();

    // Reads everything the process has written since the last read, standard
    // output and standard error, each as console text (UTF-8, invalid bytes
    // replaced, a character split between two reads kept whole, up to the
    // first NUL); each non-empty text goes to the log when `log` is set.
    // Returns the standard output text, which carries the status lines
    // (children run with merged channels).
    QString readProcessText(QProcess &process, bool log = true);
    // The standard output part of that: the next bytes as console text.
    QString decodeOutput(const QByteArray &bytes);

    // The complete, non-empty lines of the text so far; an unfinished line is
    // kept for the next call.
    QStringList takeLines(const QString &text);

    // The usable status times (microseconds, above 0) of the complete lines
    // of the text so far, in order.
    QList<qint64> takeTimes(const QString &text);

    // readProcessText, then takeTimes.
    QList<qint64> readTimes(QProcess &process, bool log = true);

    // Forgets an unfinished line and the messages: every run starts with a
    // clean reader.
    void reset();

    const QString &pendingText() const { return pending; }

    // The largest time of all complete status lines so far, also of those a
    // piece holds after its first: how far the child got. 0 when none.
    qint64 furthestTime() const { return furthest; }

    // Why the child failed, in plain words where the cause is known ("The
    // disk is full."), else its most telling line: the last one naming an
    // error ("Error", "Invalid", "No such file", "matches no streams" ...),
    // never a statistics line. Empty when it said nothing of the kind.
    QString failureMessage() const;

    // The first line that tells of a failed write (a full disk, a trailer or
    // a file that could not be written), which ffmpeg prints also when it
    // exits with 0; empty when there was none.
    const QString &writeFailure() const { return fatal; }

    // The plain words for a line whose cause is known, else the line without
    // ffmpeg's "[component @ 0x...]" prefix.
    static QString PlainWords(const QString &line);

private:
    void noteMessages(const QString &line);

    std::unique_ptr<QTextDecoder> outputDecoder;
    std::unique_ptr<QTextDecoder> errorDecoder;
    QString pending;
    QString telling; // the last line naming an error
    QString fatal;
    qint64 furthest = 0;
};
