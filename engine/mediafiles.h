// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which files count as media when a folder is added: the Add dialog's
// patterns, matched regardless of case. The window and the command line add
// folders alike.
class MediaFiles
{
public:
    // The name patterns, separated by blanks ("*.mp4 *.mpeg ...").
    static QString Patterns();
    static bool IsMediaFileName(const QString &fileName);
    // File-manager order: digit runs compare as numbers, so track2 comes before track10.
    static bool NaturalLess(const QString &a, const QString &b);
    // The media files among `paths`: a file as it is, a folder as its media
    // files in name order (NaturalLess); with `recursive`, those of its
    // sub-folders follow, each in name order. A linked folder is never entered.
    // `subFolders`, when given, gets for each file found below a folder of
    // `paths` its folder relative to that one ("a/b").
    static QStringList Of(const QStringList &paths, bool recursive,
                          QHash<QString, QString> *subFolders = nullptr);
};
