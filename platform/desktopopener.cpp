// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "platform/desktopopener.h"

#include <QProcess>
#include <QStringList>

bool DesktopOpener::OpenFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{folder});
}
