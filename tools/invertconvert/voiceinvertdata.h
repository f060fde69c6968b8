// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QStringList>

#include "engine/voicedata.h"

// One file played backwards (areverse).
class VoiceInvertData : public VoiceData
{
    Q_OBJECT
public:
    void startConvert() override;

    // The child's arguments for an input, an output path and its plan.
    static QStringList Arguments(const QString &input, const QString &output, const OutputPlan &plan);
};
