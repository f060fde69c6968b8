// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/cliinputs.h"

#include <QDir>
#include <QFileInfo>

#include "engine/jobhelpers.h"
#include "engine/mediafilewalk.h"

CliInputs::CliInputs(const QStringList &paths, bool recursive) : given(paths), recursive(recursive)
{
    for (const QString &path : paths)
        this->paths << QDir::current().absoluteFilePath(path);
}

CliInputs::~CliInputs() = default;

QString CliInputs::unusablePath() const
{
    for (int i = 0; i < paths.size(); ++i) {
        if (!QFileInfo(paths.at(i)).isDir() && RegularInputFile(paths.at(i)).isEmpty())
            return given.at(i);
    }
    return QString();
}

QString CliInputs::next()
{
    for (;;) {
        if (walk) {
            const QString file = walk->next();
            if (!file.isEmpty())
                return file;
            walk.reset();
        }
        if (nextPath >= paths.size())
            return QString();
        const QString &path = paths.at(nextPath++);
        if (QFileInfo(path).isDir()) {
            walk = std::make_unique<MediaFileWalk>(QStringList{path}, recursive);
            continue;
        }
        // Gone since it was checked: the probe refuses it.
        const QString file = RegularInputFile(path);
        return file.isEmpty() ? path : file;
    }
}

QString CliInputs::subFolder() const
{
    return walk ? walk->subFolder() : QString();
}
