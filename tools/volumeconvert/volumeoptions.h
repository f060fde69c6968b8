// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// The volume tool's choice: one of its modes.
struct VolumeOptions
{
    enum Mode
    {
        Standardizing = 0,
        Louder = 1,
        Quieter = 2
    };
    int mode = Standardizing;

    // The mode as a name pattern's {tool} gives it: "-normalized", "+5dB", "-5dB".
    static QString NameTag(int mode);

    // The stored mode ("Convert_Volume", its number); anything else standardizes.
    static VolumeOptions Load();
    void save() const;
};
