#include "tools/formatconvert/voiceconvertdata.h"

#include "engine/jobhelpers.h"

QString g_convertFormat = QStringLiteral("mp3");

QStringList VoiceConvertData::Arguments(const QString &input, const QString &output)
{
    QStringList args{QStringLiteral("-i"),  input,
                     QStringLiteral("-vn"), QStringLiteral("-threads"),
                     QStringLiteral("1"),   QStringLiteral("-y")};
    args << OutputFormatArguments(output) << output;
    return args;
}

void VoiceConvertData::startConvert()
{
    status = Converting;
    const QString output = beginRun(OutputNameFor(filePath, QString(), g_convertFormat));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, output));
}
