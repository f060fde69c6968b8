// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Limits: how many jobs a panel starts at once when the stored limit is
// absurd, and how long the user-interface thread is held by stopping many
// running jobs, also with a pkill on the PATH that hangs (a stop once ran
// pkill for every process of the tree and waited for it).
//
// Every job runs a stand-in ffmpeg that starts a sleeping child of its own and
// waits, so each stop meets a tree of two processes. All children carry this
// benchmark's mark in their environment: what is still alive with it after
// the stops is counted as left behind (stopped or orphaned).

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "bench/benchsupport.h"
#include "engine/voicedata.h"
#include "tests/support/standinjob.h"

namespace {

constexpr int Queued = 300;
constexpr int HugeLimit = 100000;
constexpr int Stops = 200;
constexpr int StopsWithHangingPkill = 20;

QByteArray g_mark;

// A fresh mark for the children of the next phase, in an application
// directory of its own: the children's environment is built again for it.
void NewPhase(const QString &appDir)
{
    g_mark = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    qputenv("QV_BENCH_MARK", g_mark);
    QDir().mkpath(appDir);
    QFile::copy(g_appDir + QStringLiteral("/ffmpeg"), appDir + QStringLiteral("/ffmpeg"));
    g_appDir = appDir;
}

int LivingMarked()
{
    const QByteArray wanted = "QV_BENCH_MARK=" + g_mark;
    int count = 0;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid == QCoreApplication::applicationPid())
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!stat.open(QIODevice::ReadOnly) || !environ.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const int nameEnd = text.lastIndexOf(')');
        const char state = nameEnd >= 0 && nameEnd + 2 < text.size() ? text.at(nameEnd + 2) : 'X';
        if (state != 'Z' && state != 'X' && environ.readAll().split('\0').contains(wanted))
            ++count;
    }
    return count;
}

// Waits until every marked process is gone, at most `seconds`.
int LeftAfter(double seconds)
{
    QElapsedTimer clock;
    clock.start();
    int living = LivingMarked();
    while (living > 0 && clock.elapsed() < seconds * 1000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        living = LivingMarked();
    }
    return living;
}

bool AllEnded(const QList<VoiceData *> &jobs)
{
    for (const VoiceData *job : jobs) {
        if (job->process.state() != QProcess::NotRunning)
            return false;
    }
    return true;
}

// Starts `count` stand-in jobs, lets their trees form, then stops them all in
// one go: the seconds the stops held this thread, and what stayed alive.
QPair<double, int> StopMany(int count, const QString &inputFolder)
{
    QList<VoiceData *> jobs;
    for (int i = 0; i < count; ++i) {
        auto *job = new TestSupport::StandInJob(QStringLiteral("-stop"), QStringLiteral("wav"));
        job->filePath = inputFolder + QStringLiteral("/in%1.wav").arg(i);
        job->startConvert();
        jobs << job;
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);

    const double start = BenchSupport::MonotonicSeconds();
    for (VoiceData *job : jobs)
        job->stopConvert();
    const double held = BenchSupport::MonotonicSeconds() - start;

    QElapsedTimer clock;
    clock.start();
    while (!AllEnded(jobs) && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const int left = LeftAfter(5.0);
    qDeleteAll(jobs);
    return {held, left};
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    // Hundreds of children at once need more descriptors than a desktop session's default.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    QApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);

    QTemporaryDir scratch;
    const QString bin = scratch.filePath(QStringLiteral("bin"));
    const QString out = scratch.filePath(QStringLiteral("out"));
    QDir().mkpath(bin);
    QDir().mkpath(out);
    g_appDir = scratch.path();
    const auto executable = [](const QString &path, const QByteArray &text) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    executable(scratch.filePath(QStringLiteral("ffmpeg")), "#!/bin/sh\nsleep 60 &\nwait\n");
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), out);
    NewPhase(scratch.filePath(QStringLiteral("limit")));

    // Jobs started at once by Convert with an absurd stored limit.
    MainWidget window;
    window.setOutputFolder(out);
    window.setSameMaxCount(HugeLimit);
    window.toolsSelectWidget->vocformatcovertButton_slots();
    ToolsBaseWidget *panel = window.panels.value(ToolsSelectWidget::PanelName(0));
    for (int i = 0; i < Queued; ++i) {
        VoiceData record;
        record.filePath = scratch.filePath(QStringLiteral("queued%1.wav").arg(i));
        record.fileName = QFileInfo(record.filePath).fileName();
        panel->AddVoiceData(&record);
    }
    panel->convertButton_slots();
    int started = 0;
    for (VoiceData *job : panel->jobs())
        started += job->status() == VoiceData::Converting ? 1 : 0;
    window.toolsSelectWidget->ShowSelector();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    LeftAfter(10.0);
    const int ceiling = 2 * QThread::idealThreadCount();
    BenchSupport::Row(QStringLiteral("Jobs started at once by Convert, Same_MaxCount %1, %2 queued")
                          .arg(HugeLimit)
                          .arg(Queued),
                      QString::number(started), QStringLiteral("-"), QString(),
                      QStringLiteral("at most %1 (2 per core)").arg(ceiling), started <= ceiling);

    NewPhase(scratch.filePath(QStringLiteral("stops")));
    const QPair<double, int> system = StopMany(Stops, scratch.path());
    BenchSupport::Row(QStringLiteral("User-interface thread held by %1 stops of running jobs").arg(Stops),
                      QStringLiteral("%1 s").arg(system.first, 0, 'f', 3), QStringLiteral("-"),
                      QStringLiteral("%1 processes left").arg(system.second),
                      QStringLiteral("under 0.25 s, none left"), system.first < 0.25 && system.second == 0);

    // A pkill that hangs, as on a machine too loaded to run it.
    executable(bin + QStringLiteral("/pkill"), "#!/bin/sh\nexec sleep 30\n");
    qputenv("PATH", bin.toLocal8Bit() + ':' + qgetenv("PATH"));
    NewPhase(scratch.filePath(QStringLiteral("hanging")));
    const QPair<double, int> hanging = StopMany(StopsWithHangingPkill, scratch.path());
    BenchSupport::Row(QStringLiteral("User-interface thread held by %1 stops, a hanging pkill on the PATH")
                          .arg(StopsWithHangingPkill),
                      QStringLiteral("%1 s").arg(hanging.first, 0, 'f', 3), QStringLiteral("-"),
                      QStringLiteral("%1 processes left").arg(hanging.second),
                      QStringLiteral("under 0.05 s, none left"), hanging.first < 0.05 && hanging.second == 0);
    return 0;
}
