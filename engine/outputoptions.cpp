// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/outputoptions.h"

#include "common/globals.h"
#include "engine/namepattern.h"

OutputFamily OutputOptions::FamilyOf(const QString &extension)
{
    const QString suffix = extension.toLower();
    static const QMap<QString, OutputFamily> families{
        {QStringLiteral("mp3"), OutputFamily::Mp3},    {QStringLiteral("aac"), OutputFamily::Aac},
        {QStringLiteral("m4a"), OutputFamily::Aac},    {QStringLiteral("m4b"), OutputFamily::Aac},
        {QStringLiteral("mp4"), OutputFamily::Aac},    {QStringLiteral("mov"), OutputFamily::Aac},
        {QStringLiteral("3gp"), OutputFamily::Aac},    {QStringLiteral("3g2"), OutputFamily::Aac},
        {QStringLiteral("opus"), OutputFamily::Opus},  {QStringLiteral("webm"), OutputFamily::Opus},
        {QStringLiteral("ogg"), OutputFamily::Vorbis}, {QStringLiteral("oga"), OutputFamily::Vorbis},
        {QStringLiteral("flac"), OutputFamily::Flac},  {QStringLiteral("wav"), OutputFamily::Wav},
        {QStringLiteral("amr"), OutputFamily::Amr}};
    return families.value(suffix, OutputFamily::Other);
}

QString OutputOptions::FamilyName(OutputFamily family)
{
    switch (family) {
    case OutputFamily::Mp3:
        return QStringLiteral("mp3");
    case OutputFamily::Aac:
        return QStringLiteral("aac");
    case OutputFamily::Opus:
        return QStringLiteral("opus");
    case OutputFamily::Vorbis:
        return QStringLiteral("vorbis");
    case OutputFamily::Flac:
        return QStringLiteral("flac");
    case OutputFamily::Wav:
        return QStringLiteral("wav");
    case OutputFamily::Other:
    case OutputFamily::Amr:
        break;
    }
    return QString();
}

QList<OutputFamily> OutputOptions::QualityFamilies()
{
    return {OutputFamily::Mp3,    OutputFamily::Aac,  OutputFamily::Opus,
            OutputFamily::Vorbis, OutputFamily::Flac, OutputFamily::Wav};
}

QStringList OutputOptions::QualityChoices(OutputFamily family)
{
    const auto numbered = [](const QString &prefix, int first, int last) {
        QStringList values;
        for (int n = first; first <= last ? n <= last : n >= last; n += first <= last ? 1 : -1)
            values << prefix + QString::number(n);
        return values;
    };
    const auto rates = [](std::initializer_list<int> kbps) {
        QStringList values;
        for (int rate : kbps)
            values << QString::number(rate) + QLatin1Char('k');
        return values;
    };
    switch (family) {
    case OutputFamily::Mp3:
        return rates({320, 256, 224, 192, 160, 128}) + numbered(QStringLiteral("V"), 0, 9);
    case OutputFamily::Aac:
        return rates({320, 256, 192, 160, 128, 96});
    case OutputFamily::Opus:
        return rates({256, 192, 160, 128, 96, 64, 48, 32});
    case OutputFamily::Vorbis:
        return numbered(QStringLiteral("q"), 10, 0);
    case OutputFamily::Flac:
        return numbered(QString(), 0, 8);
    case OutputFamily::Wav:
        return {QStringLiteral("16"), QStringLiteral("24"), QStringLiteral("32f")};
    case OutputFamily::Other:
    case OutputFamily::Amr:
        break;
    }
    return {};
}

QList<int> OutputOptions::SampleRates()
{
    return {8000, 16000, 22050, 32000, 44100, 48000, 96000};
}

bool OutputOptions::setQuality(OutputFamily family, const QString &value)
{
    if (value.isEmpty()) {
        quality.remove(family);
        return true;
    }
    for (const QString &choice : QualityChoices(family)) {
        if (choice.compare(value, Qt::CaseInsensitive) == 0) {
            quality[family] = choice;
            return true;
        }
    }
    return false;
}

bool OutputOptions::setQuality(const QString &familyAndValue)
{
    const QString name = familyAndValue.section(QLatin1Char('='), 0, 0).trimmed().toLower();
    for (OutputFamily family : QualityFamilies()) {
        if (FamilyName(family) == name)
            return setQuality(family, familyAndValue.section(QLatin1Char('='), 1).trimmed());
    }
    return false;
}

bool OutputOptions::setSampleRate(int rate)
{
    if (rate != 0 && !SampleRates().contains(rate))
        return false;
    sampleRate = rate;
    return true;
}

bool OutputOptions::setChannels(int count)
{
    if (count < 0 || count > 2)
        return false;
    channels = count;
    return true;
}

bool OutputOptions::setNamePattern(const QString &pattern)
{
    if (!NamePattern::IsValid(pattern.trimmed()))
        return false;
    namePattern = pattern.trimmed();
    return true;
}

bool OutputOptions::setOnCollision(const QString &rule)
{
    if (rule != QLatin1String("number") && rule != QLatin1String("skip"))
        return false;
    skipTaken = rule == QLatin1String("skip");
    return true;
}

OutputOptions OutputOptions::Load()
{
    OutputOptions options;
    for (OutputFamily family : QualityFamilies())
        options.setQuality(family,
                           GetSettingValue(QLatin1String(SettingsKey::OutputQuality) + FamilyName(family)));
    options.setSampleRate(GetSettingValue(QLatin1String(SettingsKey::OutputSampleRate)).toInt());
    options.setChannels(GetSettingValue(QLatin1String(SettingsKey::OutputChannels)).toInt());
    options.setNamePattern(GetSettingValue(QLatin1String(SettingsKey::OutputNamePattern)));
    options.keepTree = GetSettingValue(QLatin1String(SettingsKey::OutputKeepTree)) == QLatin1String("1");
    options.setOnCollision(GetSettingValue(QLatin1String(SettingsKey::OutputOnCollision)));
    return options;
}

void OutputOptions::save() const
{
    for (OutputFamily family : QualityFamilies())
        SetSettingValue(QLatin1String(SettingsKey::OutputQuality) + FamilyName(family), qualityOf(family));
    SetSettingValue(QLatin1String(SettingsKey::OutputSampleRate), QString::number(sampleRate));
    SetSettingValue(QLatin1String(SettingsKey::OutputChannels), QString::number(channels));
    SetSettingValue(QLatin1String(SettingsKey::OutputNamePattern), namePattern);
    SetSettingValue(QLatin1String(SettingsKey::OutputKeepTree),
                    keepTree ? QStringLiteral("1") : QStringLiteral("0"));
    SetSettingValue(QLatin1String(SettingsKey::OutputOnCollision),
                    skipTaken ? QStringLiteral("skip") : QStringLiteral("number"));
}
