// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/clireport.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "engine/voicedata.h"

namespace {
// Redraws of the terminal block come at most this often, unless a job starts or ends.
constexpr int DrawIntervalMs = 100;
constexpr int BarWidth = 30;

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int terminalWidth()
{
    struct winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20)
        return size.ws_col;
    return 80;
}

QString statusName(int status)
{
    switch (status) {
    case VoiceData::Succeeded:
        return QStringLiteral("succeeded");
    case VoiceData::Stopped:
        return QStringLiteral("stopped");
    case VoiceData::Skipped:
        return QStringLiteral("skipped");
    default:
        return QStringLiteral("failed");
    }
}

QString percent(int progress)
{
    return QString::number(progress / 100.0, 'f', 1) + QLatin1Char('%');
}
} // namespace

CliReport::CliReport(Mode mode, bool quiet, const QString &tool, int total)
    : mode(mode), quiet(quiet), tool(tool), total(total)
{
    sinceDraw.start();
}

CliReport::~CliReport()
{
    clearBlock();
}

void CliReport::json(QJsonObject object, const char *event, int number, const QString &input)
{
    object.insert(QStringLiteral("event"), QLatin1String(event));
    object.insert(QStringLiteral("tool"), tool);
    object.insert(QStringLiteral("job"), number);
    object.insert(QStringLiteral("input"), input);
    write(stdout,
          QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

void CliReport::started(const VoiceData *job, int number, const QStringList &inputs)
{
    if (mode == Mode::Json) {
        QJsonObject object;
        if (inputs.size() > 1)
            object.insert(QStringLiteral("inputs"), QJsonArray::fromStringList(inputs));
        json(object, "start", number, job->filePath);
    } else if (mode == Mode::Terminal && !quiet) {
        running.append({number, job->fileName, 0});
        drawBlock(true);
    }
}

void CliReport::progressed(const VoiceData *job, int number)
{
    if (mode == Mode::Json) {
        // A line for every whole percent reached, not for every status line of the child.
        const int whole = job->progress / 100;
        if (lastPercent.value(number, -1) == whole)
            return;
        lastPercent.insert(number, whole);
        json({{QStringLiteral("progress"), job->progress / 100.0}}, "progress", number, job->filePath);
    } else if (mode == Mode::Terminal && !quiet) {
        for (Running &each : running) {
            if (each.number == number)
                each.progress = job->progress;
        }
        drawBlock(false);
    }
}

void CliReport::ended(const VoiceData *job, int number)
{
    for (int i = 0; i < running.size(); ++i) {
        if (running.at(i).number == number)
            running.removeAt(i--);
    }
    lastPercent.remove(number);
    end(number, job->filePath, job->status(), job->results(),
        job->status() == VoiceData::Failed || job->status() == VoiceData::Skipped ? job->errorText
                                                                                  : QString());
}

void CliReport::refused(const QString &input, int number, const QString &reason)
{
    end(number, input, VoiceData::Failed, QStringList(), reason);
}

void CliReport::end(int number, const QString &input, int status, const QStringList &outputs,
                    const QString &reason)
{
    ++done;
    clearBlock();
    // `output` is the last result of a success, as before `outputs` named them all.
    if (mode == Mode::Json)
        json({{QStringLiteral("status"), statusName(status)},
              {QStringLiteral("output"),
               status == VoiceData::Succeeded ? outputs.value(outputs.size() - 1) : QString()},
              {QStringLiteral("outputs"), QJsonArray::fromStringList(outputs)},
              {QStringLiteral("reason"), reason}},
             "end", number, input);
    if (status == VoiceData::Failed)
        write(stderr, QStringLiteral("quillvane-cli: %1: %2\n").arg(input, reason));
    else if (status == VoiceData::Succeeded && mode != Mode::Json && !quiet && !outputs.isEmpty())
        write(stdout, outputs.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    else if (status == VoiceData::Skipped && mode != Mode::Json && !quiet)
        write(stderr, QStringLiteral("quillvane-cli: %1: %2\n").arg(input, reason));
    drawBlock(true);
}

void CliReport::summary(int succeeded, int failed, int stopped, int skipped)
{
    clearBlock();
    if (quiet || mode == Mode::Json)
        return;
    QString text = QStringLiteral("%1 succeeded, %2 failed").arg(succeeded).arg(failed);
    if (stopped > 0)
        text += QStringLiteral(", %1 stopped").arg(stopped);
    if (skipped > 0)
        text += QStringLiteral(", %1 skipped").arg(skipped);
    write(stderr, text + QLatin1Char('\n'));
}

void CliReport::clearBlock()
{
    if (drawnLines == 0)
        return;
    // Up to the block's first line, then everything below it goes.
    write(stderr, QStringLiteral("\r\x1b[%1A\x1b[J").arg(drawnLines));
    drawnLines = 0;
}

void CliReport::drawBlock(bool force)
{
    if (mode != Mode::Terminal || quiet || (!force && sinceDraw.elapsed() < DrawIntervalMs))
        return;
    sinceDraw.restart();
    const int width = terminalWidth();
    QString text;
    int overall = done * 10000;
    for (const Running &each : qAsConst(running)) {
        overall += each.progress;
        const QString line = percent(each.progress).rightJustified(7) + QStringLiteral("  ") + each.name;
        text += line.left(width - 1) + QLatin1Char('\n');
    }
    overall = total > 0 ? overall / total : 0;
    const int filled = overall * BarWidth / 10000;
    text += QStringLiteral("[%1%2] %3/%4 %5\n")
                .arg(QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('-')))
                .arg(done)
                .arg(total)
                .arg(percent(overall));
    clearBlock();
    write(stderr, text);
    drawnLines = running.size() + 1;
}
