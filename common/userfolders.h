// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// The user's own places: the home folder, the temporary base and the private
// runtime folder that holds the log, the work folders and temporary files.
class UserFolders
{
public:
    // HOME when it names an absolute path, else the home of the password database.
    static QString home();
    // TMPDIR when it names a folder we may write, else /tmp; without links.
    static QString tempBase();

    // <temp>/organisation/application while it is private; otherwise
    // $XDG_RUNTIME_DIR/organisation/application, else
    // <temp>/organisation-<uid>/application. Made with mode 0700 and checked
    // with lstat on every call, since anyone may have changed it meanwhile.
    // Empty when none of them can be made private.
    static QString runtimeFolder(const QString &organisation, const QString &application);
    // Why the last choice differs from the one before (a fallback), once.
    static QString takeNote();
};
