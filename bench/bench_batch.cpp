// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Batch overhead: the format tool converting 40 WAV files of 30 seconds to
// MP3, two at a time, against the same ffmpeg command lines run directly by
// xargs -P2 in the same working directory and environment.
//
// The product side is the real thing, headless: a main window with the limit
// 2, the format panel opened through the selector, the files added (probed
// before the clock starts), Convert, and the clock stops when every job has
// reported its end and the resident converters (the built quillvane-cli, as
// the application runs the one beside it) have left and been reaped, so their
// start and all their CPU time are counted. The log handler is installed as
// the application does, so every console chunk is logged. The two measurements alternate, each into a
// fresh output folder, and the figure is the median of the per-pair ratios.

#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>

#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "bench/benchsupport.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "engine/workerpool.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "tools/formatconvert/voiceconvertdata.h"

namespace {

constexpr int Files = 40;
constexpr int Seconds = 30;
constexpr int Limit = 2;
constexpr int Runs = 3;
constexpr double TargetOverhead = 0.05;

ToolsBaseWidget *OpenFormatPanel(MainWidget &window)
{
    window.toolsSelectWidget->vocformatcovertButton_slots();
    return window.panels.value(ToolsSelectWidget::PanelName(0));
}

// From Convert to the end of the last job.
BenchSupport::Cost ConvertWithPanel(MainWidget &window, const QStringList &inputs, const QString &outFolder,
                                    bool *allSucceeded)
{
    window.setOutputFolder(outFolder);
    ToolsBaseWidget *panel = OpenFormatPanel(window);
    QEventLoop loop;
    panel->AddFiles(inputs);
    while (panel->jobs().size() < inputs.size())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);

    int ended = 0;
    for (VoiceData *job : panel->jobs()) {
        QObject::connect(job, &VoiceData::convertfinished, &loop, [&] {
            if (++ended == inputs.size())
                loop.quit();
        });
    }
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    panel->convertButton_slots();
    loop.exec();
    WorkerPool::instance().shutdown();
    const BenchSupport::Cost cost{BenchSupport::MonotonicSeconds() - start,
                                  BenchSupport::CpuSeconds() - cpuStart};

    *allSucceeded = true;
    for (VoiceData *job : panel->jobs())
        *allSucceeded = *allSucceeded && job->status() == VoiceData::Succeeded;
    window.toolsSelectWidget->ShowSelector();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return cost;
}

BenchSupport::Cost ConvertDirectly(const QStringList &inputs, const QString &outFolder)
{
    QStringList arguments;
    for (const QString &input : inputs)
        arguments << BenchSupport::DirectConvertArguments(
            input, outFolder + QLatin1Char('/') + OutputBaseName(input) + QStringLiteral(".mp3"));
    return BenchSupport::RunThroughXargs(GetFFmpegPath(), {}, arguments,
                                         int(arguments.size() / inputs.size()), Limit);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    QApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);
    WorkerPool::instance().setProgram(BenchSupport::BuildAppDir(argv[0]) + QStringLiteral("/quillvane-cli"));
    const QString work = BenchSupport::WorkFolder(argv[0]);
    const QStringList inputs = BenchSupport::MakeToneInputs(work + QStringLiteral("/batch-inputs"), Files,
                                                            Seconds, QStringLiteral("wav"));
    SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), QStringLiteral("mp3"));

    MainWidget window;
    window.setSameMaxCount(Limit);
    window.show();

    bool allSucceeded = true;
    const BenchSupport::Comparison comparison = BenchSupport::Alternate(
        "batch", Runs,
        [&] {
            bool succeeded = false;
            const BenchSupport::Cost cost = ConvertWithPanel(
                window, inputs, BenchSupport::FreshFolder(work + QStringLiteral("/batch-out-product")),
                &succeeded);
            allSucceeded = allSucceeded && succeeded;
            return cost;
        },
        [&] {
            return ConvertDirectly(inputs,
                                   BenchSupport::FreshFolder(work + QStringLiteral("/batch-out-direct")));
        });
    BenchSupport::ComparisonRows(
        QStringLiteral("Batch: %1 WAV files of %2 s to MP3, limit %3, %5 (median of %4 runs each)")
            .arg(Files)
            .arg(Seconds)
            .arg(Limit)
            .arg(Runs),
        comparison, [](double seconds) { return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2); },
        QStringLiteral("xargs -P2"), 1.0 + TargetOverhead, QStringLiteral("within 5 %"),
        allSucceeded ? QString() : QStringLiteral(" (a job failed)"));
    return 0;
}
