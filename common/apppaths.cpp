// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/apppaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString AppPaths::dataDir(const QString &executableDir)
{
    const QString installed = QDir::cleanPath(executableDir + QStringLiteral("/../share/quillvane"));
    return QFileInfo(installed).isDir() ? installed : executableDir;
}

QString AppPaths::findFfmpeg(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(folder + QStringLiteral("/ffmpeg"));
        // One that is there but cannot run is still the one meant: its failure
        // shows, where passing over it would hide a broken installation.
        if (candidate.isFile())
            return candidate.filePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

QString AppPaths::configValue(const QString &dataDir, const QString &organisation, const QString &fileName,
                              const QString &key)
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QLatin1Char('/') + organisation + QLatin1Char('/') + fileName;
    for (const QString &path : {user, dataDir + QLatin1Char('/') + fileName}) {
        if (!QFileInfo(path).isFile())
            continue;
        const QSettings ini(path, QSettings::IniFormat);
        if (ini.contains(key))
            return ini.value(key).toString().trimmed();
    }
    return QString();
}
