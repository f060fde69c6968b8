#include "tools/invertconvert/voiceinvertdata.h"

#include "engine/jobhelpers.h"

QStringList VoiceInvertData::Arguments(const QString &input, const QString &output)
{
    return QStringList{QStringLiteral("-i"),       input,
                       QStringLiteral("-vn"),      QStringLiteral("-af"),
                       QStringLiteral("areverse"), QStringLiteral("-threads"),
                       QStringLiteral("1"),        QStringLiteral("-y")} +
           OutputFormatArguments(output) + QStringList{output};
}

void VoiceInvertData::startConvert()
{
    setStatus(Converting);
    const QString output = beginRun(OutputNameFor(filePath, QString(), AudioOutputExtension(filePath)));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, output));
}
