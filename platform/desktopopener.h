// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// Shows a folder in the desktop's file manager.
class DesktopOpener
{
public:
    // The desktop's opener, started detached with the folder as its one
    // argument: no shell ever parses the path. Returns whether it started.
    static bool OpenFolder(const QString &folder);
};
