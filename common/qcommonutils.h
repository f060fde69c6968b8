// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QTime>
#include <QtGlobal>

class QApplication;
class QWidget;

namespace MyQtCustom {

// Static helpers shared by the whole application: start-up, the diagnostic
// log, media time parsing and formatting, work folder clean-up and digests.
// Media times are signed 64-bit microseconds throughout.
class QCommonUtils : public QObject
{
    Q_OBJECT
public:
    explicit QCommonUtils(QObject *parent = nullptr);

    // Start-up
    static float GetScaleDxy(QWidget *widget);
    static void CheckApplicationRunningPath(QApplication &app);
    static void InitName(const QString &organisation, const QString &application);
    static void SetLocaleLangUTF8();
    // Needs a screen: defined in the window's layer (app/qcommonutils_window.cpp).
    static QRect GetDesktopRect(QWidget *widget);

    // Diagnostic log, in the private runtime folder (UserFolders): opened
    // without following a link, mode 0600, control characters escaped.
    static constexpr qint64 LogSizeLimit = 0xa00000;
    // Each record goes to the log and, with `consoleEcho`, to standard output.
    static QtMessageHandler MyInstallMessageHandler(bool consoleEcho = true);
    // The daily reset and the start banner. Each instance keeps a shared lock
    // on the log's folder while it lives; the log is emptied only by a start
    // that gets the lock exclusively, i.e. while no other instance runs.
    static void ResetDebugLogs(const QString &organisation, const QString &application);
    // Asks where with a dialog: defined in the window's layer, as GetDesktopRect.
    static void Exportlogs();
    // Empty when no private folder can be had; the log then goes to standard output only.
    static QString LogFolder();
    static QString LogFilePath();
    static bool CopyLogTo(const QString &destination);

    // Times, sizes, folders, digests, text
    static qint64 StringToTime(const QString &text);
    static qint64 QTimetominsecond(const QTime &time);
    static QString TimetoString(qint64 microseconds);
    static QString GetFileSizeString(qint64 bytes);
    // Removes a work folder below the runtime folder (PrivateTree::remove).
    static void Cleanfolderfiles(const QString &folder, bool requireDigestName, bool recursive);
    static QString GetStringMD5(const QString &text);
    static void RemoveSubStr(QString &text, const QString &begin, const QString &end, int from);

private:
    static QString s_organisation;
    static QString s_application;
};

} // namespace MyQtCustom

using MyQtCustom::QCommonUtils;
