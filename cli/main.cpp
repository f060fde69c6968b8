// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <cstdio>

#include <QCoreApplication>

#include "cli/clicommand.h"
#include "cli/clirun.h"
#include "cli/cliworker.h"
#include "common/apppaths.h"
#include "common/globals.h"
#include "common/qcommonutils.h"

namespace {
void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // File names in the arguments and on disk are UTF-8 whatever the locale says.
    QCommonUtils::SetLocaleLangUTF8();
    QCoreApplication::setApplicationVersion(QLatin1String(AppIdentity::Version));
    g_appDir = AppPaths::dataDir(QCoreApplication::applicationDirPath());
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));

    // A resident converter for the window's or a batch's jobs (WorkerPool).
    if (app.arguments().value(1) == QLatin1String("--worker"))
        return RunWorker();

    CliCommand command;
    const CliCommand::Parsed parsed = CliCommand::Parse(app.arguments().mid(1), command);
    if (parsed.exitCode >= 0) {
        print(stdout, parsed.out);
        print(stderr, parsed.err);
        return parsed.exitCode;
    }
    // The diagnostic log as the window keeps it; standard output is the report's.
    QCommonUtils::MyInstallMessageHandler(false);
    QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                 QLatin1String(AppIdentity::Application));

    CliRun run(command);
    QObject::connect(&run, &CliRun::finished, &app, &QCoreApplication::exit);
    const int early = run.start();
    return early >= 0 ? early : app.exec();
}
