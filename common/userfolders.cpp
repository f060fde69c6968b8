// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/userfolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QVector>

namespace {

QMutex &choiceMutex()
{
    static QMutex mutex;
    return mutex;
}
QString s_lastChoice;
QString s_note;

bool lookNoFollow(const QString &path, struct stat &info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool ownedPrivate(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Nobody but root and us can rename, replace or remove an entry of it (a
// shared folder such as /tmp qualifies through its sticky bit).
bool trusted(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && (info.st_uid == 0 || info.st_uid == ::geteuid()) &&
           ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0);
}

// Every folder from the root down to `path`, an absolute path without links.
bool trustedChain(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (!QDir::isAbsolutePath(clean))
        return false;
    struct stat info;
    for (int slash = clean.indexOf(QLatin1Char('/'), 1); slash > 0;
         slash = clean.indexOf(QLatin1Char('/'), slash + 1)) {
        if (!lookNoFollow(clean.left(slash), info) || !trusted(info))
            return false;
    }
    return lookNoFollow(QStringLiteral("/"), info) && trusted(info) && lookNoFollow(clean, info) &&
           trusted(info);
}

// Makes `folder` with mode 0700 unless it exists; true when it is ours and
// nobody else may write it. `tighten` takes a folder of ours that others may
// read (made by an older version) to 0700.
bool makeLevel(const QString &folder, bool tighten)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info;
    if (!lookNoFollow(folder, info) && (::mkdir(path.constData(), 0700) != 0 || !lookNoFollow(folder, info)))
        return false;
    if (!ownedPrivate(info))
        return false;
    return !tighten || (info.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

bool plainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

QString UserFolders::home()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return QDir::cleanPath(home);
    QByteArray buffer(16384, '\0');
    struct passwd entry;
    struct passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), size_t(buffer.size()), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return QDir::cleanPath(QFile::decodeName(found->pw_dir));
    return QDir::rootPath();
}

QString UserFolders::tempBase()
{
    const QString temp = QDir::tempPath();
    const QString resolved = QDir::isAbsolutePath(temp) ? QFileInfo(temp).canonicalFilePath() : QString();
    if (!resolved.isEmpty() && QFileInfo(resolved).isDir() &&
        ::access(QFile::encodeName(resolved).constData(), W_OK | X_OK) == 0)
        return resolved;
    const QString fallback = QFileInfo(QStringLiteral("/tmp")).canonicalFilePath();
    return fallback.isEmpty() ? QStringLiteral("/tmp") : fallback;
}

QString UserFolders::runtimeFolder(const QString &organisation, const QString &application)
{
    if (!plainName(organisation) || !plainName(application))
        return QString();
    struct Place
    {
        QString base;
        QString level;
    };
    const QString temp = tempBase();
    QVector<Place> places{{temp, organisation}};
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(xdg) && !QFileInfo(xdg).canonicalFilePath().isEmpty())
        places.append({QFileInfo(xdg).canonicalFilePath(), organisation});
    places.append({temp, organisation + QLatin1Char('-') + QString::number(::geteuid())});

    QString chosen;
    for (const Place &place : qAsConst(places)) {
        const QString level = QDir::cleanPath(place.base + QLatin1Char('/') + place.level);
        const QString folder = level + QLatin1Char('/') + application;
        if (trustedChain(place.base) && makeLevel(level, false) && makeLevel(folder, true)) {
            chosen = folder;
            break;
        }
    }

    QMutexLocker locker(&choiceMutex());
    if (chosen != s_lastChoice) {
        const QString first =
            QDir::cleanPath(temp + QLatin1Char('/') + organisation) + QLatin1Char('/') + application;
        if (chosen.isEmpty())
            s_note =
                QStringLiteral("No private runtime folder: %1 and every per-user one are taken or unsafe.")
                    .arg(first);
        else if (chosen != first)
            s_note =
                QStringLiteral("The runtime folder %1 is not private (a link, another owner or writable by "
                               "others); using %2.")
                    .arg(first, chosen);
        s_lastChoice = chosen;
    }
    return chosen;
}

QString UserFolders::takeNote()
{
    QMutexLocker locker(&choiceMutex());
    QString note;
    note.swap(s_note);
    return note;
}
