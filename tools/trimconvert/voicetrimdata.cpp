#include "tools/trimconvert/voicetrimdata.h"

#include <QFile>
#include <QFileInfo>

#include "common/qcommonutils.h"
#include "engine/jobhelpers.h"

qint64 g_trimStart = 0;
qint64 g_trimEnd = 3600000000LL;

QStringList VoiceTrimData::Arguments(const QString &input, qint64 start, qint64 end, const QString &output)
{
    return {QStringLiteral("-i"),
            input,
            QStringLiteral("-ss"),
            QCommonUtils::TimetoString(start),
            QStringLiteral("-to"),
            QCommonUtils::TimetoString(end),
            QStringLiteral("-vn"),
            QStringLiteral("-acodec"),
            QStringLiteral("copy"),
            QStringLiteral("-threads"),
            QStringLiteral("1"),
            QStringLiteral("-y"),
            output};
}

void VoiceTrimData::startConvert()
{
    status = Converting;
    const QString output = UniqueOutputPath(filePath, QStringLiteral("-trim"), QFileInfo(filePath).suffix());
    beginRun(output);
    startFFmpeg(Arguments(filePath, g_trimStart, g_trimEnd, output));
}

void VoiceTrimData::ffmpegProcess_Finished(int index)
{
    // A range that starts past the end of the file leaves a container without
    // audio, and the headers of some formats (FLAC, Ogg) alone pass the size
    // check: a copy that reached no time is no result.
    if (!stopped && reachedTime() <= 0 && QFileInfo::exists(outputPath))
        QFile::remove(outputPath);
    VoiceData::ffmpegProcess_Finished(index);
}
