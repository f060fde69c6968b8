#include "tools/volumeconvert/voicevolumedata.h"

#include "engine/jobhelpers.h"

VoiceVolumeData::VoiceVolumeData(QSharedPointer<const VolumeOptions> options) : options(std::move(options)) {}

QStringList VoiceVolumeData::Filters()
{
    return {QStringLiteral("loudnorm=i=-14:tp=0.0"), QStringLiteral("volume=5dB"),
            QStringLiteral("volume=-5dB")};
}

QStringList VoiceVolumeData::Arguments(const QString &input, int mode, int sampleRate, const QString &output)
{
    const QStringList filters = Filters();
    if (mode < 0 || mode >= filters.size())
        mode = VolumeOptions::Standardizing;
    QStringList args{QStringLiteral("-i"),  input,
                     QStringLiteral("-vn"), QStringLiteral("-af"),
                     filters.at(mode),      QStringLiteral("-threads"),
                     QStringLiteral("1"),   QStringLiteral("-y")};
    // loudnorm works at 192 kHz and hands the encoder that rate: without the
    // input's own rate a 44.1 kHz song would come out at 48 kHz or more.
    if (mode == VolumeOptions::Standardizing && sampleRate > 0)
        args << QStringLiteral("-ar") << QString::number(sampleRate);
    args << OutputFormatArguments(output) << output;
    return args;
}

void VoiceVolumeData::startConvert()
{
    setStatus(Converting);
    const QString output = beginRun(OutputNameFor(filePath, QString(), AudioOutputExtension(filePath)));
    if (!output.isEmpty())
        startFFmpeg(Arguments(filePath, options ? options->mode : VolumeOptions().mode, sampleRate, output));
}
