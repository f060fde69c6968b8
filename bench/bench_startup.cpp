// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Start-up: from the start of the process to the main window's first frame.
//
// The product has no benchmark hooks, so this program plays the application:
// started with "app" it does what app/main.cpp does, step for step, and notes
// the moment the main window's first paint is complete (the first Paint event
// of the window, then a zero timer, which runs once the whole tree has been
// painted and flushed). Started with "plain" it shows an empty window of the
// same size with nothing else: the cost of starting any Qt Widgets program of
// this size (exec, dynamic linking, the platform plug-in, the first paint).
// Started without arguments it is the driver: it starts each kind as a child
// process, taking the time on the system-wide monotonic clock just before the
// fork; the child writes the time of its first frame to a file. The two kinds
// alternate; the first pair is a warm-up (page cache, font cache) and does not
// count.

#include <vector>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "app/mainwidget.h"
#include "bench/benchsupport.h"

namespace {

constexpr int Runs = 11;
constexpr double TargetSeconds = 0.300;

// Writes the time of the first complete frame of `window` to `stampFile` and quits.
class FirstFrame : public QObject
{
public:
    FirstFrame(QWidget *window, QString stampFile) : stampFile(std::move(stampFile))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, this, [this] {
                QFile file(stampFile);
                if (file.open(QIODevice::WriteOnly))
                    file.write(QByteArray::number(BenchSupport::MonotonicSeconds(), 'f', 6));
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString stampFile;
    bool seen = false;
};

// What app/main.cpp does, up to the event loop.
int PlayApplication(int argc, char **argv, const QString &stampFile)
{
    QCommonUtils::GetScaleDxy(nullptr);
    QApplication app(argc, argv);
    // The real executable's directory, which holds what the application reads beside it.
    g_appDir = BenchSupport::BuildAppDir(argv[0]);
    QCommonUtils::CheckApplicationRunningPath(app);
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
    QCommonUtils::MyInstallMessageHandler();
    QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                 QLatin1String(AppIdentity::Application));
    QCommonUtils::SetLocaleLangUTF8();

    MainWidget window;
    FirstFrame watcher(&window, stampFile);
    window.move(MainWindowPosition(QCommonUtils::GetDesktopRect(nullptr), window.size()));
    window.show();
    return app.exec();
}

// An empty window of the same size and place, with the same scaling attribute.
int PlayPlainWindow(int argc, char **argv, const QString &stampFile)
{
    QCommonUtils::GetScaleDxy(nullptr);
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1140, 672);
    FirstFrame watcher(&window, stampFile);
    window.move(MainWindowPosition(QCommonUtils::GetDesktopRect(nullptr), window.size()));
    window.show();
    return app.exec();
}

// From just before the child's fork to its first frame; the CPU time is the child's.
BenchSupport::Cost TimeChild(const QString &program, const QString &kind, const QString &stampFile)
{
    QFile::remove(stampFile);
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    const double cpuStart = BenchSupport::CpuSeconds();
    const double start = BenchSupport::MonotonicSeconds();
    child.start(program, {kind, stampFile});
    child.waitForFinished(-1);
    QFile file(stampFile);
    if (!file.open(QIODevice::ReadOnly))
        return {-1.0, 0.0};
    return {file.readAll().toDouble() - start, BenchSupport::CpuSeconds() - cpuStart};
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    const QString kind = argc > 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (kind == QLatin1String("app"))
        return PlayApplication(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (kind == QLatin1String("plain"))
        return PlayPlainWindow(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication driver(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir stamps;
    const QString stampFile = stamps.filePath(QStringLiteral("first-frame"));
    TimeChild(self, QStringLiteral("app"), stampFile);
    TimeChild(self, QStringLiteral("plain"), stampFile);

    bool allPainted = true;
    const BenchSupport::Comparison comparison = BenchSupport::Alternate(
        "start-up", Runs,
        [&] {
            const BenchSupport::Cost cost = TimeChild(self, QStringLiteral("app"), stampFile);
            allPainted = allPainted && cost.wall > 0;
            return cost;
        },
        [&] {
            const BenchSupport::Cost cost = TimeChild(self, QStringLiteral("plain"), stampFile);
            allPainted = allPainted && cost.wall > 0;
            return cost;
        });
    const double app = BenchSupport::Median(comparison.productWall);
    const double plain = BenchSupport::Median(comparison.directWall);
    BenchSupport::Row(
        QStringLiteral(
            "Start-up: process start to the main window's first frame, %1 platform (median of %2 runs)")
            .arg(qEnvironmentVariable("QT_QPA_PLATFORM"))
            .arg(Runs),
        QStringLiteral("%1 ms").arg(app * 1000.0, 0, 'f', 0),
        QStringLiteral("%1 ms (empty Qt window of the same size)").arg(plain * 1000.0, 0, 'f', 0),
        QStringLiteral("%1%2 ms")
            .arg(app >= plain ? QStringLiteral("+") : QString())
            .arg((app - plain) * 1000.0, 0, 'f', 0),
        QStringLiteral("under 300 ms"), allPainted && app < TargetSeconds);
    return 0;
}
