// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <QThread>

#include "common/apppaths.h"
#include "common/userfolders.h"

QString g_appDir;

namespace {
// The values the window shares with every job; set on the main thread, read by any.
QMutex sharedMutex;
QString sharedOutputFolder;
int sharedMaxCount = 0;
bool maxCountSet = false;

QSettings *newSettings()
{
    return new QSettings(QString::fromLatin1(AppIdentity::Organisation),
                         QString::fromLatin1(AppIdentity::Application));
}
} // namespace

QString GetFFmpegPath()
{
    return AppPaths::findFfmpeg({g_appDir, QCoreApplication::applicationDirPath()});
}

QString GetSettingValue(const QString &key, const QString &defaultValue)
{
    // A fresh store per access: no object is shared, so any thread may call this.
    QScopedPointer<QSettings> settings(newSettings());
    return settings->value(key, defaultValue).toString();
}

void SetSettingValue(const QString &key, const QString &value)
{
    QScopedPointer<QSettings> settings(newSettings());
    settings->setValue(key, value);
}

QString GetSettingChoice(const QString &key, const QStringList &choices, const QString &fallback)
{
    const QString stored = GetSettingValue(key, fallback);
    return choices.contains(stored, Qt::CaseInsensitive) ? stored : fallback;
}

QString GetSettingFolder(const QString &key)
{
    const QString stored = GetSettingValue(key);
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;

    const QString home = UserFolders::home();
    QString base;
    if (QFileInfo(home + QStringLiteral("/Documents")).exists()) {
        base = home + QStringLiteral("/Documents/");
    } else if (QFileInfo(home + QStringLiteral("/My Documents")).exists()) {
        base = home + QStringLiteral("/My Documents/");
    } else {
        QDir(home).mkdir(QStringLiteral("Documents"));
        base = home + QStringLiteral("/Documents/");
    }
    const QString org = base + QLatin1String(AppIdentity::Organisation);
    if (!QFileInfo::exists(org))
        QDir(base).mkdir(QLatin1String(AppIdentity::Organisation));
    const QString result = org + QLatin1Char('/') + QLatin1String(AppIdentity::Application);
    if (!QFileInfo::exists(result))
        QDir(org).mkdir(QLatin1String(AppIdentity::Application));
    return result;
}

QString GetTempFolder()
{
    return UserFolders::runtimeFolder(QLatin1String(AppIdentity::Organisation),
                                      QLatin1String(AppIdentity::Application));
}

QString OutputFolder()
{
    {
        QMutexLocker locker(&sharedMutex);
        // A "\\" is part of a folder's name here, not a separator.
        if (!sharedOutputFolder.isEmpty())
            return sharedOutputFolder;
    }
    return GetSettingFolder(QLatin1String(SettingsKey::OutFolder));
}

void SetOutputFolder(const QString &folder)
{
    QMutexLocker locker(&sharedMutex);
    sharedOutputFolder = folder;
}

int StoredSameMaxCount()
{
    {
        QMutexLocker locker(&sharedMutex);
        if (maxCountSet)
            return sharedMaxCount;
    }
    return GetSettingValue(QLatin1String(SettingsKey::SameMaxCount), QStringLiteral("2")).toInt();
}

int SameMaxCount()
{
    return qBound(1, StoredSameMaxCount(), MaxJobLimit());
}

void SetSameMaxCount(int stored)
{
    QMutexLocker locker(&sharedMutex);
    sharedMaxCount = stored;
    maxCountSet = true;
}

int MaxJobLimit()
{
    return qMax(2, JobsPerCore * QThread::idealThreadCount());
}

bool ExperimentalToolsShown()
{
    return GetSettingValue(QLatin1String(SettingsKey::ShowExperimental)) == QLatin1String("1");
}

void SetExperimentalToolsShown(bool shown)
{
    SetSettingValue(QLatin1String(SettingsKey::ShowExperimental),
                    shown ? QStringLiteral("1") : QStringLiteral("0"));
}

QProcessEnvironment ChildProcessEnvironment()
{
    // The probe thread starts children too, hence the lock.
    static QMutex mutex;
    static QString builtFor;
    static QProcessEnvironment environment;
    QMutexLocker locker(&mutex);
    if (builtFor != g_appDir || environment.isEmpty()) {
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FONTCONFIG_FILE"), g_appDir + QStringLiteral("/font/fonts.conf"));
        builtFor = g_appDir;
    }
    return environment;
}
