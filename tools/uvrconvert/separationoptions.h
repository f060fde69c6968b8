// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// The separation tool's choice, for the run of the program only: the model
// the script separates with.
struct SeparationOptions
{
    QString model = ModelName(0);

    // The separation model at a list index; unknown indices give the first.
    static QString ModelName(int index);
};
