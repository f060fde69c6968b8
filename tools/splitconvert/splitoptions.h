// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QtGlobal>

#include "engine/silencedetector.h"

// The split tool's rule, for the run of the program only: segments of
// `time` microseconds, `number` segments, or pieces between silences.
struct SplitOptions
{
    bool byNumber = false;
    qint64 time = 2000000;
    int number = 2;
    bool bySilence = false; // wins over byNumber
    SilenceDetector::Options silence;
};
