// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/formatconvert/formatoptions.h"

#include "common/globals.h"

QStringList FormatOptions::Extensions()
{
    // Stored by value: new formats are appended, never put between.
    return {QStringLiteral("mp3"), QStringLiteral("aac"),  QStringLiteral("flac"), QStringLiteral("wav"),
            QStringLiteral("amr"), QStringLiteral("opus"), QStringLiteral("ogg"),  QStringLiteral("m4a")};
}

FormatOptions FormatOptions::Load()
{
    return {
        GetSettingChoice(QLatin1String(SettingsKey::ConvertFormat), Extensions(), FormatOptions().format)};
}

void FormatOptions::save() const
{
    SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), format);
}
