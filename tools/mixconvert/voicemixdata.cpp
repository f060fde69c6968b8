#include "tools/mixconvert/voicemixdata.h"

#include "engine/jobhelpers.h"

QString VoiceMixData::FilterText(int inputCount)
{
    return QStringLiteral("amix=inputs=%1:duration=first").arg(inputCount);
}

QStringList VoiceMixData::Arguments(const QStringList &inputs, const QString &output)
{
    QStringList args;
    for (const QString &input : inputs)
        args << QStringLiteral("-i") << input;
    args << QStringLiteral("-vn") << QStringLiteral("-filter_complex") << FilterText(inputs.size())
         << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-y")
         << OutputFormatArguments(output) << output;
    return args;
}

OutputName VoiceMixData::ResultName(const QString &referencePath)
{
    return OutputNameFor(referencePath, QStringLiteral("-mix"), AudioOutputExtension(referencePath));
}
