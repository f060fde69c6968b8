#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QProcess;

// Turns a child's console output, as it arrives in pieces, into whole lines
// and the status times they carry. ffmpeg ends its status lines with a
// carriage return, so text after the last "\r" or "\n" of a read is a line
// still being written: it is kept and put in front of the next read.
// Complete text is then cut at line feeds only; a piece holding several
// "\r"-ended status lines counts with its first time.
class StatusLineReader
{
public:
    // Reads everything the process has written since the last read, standard
    // output and standard error, each as console text (Latin-1 up to the first
    // NUL); each non-empty text goes to the log when `log` is set. Returns the
    // standard output text, which carries the status lines (children run with
    // merged channels).
    static QString readProcessText(QProcess &process, bool log = true);

    // The complete, non-empty lines of the text so far; an unfinished line is
    // kept for the next call.
    QStringList takeLines(const QString &text);

    // The usable status times (microseconds, above 0) of the complete lines
    // of the text so far, in order.
    QList<qint64> takeTimes(const QString &text);

    // readProcessText, then takeTimes.
    QList<qint64> readTimes(QProcess &process, bool log = true);

    // Forgets an unfinished line and the last message: every run starts with
    // a clean reader.
    void reset();

    const QString &pendingText() const { return pending; }

    // The largest time of all complete status lines so far, also of those a
    // piece holds after its first: how far the child got. 0 when none.
    qint64 furthestTime() const { return furthest; }

    // The last complete line that was not a status line, such as the reason
    // the child gave for failing.
    const QString &lastMessage() const { return message; }

private:
    void noteMessages(const QString &line);

    QString pending;
    QString message;
    qint64 furthest = 0;
};
