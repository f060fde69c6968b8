// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class MediaFileWalk;

// The files a command's paths name, one at a time and in order: a file as
// the window adds it (a regular file, its links resolved once), a folder as
// its media files (with `recursive`, those of its sub-folders too). Folders
// are read as the files are taken, so a batch of any size costs one
// folder's listing per level.
class CliInputs
{
public:
    CliInputs(const QStringList &paths, bool recursive);
    ~CliInputs();

    // The first path, as given, that is neither a regular file nor a folder; empty when none.
    QString unusablePath() const;
    // The next file; empty once there is none left.
    QString next();
    // The folder of the last file next() gave, relative to the folder given
    // that holds it; empty for a file given as such or at a given folder's top.
    QString subFolder() const;

private:
    QStringList given;
    QStringList paths; // absolute
    bool recursive;
    int nextPath = 0;
    std::unique_ptr<MediaFileWalk> walk;
};
