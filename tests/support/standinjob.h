// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "engine/jobhelpers.h"
#include "engine/voicedata.h"

namespace TestSupport {

// The smallest job kind: its start is its argument list ("-i" input "-y"
// output, as a stand-in ffmpeg reads it), everything else is the base's.
class StandInJob : public VoiceData
{
public:
    StandInJob(const QString &tag, const QString &extension) : tag(tag), extension(extension) {}

    void startConvert() override
    {
        setStatus(Converting);
        const QString output = beginRun(OutputNameFor(filePath, tag, extension));
        if (!output.isEmpty())
            startFFmpeg({QStringLiteral("-i"), filePath, QStringLiteral("-y"), output});
    }

private:
    QString tag;
    QString extension;
};

} // namespace TestSupport
