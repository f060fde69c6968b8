// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/mediafilewalk.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "engine/mediafiles.h"

MediaFileWalk::MediaFileWalk(const QStringList &paths, bool recursive) : paths(paths), recursive(recursive) {}

void MediaFileWalk::enter(const QString &path)
{
    const QDir folder(path);
    Level level;
    // Names, not file infos: a folder of 100,000 files costs its names alone.
    const QStringList names = folder.entryList(QDir::Files | QDir::Readable);
    for (const QString &name : names) {
        if (MediaFiles::IsMediaFileName(name))
            level.files.append(folder.absoluteFilePath(name));
    }
    std::sort(level.files.begin(), level.files.end(), MediaFiles::NaturalLess);
    if (recursive) {
        level.folders = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
        std::sort(level.folders.begin(), level.folders.end(), MediaFiles::NaturalLess);
        for (QString &name : level.folders)
            name = folder.absoluteFilePath(name);
    }
    levels.append(level);
}

QString MediaFileWalk::next()
{
    for (;;) {
        if (!levels.isEmpty()) {
            Level &level = levels.last();
            if (level.nextFile < level.files.size())
                return level.files.at(level.nextFile++);
            if (level.nextFolder < level.folders.size()) {
                enter(level.folders.at(level.nextFolder++));
                continue;
            }
            levels.removeLast();
            continue;
        }
        if (nextPath >= paths.size())
            return QString();
        const QString &path = paths.at(nextPath++);
        const QFileInfo info(path);
        if (info.isDir())
            enter(path);
        else if (info.isFile() && MediaFiles::IsMediaFileName(info.fileName()))
            return info.absoluteFilePath();
    }
}
