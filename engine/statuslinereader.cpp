// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/statuslinereader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextDecoder>

#include "engine/jobhelpers.h"

namespace {
// A child that never ends a line must not grow the carry without bound; a
// status line is far shorter than this.
constexpr int MaxPendingChars = 64 * 1024;

std::unique_ptr<QTextDecoder> newDecoder()
{
    return std::unique_ptr<QTextDecoder>(QTextCodec::codecForName("UTF-8")->makeDecoder());
}

QString decode(QTextDecoder &decoder, const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return decoder.toUnicode(nul < 0 ? bytes : bytes.left(nul));
}

bool containsAny(const QString &line, const char *const *words)
{
    for (; *words; ++words) {
        if (line.contains(QLatin1String(*words), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Lines that tell of a write that failed; ffmpeg exits with 0 after some of them.
const char *const writeFailures[] = {"No space left on device",
                                     "File too large",
                                     "Disk quota exceeded",
                                     "Read-only file system",
                                     "Input/output error",
                                     "Error writing trailer",
                                     "Error closing file",
                                     "Error muxing a packet",
                                     "Error submitting a packet to the muxer",
                                     "av_interleaved_write_frame()",
                                     nullptr};

const char *const errorWords[] = {"error",
                                  "invalid",
                                  "no such file",
                                  "permission denied",
                                  "matches no streams",
                                  "not found",
                                  "could not",
                                  "cannot",
                                  "unable",
                                  "failed",
                                  "unknown",
                                  "unrecognized",
                                  "not supported",
                                  "does not contain",
                                  "too large",
                                  "no space left",
                                  nullptr};

} // namespace

StatusLineReader::StatusLineReader() : outputDecoder(newDecoder()), errorDecoder(newDecoder()) {}

StatusLineReader::~StatusLineReader() = default;

QString StatusLineReader::readProcessText(QProcess &process, bool log)
{
    const QString output = decodeOutput(process.readAllStandardOutput());
    const QString error = decode(*errorDecoder, process.readAllStandardError());
    if (log) {
        if (!output.isEmpty())
            qDebug("%s", qPrintable(output));
        if (!error.isEmpty())
            qDebug("%s", qPrintable(error));
    }
    return output;
}

QString StatusLineReader::decodeOutput(const QByteArray &bytes)
{
    return decode(*outputDecoder, bytes);
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
        if (fatal.isEmpty() && containsAny(text, writeFailures))
            fatal = text;
        if (containsAny(text, errorWords))
            telling = text;
    }
}

QString StatusLineReader::failureMessage() const
{
    if (!fatal.isEmpty())
        return PlainWords(fatal);
    return telling.isEmpty() ? QString() : PlainWords(telling);
}

QString StatusLineReader::PlainWords(const QString &line)
{
    if (line.contains(QLatin1String("No space left on device")))
        return tr("The disk is full.");
    if (line.contains(QLatin1String("File too large")))
        return tr("The file grew larger than this disk allows.");
    if (line.contains(QLatin1String("Disk quota exceeded")))
        return tr("Your disk quota is used up.");
    if (line.contains(QLatin1String("Read-only file system")))
        return tr("The output folder is on a read-only disk.");
    static const QRegularExpression component(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\]\\s*"));
    return QString(line).remove(component);
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
    outputDecoder = newDecoder();
    errorDecoder = newDecoder();
    pending.clear();
    telling.clear();
    fatal.clear();
    furthest = 0;
}
