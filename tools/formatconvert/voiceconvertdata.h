// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>

#include "engine/voicedata.h"
#include "tools/formatconvert/formatoptions.h"

// One file converted to the chosen audio format; video is dropped.
class VoiceConvertData : public VoiceData
{
    Q_OBJECT
public:
    // The options are read at each start: a choice made while the job waits applies to it.
    explicit VoiceConvertData(QSharedPointer<const FormatOptions> options = {});

    void startConvert() override;

    // The child's arguments for an input, an output path and its plan.
    static QStringList Arguments(const QString &input, const QString &output, const OutputPlan &plan);

private:
    QSharedPointer<const FormatOptions> options;
};
