// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/mediafilewalk.h"

#include <algorithm>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "engine/mediafiles.h"

MediaFileWalk::MediaFileWalk(const QStringList &paths, bool recursive) : paths(paths), recursive(recursive) {}

void MediaFileWalk::enter(const QString &path, const QString &relative)
{
    const QDir folder(path);
    Level level;
    level.relative = relative;
    // Names alone, read one by one: a folder of 100,000 files costs its names, no file infos.
    QDirIterator entries(path, QDir::Files | QDir::Readable);
    while (entries.hasNext()) {
        entries.next();
        if (MediaFiles::IsMediaFileName(entries.fileName()))
            level.files.append(entries.fileName());
    }
    // The same order whatever order the folder lists them in.
    std::sort(level.files.begin(), level.files.end());
    std::stable_sort(level.files.begin(), level.files.end(), MediaFiles::NaturalLess);
    level.folder = folder.absolutePath() + QLatin1Char('/');
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
            if (level.nextFile < level.files.size()) {
                current = level.relative;
                return level.folder + level.files.at(level.nextFile++);
            }
            if (level.nextFolder < level.folders.size()) {
                const QString below = level.folders.at(level.nextFolder++);
                const QString name = QFileInfo(below).fileName();
                enter(below, level.relative.isEmpty() ? name : level.relative + QLatin1Char('/') + name);
                continue;
            }
            levels.removeLast();
            continue;
        }
        if (nextPath >= paths.size())
            return QString();
        const QString &path = paths.at(nextPath++);
        const QFileInfo info(path);
        if (info.isDir()) {
            enter(path, QString());
        } else if (info.isFile() && MediaFiles::IsMediaFileName(info.fileName())) {
            current.clear();
            return info.absoluteFilePath();
        }
    }
}
