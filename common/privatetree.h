// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// Removal and creation below a private folder that nothing can turn
// elsewhere: the walk goes from folder descriptor to folder descriptor,
// never follows a link and never leaves the file system it starts on, so a
// link swapped in meanwhile cannot redirect it. Every removal of a folder
// tree in the application goes through here.
class PrivateTree
{
public:
    // Removes `path` and everything below it; with `recursive` false only its
    // files, and the folder itself once it is empty. `path` must lie strictly
    // below `within`, a folder of ours that nobody else may write (the
    // runtime folder). A link at `path` is refused; a link inside goes
    // itself, never what it points to; a folder of another file system
    // stays. True when `path` is gone.
    static bool remove(const QString &path, const QString &within, bool recursive = true);

    // Makes each missing folder from `within` down to `path` with mode 0700;
    // true when every one of them is a real folder of ours, on the file
    // system of `within`, that nobody else may write.
    static bool make(const QString &path, const QString &within);
};
