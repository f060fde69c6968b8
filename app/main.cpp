// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QApplication>
#include <QCommandLineParser>

#include "app/mainwidget.h"
#include "app/startup.h"
#include "common/apppaths.h"
#include "common/globals.h"
#include "common/qcommonutils.h"

namespace {
// The files to open. --help, --version and a wrong option end the process here,
// before any display is needed.
QStringList ParseCommandLine(int &argc, char *argv[])
{
    QCoreApplication early(argc, argv);
    QCoreApplication::setApplicationVersion(QLatin1String(AppIdentity::Version));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 Startup::tr("Audio or video files for Format Convert."),
                                 QStringLiteral("[files...]"));
    parser.process(early);
    return parser.positionalArguments();
}
} // namespace

int main(int argc, char *argv[])
{
    const QStringList files = ParseCommandLine(argc, argv);
    // High-DPI scaling must be requested before the application object exists.
    QCommonUtils::GetScaleDxy(nullptr);
    QApplication app(argc, argv);
    g_appDir = AppPaths::dataDir(QCoreApplication::applicationDirPath());
    QCommonUtils::CheckApplicationRunningPath(app);
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
    QCommonUtils::MyInstallMessageHandler();
    QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                 QLatin1String(AppIdentity::Application));
    QCommonUtils::SetLocaleLangUTF8();

    MainWidget window;
    window.move(MainWindowPosition(QCommonUtils::GetDesktopRect(nullptr), window.size()));
    window.QuitOnTerminationSignals();
    window.show();
    Startup::OpenFiles(files);
    Startup::WarnIfFfmpegMissing(&window);
    return app.exec();
}
