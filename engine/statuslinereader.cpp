#include "engine/statuslinereader.h"

#include <QProcess>

#include "engine/jobhelpers.h"

namespace {
// A child that never ends a line must not grow the carry without bound; a
// status line is far shorter than this.
constexpr int MaxPendingChars = 64 * 1024;
} // namespace

QString StatusLineReader::readProcessText(QProcess &process, bool log)
{
    const QString output = ConsoleText(process.readAllStandardOutput());
    const QString error = ConsoleText(process.readAllStandardError());
    if (log) {
        if (!output.isEmpty())
            qDebug("%s", qPrintable(output));
        if (!error.isEmpty())
            qDebug("%s", qPrintable(error));
    }
    return output;
}

QStringList StatusLineReader::takeLines(const QString &text)
{
    pending += text;
    const int cut = qMax(pending.lastIndexOf(QLatin1Char('\n')), pending.lastIndexOf(QLatin1Char('\r')));
    if (cut < 0) {
        if (pending.size() > MaxPendingChars)
            pending = pending.right(MaxPendingChars);
        return QStringList();
    }
    const QString complete = pending.left(cut + 1);
    pending = pending.mid(cut + 1);
    const QStringList lines = complete.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines)
        noteMessages(line);
    return lines;
}

void StatusLineReader::noteMessages(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString text = part.trimmed();
        const qint64 time = StatusLineTime(text);
        furthest = qMax(furthest, time);
        // ffmpeg's closing verdict says nothing the line before it did not.
        if (text.isEmpty() || time > 0 || text == QLatin1String("Conversion failed!"))
            continue;
        message = text;
    }
}

QList<qint64> StatusLineReader::takeTimes(const QString &text)
{
    QList<qint64> times;
    const QStringList lines = takeLines(text);
    // Every status line of a piece counts: ffmpeg often hands over several
    // "\r"-ended lines at once, and the first of them is the oldest.
    for (const QString &line : lines) {
        const QStringList parts = line.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
        for (const QString &part : parts) {
            const qint64 time = StatusLineTime(part);
            if (time > 0)
                times.append(time);
        }
    }
    return times;
}

QList<qint64> StatusLineReader::readTimes(QProcess &process, bool log)
{
    return takeTimes(readProcessText(process, log));
}

void StatusLineReader::reset()
{
    pending.clear();
    message.clear();
    furthest = 0;
}
