#include <QApplication>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "common/qcommonutils.h"

int main(int argc, char *argv[])
{
    // High-DPI scaling must be requested before the application object exists.
    QCommonUtils::GetScaleDxy(nullptr);
    QApplication app(argc, argv);
    g_appDir = QCoreApplication::applicationDirPath();
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
    return app.exec();
}
