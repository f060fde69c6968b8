// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/startup.h"

#include <QFileInfo>
#include <QMessageBox>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"

void Startup::OpenFiles(const QStringList &paths)
{
    if (paths.isEmpty() || !g_mainWidget || !g_mainWidget->toolsSelectWidget)
        return;
    // Named from the shell's folder; the probe runs in the data folder.
    QStringList absolute;
    for (const QString &path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    if (ToolsBaseWidget *panel = g_mainWidget->toolsSelectWidget->OpenTool(0))
        panel->AddFiles(absolute);
}

QString Startup::MissingFfmpegMessage()
{
    if (!GetFFmpegPath().isEmpty())
        return QString();
    return tr("ffmpeg was not found: install the ffmpeg package");
}

void Startup::WarnIfFfmpegMissing(QWidget *window)
{
    const QString message = MissingFfmpegMessage();
    if (message.isEmpty())
        return;
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Quillvane"), message, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
