// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/speedconvert/speedoptions.h"

#include "common/globals.h"

QStringList SpeedOptions::Factors()
{
    return {QStringLiteral("0.5"), QStringLiteral("0.8"), QStringLiteral("1.2"), QStringLiteral("1.25"),
            QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("3.0"), QStringLiteral("4.0")};
}

SpeedOptions SpeedOptions::Load()
{
    return {GetSettingChoice(QLatin1String(SettingsKey::ConvertSpeed), Factors(), SpeedOptions().factor)};
}

void SpeedOptions::save() const
{
    SetSettingValue(QLatin1String(SettingsKey::ConvertSpeed), factor);
}
