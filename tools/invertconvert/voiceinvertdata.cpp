#include "tools/invertconvert/voiceinvertdata.h"

#include <QFileInfo>

#include "engine/jobhelpers.h"

QStringList VoiceInvertData::Arguments(const QString &input, const QString &output)
{
    return {QStringLiteral("-i"),
            input,
            QStringLiteral("-vn"),
            QStringLiteral("-af"),
            QStringLiteral("areverse"),
            QStringLiteral("-threads"),
            QStringLiteral("1"),
            QStringLiteral("-y"),
            output};
}

void VoiceInvertData::startConvert()
{
    status = Converting;
    const QString output = UniqueOutputPath(filePath, QString(), QFileInfo(filePath).suffix());
    beginRun(output);
    startFFmpeg(Arguments(filePath, output));
}
