// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/outputplan.h"

#include <QFileInfo>
#include <QtEndian>

namespace {

// The smallest of `supported` (ascending) that is at least `rate`, else the largest.
int fitRate(int rate, const QList<int> &supported)
{
    for (int each : supported) {
        if (each >= rate)
            return each;
    }
    return supported.last();
}

// The smallest step (kb/s, ascending) that is at least `kbps`, else the largest.
QString atLeast(int kbps, const QList<int> &steps)
{
    return QString::number(fitRate(kbps, steps)) + QLatin1Char('k');
}

// A container without a quality choice keeps its own encoder, told the
// input's bit depth where it holds PCM, else at least the input's bitrate.
QStringList otherArguments(const QString &suffix, const SourceAudio &source, bool lossless, int kbps)
{
    static const QStringList bigEndianPcm{QStringLiteral("aiff"), QStringLiteral("aif"),
                                          QStringLiteral("aifc"), QStringLiteral("au")};
    static const QStringList matroska{QStringLiteral("mka"), QStringLiteral("mkv")};
    const int bits = source.traits.bitsPerSample;
    if (bigEndianPcm.contains(suffix))
        return {QStringLiteral("-c:a"), bits > 24   ? QStringLiteral("pcm_s32be")
                                        : bits > 16 ? QStringLiteral("pcm_s24be")
                                                    : QStringLiteral("pcm_s16be")};
    // WavPack is lossless on its own.
    if (suffix == QLatin1String("wv"))
        return {};
    if (lossless && matroska.contains(suffix))
        return {QStringLiteral("-c:a"), QStringLiteral("flac")};
    const int ceiling = suffix == QLatin1String("ac3") ? 640 : 320;
    return {QStringLiteral("-b:a"),
            QString::number(qMin(lossless ? 192 : qMax(kbps, 128), ceiling)) + QLatin1Char('k')};
}

QStringList qualityArguments(OutputFamily family, const QString &chosen, const SourceAudio &source,
                             const QString &suffix)
{
    // From lossless (or unknown) audio the encoder's transparent settings;
    // from lossy audio at least its bitrate, up to what the format carries.
    const bool lossless = source.traits.lossless || source.bitRate <= 0;
    const int kbps = (source.bitRate + 999) / 1000;
    const QString bitrate = QStringLiteral("-b:a");
    switch (family) {
    case OutputFamily::Mp3:
        if (chosen.startsWith(QLatin1Char('V')))
            return {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-q:a"),
                    chosen.mid(1)};
        return {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
                lossless && chosen.isEmpty() ? QStringLiteral("-q:a") : bitrate,
                !chosen.isEmpty() ? chosen
                : lossless        ? QStringLiteral("2")
                                  : atLeast(kbps, {128, 160, 192, 224, 256, 320})};
    case OutputFamily::Aac:
        return {QStringLiteral("-c:a"), QStringLiteral("aac"), bitrate,
                !chosen.isEmpty() ? chosen
                : lossless        ? QStringLiteral("192k")
                                  : atLeast(kbps, {128, 160, 192, 224, 256})};
    case OutputFamily::Opus:
        return {QStringLiteral("-c:a"), QStringLiteral("libopus"), bitrate,
                !chosen.isEmpty() ? chosen
                : lossless        ? QStringLiteral("160k")
                                  : atLeast(kbps, {96, 128, 160, 192, 256})};
    case OutputFamily::Vorbis: {
        // Nominal stereo bitrates of the quality steps 4 to 9.
        const QList<int> steps{128, 160, 192, 224, 256, 320};
        const int step = lossless ? 6 : 4 + int(steps.indexOf(fitRate(kbps, steps)));
        return {QStringLiteral("-c:a"), QStringLiteral("libvorbis"), QStringLiteral("-q:a"),
                !chosen.isEmpty() ? chosen.mid(1) : QString::number(step)};
    }
    case OutputFamily::Flac:
        // FLAC keeps the input's bit depth on its own (24-bit stays 24-bit).
        if (chosen.isEmpty())
            return {QStringLiteral("-c:a"), QStringLiteral("flac")};
        return {QStringLiteral("-c:a"), QStringLiteral("flac"), QStringLiteral("-compression_level"), chosen};
    case OutputFamily::Wav: {
        int bits = source.traits.bitsPerSample;
        bool floating = source.traits.floatSamples;
        if (!chosen.isEmpty()) {
            bits = chosen.leftRef(2).toInt();
            floating = chosen.endsWith(QLatin1Char('f'));
        }
        const QString codec = floating    ? QStringLiteral("pcm_f32le")
                              : bits > 24 ? QStringLiteral("pcm_s32le")
                              : bits > 16 ? QStringLiteral("pcm_s24le")
                                          : QStringLiteral("pcm_s16le");
        return {QStringLiteral("-c:a"), codec};
    }
    case OutputFamily::Other:
        return otherArguments(suffix, source, lossless, kbps);
    case OutputFamily::Amr:
        break;
    }
    return {};
}

} // namespace

