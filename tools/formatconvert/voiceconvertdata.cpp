#include "tools/formatconvert/voiceconvertdata.h"

#include "engine/jobhelpers.h"

VoiceConvertData::VoiceConvertData(QSharedPointer<const FormatOptions> options) : options(std::move(options))
{}

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
    setStatus(Converting);
    const QString format = options ? options->format : FormatOptions().format;
    const QString output = beginRun(OutputNameFor(filePath, QString(), format));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, output));
}
