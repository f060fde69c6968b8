// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QWidget;

// What start-up does beyond building the window: the files of the command
// line (a file manager's "Open with") and the check for ffmpeg.
class Startup
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
public:
    // Opens Format Convert in the main window with the given files.
    static void OpenFiles(const QStringList &paths);
    // The text shown when no ffmpeg can be found; empty when one is there.
    static QString MissingFfmpegMessage();
    // Shows MissingFfmpegMessage over `window` when there is one, without waiting for it.
    static void WarnIfFfmpegMissing(QWidget *window);
};