OutputPlan OutputPlan::For(const QString &outputPath, const SourceAudio &source, const OutputOptions &choice,
                           const QString &coverMetadata)
{
    OutputPlan plan;
    const QString suffix = QFileInfo(outputPath).suffix().toLower();
    const OutputFamily family = OutputOptions::FamilyOf(suffix);
    QStringList notes;

    // The rate and channels asked for, then what the format can hold of them.
    const int wantedRate = choice.sampleRate > 0 ? choice.sampleRate : source.sampleRate;
    int rate = wantedRate;
    int channelLimit = 8;
    switch (family) {
    case OutputFamily::Mp3:
        rate = fitRate(wantedRate, {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000});
        channelLimit = 2;
        break;
    case OutputFamily::Aac:
        rate = fitRate(wantedRate, {7350, 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000,
                                    88200, 96000});
        break;
    case OutputFamily::Opus:
        rate = fitRate(wantedRate, {8000, 12000, 16000, 24000, 48000});
        break;
    case OutputFamily::Amr:
        // The AMR-NB encoder takes nothing else.
        rate = 8000;
        channelLimit = 1;
        break;
    case OutputFamily::Wav:
    case OutputFamily::Other:
        channelLimit = 0;
        break;
    case OutputFamily::Vorbis:
    case OutputFamily::Flac:
        break;
    }
    if (wantedRate > 0 || family == OutputFamily::Amr) {
        plan.sampleRate = rate;
        plan.encode << QStringLiteral("-ar") << QString::number(rate);
        if (wantedRate > 0 && rate != wantedRate)
            notes << OutputPlan::tr("%1 Hz: the format holds no %2 Hz").arg(rate).arg(wantedRate);
    }
    const int wantedChannels = choice.channels > 0 ? choice.channels : source.channels;
    int channels = wantedChannels;
    if (family == OutputFamily::Amr || (channelLimit > 0 && wantedChannels > channelLimit))
        channels = channelLimit;
    if (channels > 0 && (choice.channels > 0 || channels != wantedChannels)) {
        plan.channels = channels;
        plan.encode << QStringLiteral("-ac") << QString::number(channels);
        if (wantedChannels > 0 && channels != wantedChannels)
            notes << OutputPlan::tr("%n channel(s): the format holds no more", nullptr, channels);
    }
    plan.encode << qualityArguments(family, choice.qualityOf(family), source, suffix);

    // Tags and cover: a picture stream where the container takes one, a
    // picture comment for Ogg and Opus.
    const AudioTraits &traits = source.traits;
    const bool pictureStream = family == OutputFamily::Mp3 || family == OutputFamily::Flac ||
                               (family == OutputFamily::Aac && suffix != QLatin1String("aac") &&
                                !suffix.startsWith(QLatin1String("3g")));
    const bool pictureComment =
        (family == OutputFamily::Opus || family == OutputFamily::Vorbis) && suffix != QLatin1String("webm");
    const bool hasCover = traits.coverStream >= 0 && traits.audioStream >= 0;
    if (hasCover && pictureStream) {
        plan.streams << QStringLiteral("-map") << QStringLiteral("0:%1").arg(traits.audioStream)
                     << QStringLiteral("-map") << QStringLiteral("0:%1").arg(traits.coverStream)
                     << QStringLiteral("-c:v") << QStringLiteral("copy") << QStringLiteral("-disposition:v:0")
                     << QStringLiteral("attached_pic");
    } else {
        plan.streams << QStringLiteral("-vn");
        if (hasCover && !(pictureComment && !coverMetadata.isEmpty()))
            notes << OutputPlan::tr("the cover picture is not kept: the format holds none");
    }
    // Ogg and Opus inputs keep their tags on the stream; the output takes them for the file.
    const QString tagSource = traits.tagsInStream && traits.audioStream >= 0
                                  ? QStringLiteral("0:s:%1").arg(traits.audioStream)
                                  : QStringLiteral("0");
    if (hasCover && pictureComment && !coverMetadata.isEmpty()) {
        plan.inputs << QStringLiteral("-f") << QStringLiteral("ffmetadata") << QStringLiteral("-i")
                    << coverMetadata;
        plan.encode << QStringLiteral("-map_metadata") << tagSource << QStringLiteral("-map_metadata")
                    << QStringLiteral("1");
    } else if (traits.tagsInStream) {
        plan.encode << QStringLiteral("-map_metadata") << tagSource;
    }
    plan.note = notes.join(QStringLiteral("; "));
    return plan;
}

