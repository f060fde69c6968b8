// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The media files among some paths, handed out one at a time in the order
// MediaFiles::Of gives them, so that a caller holds one folder's listing per
// level at most, never the whole tree's files.
class MediaFileWalk
{
public:
    MediaFileWalk(const QStringList &paths, bool recursive);

    // The next media file; empty once there is none left.
    QString next();
    // The folder of the file next() gave last, relative to the path given
    // that holds it ("a/b"); empty at a given folder's top or for a given file.
    QString subFolder() const { return current; }

private:
    struct Level
    {
        QString folder;    // its absolute path and a "/"
        QString relative;  // its path below the given folder
        QStringList files; // the names of its media files, in name order
        QStringList folders;
        int nextFile = 0;
        int nextFolder = 0;
    };
    void enter(const QString &folder, const QString &relative);

    QStringList paths;
    int nextPath = 0;
    bool recursive;
    QVector<Level> levels;
    QString current;
};
