#include "engine/getmediainfothread.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStringList>

#include "app/globals.h"
#include "common/qcommonutils.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"

namespace {
// The channels of a layout as ffmpeg names it: "mono", "5.1", "quad", "3 channels" ...
int channelCount(const QString &layout)
{
    static const QHash<QString, int> named = {
        {QStringLiteral("mono"), 1},          {QStringLiteral("stereo"), 2},
        {QStringLiteral("downmix"), 2},       {QStringLiteral("quad"), 4},
        {QStringLiteral("hexagonal"), 6},     {QStringLiteral("octagonal"), 8},
        {QStringLiteral("hexadecagonal"), 16}};
    const QString name = layout.trimmed().toLower();
    if (named.contains(name))
        return named.value(name);
    if (name.endsWith(QLatin1String(" channels")))
        return name.section(QLatin1Char(' '), 0, 0).toInt();
    // "5.1" is five full-range channels and one low-frequency one.
    const QStringList parts = name.split(QLatin1Char('.'));
    bool fullOk = false;
    bool lowOk = false;
    if (parts.size() == 2) {
        const int full = parts.at(0).toInt(&fullOk);
        const int low = parts.at(1).toInt(&lowOk);
        if (fullOk && lowOk)
            return full + low;
    }
    return 1;
}

void parseAudioStream(const QString &line, VoiceData &record)
{
    // Walk along "Audio: codec, rate Hz, layout, sample format, N kb/s" with
    // a cursor; a missing part leaves the cursor where it was.
    int cursor = 0;
    const QString comma = QStringLiteral(",");
    const QString codec = QCommonUtils::TrimSubStr(line, QStringLiteral("Audio:"), comma, cursor, &cursor);
    QString rate = QCommonUtils::TrimSubStr(line, comma, comma, cursor, &cursor);
    rate = rate.toLower().remove(QStringLiteral("hz")).trimmed();
    const QString layout = QCommonUtils::TrimSubStr(line, comma, comma, cursor, &cursor);
    QCommonUtils::TrimSubStr(line, comma, comma, cursor, &cursor); // sample format, not kept
    const QString bitRate = QCommonUtils::TrimSubStr(line, comma, QStringLiteral("kb/s"), cursor, &cursor);

    record.streamInfo = line;
    record.codecName = codec;
    if (!rate.isEmpty())
        record.sampleRate = rate.toInt();
    record.channels = channelCount(layout);
    if (!bitRate.isEmpty())
        record.bitRate = bitRate.toInt() * 1000;
    record.hasAudio = 1;
}
} // namespace

GetMediaInfoThread::GetMediaInfoThread() : QThread(nullptr) {}

void GetMediaInfoThread::ParseReport(const QString &report, VoiceData &record)
{
    const QStringList pieces = report.split(QLatin1Char('\n'));
    for (const QString &piece : pieces) {
        QString line = piece.trimmed();
        // The report of the input ends where ffmpeg starts on an output. Only
        // that heading counts: the word "output" may well be part of a path or
        // of a tag of the input.
        if (line.startsWith(QLatin1String("Output #")))
            break;
        QCommonUtils::RemoveSubStr(line, QStringLiteral("("), QStringLiteral(")"), 0);
        QCommonUtils::RemoveSubStr(line, QStringLiteral("["), QStringLiteral("]"), 0);

        if (line.startsWith(QLatin1String("Duration:"), Qt::CaseInsensitive)) {
            const QString text =
                QCommonUtils::TrimSubStr(line, QStringLiteral("Duration:"), QStringLiteral(","), 0, nullptr);
            // Whole seconds: hh:mm:ss, the fraction is dropped.
            if (text.size() >= 8)
                record.duration = QCommonUtils::StringToTime(text.left(8));
        } else if (line.startsWith(QLatin1String("Stream"), Qt::CaseInsensitive) &&
                   line.indexOf(QLatin1String("Audio:"), 0, Qt::CaseInsensitive) > 0) {
            parseAudioStream(line, record);
        }
    }
}

void GetMediaInfoThread::run()
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.setProcessEnvironment(ChildProcessEnvironment());
    probe.start(GetFFmpegPath(), {QStringLiteral("-i"), path}, QIODevice::ReadWrite);
    probe.waitForFinished(ProbeWaitMs);
    const QString report = ConsoleText(probe.readAllStandardOutput());
    if (probe.state() != QProcess::NotRunning) {
        // Too slow: what it printed so far has to do.
        probe.kill();
        probe.waitForFinished(ProbeWaitMs);
    }
    if (report.isEmpty())
        return;

    auto *record = new VoiceData;
    const QFileInfo info(path);
    record->filePath = path;
    record->fileName = info.fileName();
    record->fileSize = info.size();
    ParseReport(report, *record);
    // Made here, used and deleted (deleteLater) by the panel in the main thread.
    record->moveToThread(QCoreApplication::instance()->thread());
    result = record;
}