QStringList OutputPlan::arguments(const QString &input, const QStringList &filters,
                                  const QString &output) const
{
    return QStringList{QStringLiteral("-i"), input} + inputs + streams + filters +
           QStringList{QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-y")} + encode +
           QStringList{output};
}

QByteArray OutputPlan::CoverMetadata(const QString &inputPath, int coverStream)
{
    MediaProbe::Cover cover;
    if (!MediaProbe::ReadCover(inputPath, coverStream, cover))
        return QByteArray();
    // A FLAC picture block, as Vorbis comments carry it: type 3 (front cover),
    // MIME type, no description, size, depth 24, no palette, data.
    const auto number = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray mime = cover.mimeType.toLatin1();
    const QByteArray block = number(3) + number(quint32(mime.size())) + mime + number(0) +
                             number(quint32(cover.width)) + number(quint32(cover.height)) + number(24) +
                             number(0) + number(quint32(cover.data.size())) + cover.data;
    QByteArray value = block.toBase64();
    // ffmetadata escapes these with a backslash.
    for (const char special : {'\\', '=', ';', '#'})
        value.replace(special, QByteArray("\\") + special);
    return ";FFMETADATA1\nMETADATA_BLOCK_PICTURE=" + value + '\n';
}

SourceAudio OutputPlan::Combined(const QList<SourceAudio> &entries)
{
    SourceAudio combined;
    int fewestChannels = 0;
    for (const SourceAudio &entry : entries) {
        combined.sampleRate = qMax(combined.sampleRate, entry.sampleRate);
        combined.channels = qMax(combined.channels, entry.channels);
        fewestChannels = fewestChannels == 0 ? entry.channels : qMin(fewestChannels, entry.channels);
        combined.bitRate = qMax(combined.bitRate, entry.bitRate);
        combined.traits.lossless = combined.traits.lossless || entry.traits.lossless;
        combined.traits.bitsPerSample = qMax(combined.traits.bitsPerSample, entry.traits.bitsPerSample);
        combined.traits.floatSamples = combined.traits.floatSamples || entry.traits.floatSamples;
    }
    // A stereo song does not become 5.1 for one 5.1 entry, nor mono for a mono one.
    if (fewestChannels <= 2)
        combined.channels = qMin(combined.channels, 2);
    return combined;
}
