// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/uvrconvert/separationoptions.h"

QString SeparationOptions::ModelName(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("VR-DeEchoAggressive");
    case 2:
    case 3:
        return QStringLiteral("HP3_all_vocals");
    default:
        return QStringLiteral("HP5_only_main_vocal");
    }
}
