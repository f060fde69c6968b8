// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/trimconvert/voicetrimdata.h"

#include <QFileInfo>

#include "common/qcommonutils.h"
#include "engine/jobhelpers.h"

namespace {
constexpr qint64 Second = 1000000;
} // namespace

VoiceTrimData::VoiceTrimData(QSharedPointer<const TrimOptions> options) : options(std::move(options)) {}

QStringList VoiceTrimData::Arguments(const QString &input, qint64 start, qint64 end, const QString &output)
{
    return QStringList{QStringLiteral("-i"),  input,
                       QStringLiteral("-ss"), QCommonUtils::TimetoString(start),
                       QStringLiteral("-to"), QCommonUtils::TimetoString(end),
                       QStringLiteral("-vn")} +
           CutCodecArguments(output) +
           QStringList{QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-y"), output};
}

void VoiceTrimData::startConvert()
{
    setStatus(Converting);
    // Cut points are whole seconds, as the arguments give them.
    const TrimOptions panelRange = options ? *options : TrimOptions();
    // A range dragged on the waveform for this file wins over the panel's.
    const qint64 start = ownRange ? ownStart : panelRange.start;
    const qint64 end = ownRange ? ownEnd : panelRange.end;
    runStart = start / Second * Second;
    runEnd = end / Second * Second;
    const QString output =
        beginRun(OutputNameFor(filePath, QStringLiteral("-trim"), QFileInfo(filePath).suffix()));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, start, end, output));
}

qint64 VoiceTrimData::expectedDuration() const
{
    // Unknown without the input's length: the range may reach past its end.
    return duration > 0 ? qMin(runEnd, duration) - runStart : 0;
}

QString VoiceTrimData::ownSettings() const
{
    return ownRange ? tr("keeps %1-%2")
                          .arg(QCommonUtils::TimetoString(ownStart), QCommonUtils::TimetoString(ownEnd))
                    : QString();
}

void VoiceTrimData::ffmpegProcess_Finished(int index)
{
    if (!stopped && !lastRunFailed() && runStart > 0 &&
        QFileInfo(outputPath).suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0)
        ClearMp3CutDelay(outputPath);
    VoiceData::ffmpegProcess_Finished(index);
}
