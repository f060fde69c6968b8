// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>

// Where the application's files are, for an executable installed under any
// prefix (with or without DESTDIR) and for one run from its build tree.
class AppPaths
{
public:
    // The read-only data (languages, fonts configuration, Python runtime and
    // speaker profiles, help, quillvane.ini): <executableDir>/../share/quillvane
    // once installed; the executable's own folder in a build tree, which lays
    // all of it out beside the executable.
    static QString dataDir(const QString &executableDir);

    // The ffmpeg to run: the file "ffmpeg" in the first of `folders` that holds
    // one (a development build links one beside the executable), else the
    // first executable one on PATH; empty when there is none.
    static QString findFfmpeg(const QStringList &folders);

    // The value of `key` in the INI file `fileName`: the user's copy in
    // <config>/<organisation>/ (~/.config/tessarin/) decides every key it holds,
    // even with an empty value; the data folder's copy the others.
    static QString configValue(const QString &dataDir, const QString &organisation, const QString &fileName,
                               const QString &key);
};
