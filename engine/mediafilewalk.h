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

private:
    struct Level
    {
        QString folder;    // its absolute path and a "/"
        QStringList files; // the names of its media files, in name order
        QStringList folders;
        int nextFile = 0;
        int nextFolder = 0;
    };
    void enter(const QString &folder);

    QStringList paths;
    int nextPath = 0;
    bool recursive;
    QVector<Level> levels;
};
