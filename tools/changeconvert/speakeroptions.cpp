// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/changeconvert/speakeroptions.h"

QString SpeakerOptions::SpeakerModel(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("lumoV1.pth");
    case 2:
        return QStringLiteral("tavielV1.pth");
    case 3:
        return QStringLiteral("orsindav2-xi.pth");
    default:
        return QStringLiteral("pellimorV2.pth");
    }
}
