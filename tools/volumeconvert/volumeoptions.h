// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

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

    // The stored mode ("Convert_Volume", its number); anything else standardizes.
    static VolumeOptions Load();
    void save() const;
};
