// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/volumeconvert/volumeoptions.h"

#include <QString>

#include "common/globals.h"

VolumeOptions VolumeOptions::Load()
{
    VolumeOptions options;
    // Not a number reads as 0, the first mode.
    const int stored =
        GetSettingValue(QLatin1String(SettingsKey::ConvertVolume), QStringLiteral("0")).toInt();
    if (stored >= Standardizing && stored <= Quieter)
        options.mode = stored;
    return options;
}

void VolumeOptions::save() const
{
    SetSettingValue(QLatin1String(SettingsKey::ConvertVolume), QString::number(mode));
}

QString VolumeOptions::NameTag(int mode)
{
    switch (mode) {
    case Louder:
        return QStringLiteral("+5dB");
    case Quieter:
        return QStringLiteral("-5dB");
    default:
        return QStringLiteral("-normalized");
    }
}
