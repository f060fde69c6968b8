#include "tools/formatconvert/voiceconvertdata.h"

#include <QFileInfo>

#include "engine/jobhelpers.h"

QString g_convertFormat = QStringLiteral("mp3");

QStringList VoiceConvertData::Arguments(const QString &input, const QString &output)
{
    QStringList args{QStringLiteral("-i"),  input,
                     QStringLiteral("-vn"), QStringLiteral("-threads"),
                     QStringLiteral("1"),   QStringLiteral("-y")};
    // The AMR-NB encoder takes nothing but 8 kHz mono.
    if (QFileInfo(output).suffix().compare(QLatin1String("amr"), Qt::CaseInsensitive) == 0)
        args << QStringLiteral("-ar") << QStringLiteral("8000") << QStringLiteral("-ac")
             << QStringLiteral("1");
    args << output;
    return args;
}

void VoiceConvertData::startConvert()
{
    status = Converting;
    const QString output = UniqueOutputPath(filePath, QString(), g_convertFormat);
    beginRun(output);
    startFFmpeg(Arguments(filePath, output));
}
