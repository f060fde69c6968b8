// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/qcommonutils.h"

#include <QDateTime>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "common/userfolders.h"

// The members of QCommonUtils that need a screen or a dialog: they belong to
// the window's layer, so that the core links Qt Core alone.

namespace MyQtCustom {

QRect QCommonUtils::GetDesktopRect(QWidget *widget)
{
    QScreen *screen = widget ? widget->screen() : nullptr;
    if (!screen && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(QPoint(0, 0), QPoint(1919, 1079));
    return screen->geometry();
}

void QCommonUtils::Exportlogs()
{
    const QString suggested = UserFolders::home() + QStringLiteral("/Desktop/") + s_organisation +
                              QLatin1Char('-') + s_application + QLatin1Char('-') +
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")) +
                              QStringLiteral(".log");
    const QString chosen = QFileDialog::getSaveFileName(nullptr, QObject::tr("Save Logfile"), suggested,
                                                        QObject::tr("Logfile (*.log)"));
    if (chosen.isEmpty())
        return;
    CopyLogTo(chosen);
}

} // namespace MyQtCustom
