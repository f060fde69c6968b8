// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Probe rate: adding 200 files to the format panel until the last job is in
// the list and the list has been laid out and painted, beside the in-process
// floor: the same 200 files opened and read by libavformat in a plain loop.
// The two measurements alternate; the target is absolute (ms per file).

#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include <QApplication>
#include <QEventLoop>

#include "bench/benchsupport.h"
#include "engine/voicedata.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

constexpr int Files = 200;
constexpr int Runs = 3;
constexpr double TargetMsPerFile = 5.0;

// The format panel, telling when it holds the expected number of jobs.
class CountingPanel : public FormatConvertWidget
{
public:
    QEventLoop *loop = nullptr;
    int expected = 0;

    void AddVoiceData(VoiceData *record) override
    {
        FormatConvertWidget::AddVoiceData(record);
        if (loop && jobs().size() == expected)
            loop->quit();
    }
};

// Also counts the jobs whose probe read an audio stream, to show the probes did their work.
BenchSupport::Cost AddWithPanel(const QStringList &inputs, int *jobsWithAudio)
{
    CountingPanel panel;
    panel.resize(1138, 603);
    panel.Layout();
    panel.UpdateSkin();
    panel.FlushText();
    panel.show();
    QApplication::processEvents();

    QEventLoop loop;
    panel.loop = &loop;
    panel.expected = inputs.size();
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    panel.AddFiles(inputs);
    loop.exec();
    // The list was laid out by the last addition; the paint follows.
    QApplication::processEvents();
    const BenchSupport::Cost cost{BenchSupport::MonotonicSeconds() - start,
                                  BenchSupport::CpuSeconds() - cpuStart};
    const QList<VoiceData *> jobs = panel.jobs();
    *jobsWithAudio =
        int(std::count_if(jobs.cbegin(), jobs.cend(), [](VoiceData *job) { return job->hasAudio; }));
    panel.RemoveAllItems();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return cost;
}

// What reading a file's facts costs at the least: open, read the streams, close.
BenchSupport::Cost ReadInProcess(const QStringList &inputs)
{
    const double start = BenchSupport::MonotonicSeconds();
    const double cpuStart = BenchSupport::CpuSeconds();
    for (const QString &input : inputs) {
        AVFormatContext *context = nullptr;
        if (avformat_open_input(&context, QFile::encodeName(input).constData(), nullptr, nullptr) == 0) {
            avformat_find_stream_info(context, nullptr);
            avformat_close_input(&context);
        }
    }
    return {BenchSupport::MonotonicSeconds() - start, BenchSupport::CpuSeconds() - cpuStart};
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    QApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    const QStringList inputs = BenchSupport::MakeToneInputs(
        BenchSupport::WorkFolder(argv[0]) + QStringLiteral("/probe-inputs"), Files, 3, QStringLiteral("mp3"));

    av_log_set_level(AV_LOG_QUIET);
    bool allListed = true;
    const BenchSupport::Comparison comparison = BenchSupport::Alternate(
        "probe", Runs,
        [&] {
            int jobs = 0;
            const BenchSupport::Cost cost = AddWithPanel(inputs, &jobs);
            allListed = allListed && jobs == Files;
            return cost;
        },
        [&] { return ReadInProcess(inputs); });
    const double product = BenchSupport::Median(comparison.productWall) * 1000.0 / Files;
    const double floor = BenchSupport::Median(comparison.directWall) * 1000.0 / Files;
    BenchSupport::Row(
        QStringLiteral("Probe: adding %1 MP3 files until all are listed, wall clock (median of %2 runs each)")
            .arg(Files)
            .arg(Runs),
        QStringLiteral("%1 ms per file").arg(product, 0, 'f', 2),
        QStringLiteral("%1 ms per file (libavformat in-process, a plain loop)").arg(floor, 0, 'f', 2),
        QStringLiteral("+%1 ms per file").arg(product - floor, 0, 'f', 2) +
            (allListed ? QString() : QStringLiteral(" (a file was not probed)")),
        QStringLiteral("at most %1 ms per file").arg(TargetMsPerFile, 0, 'f', 0),
        allListed && product <= TargetMsPerFile);
    return 0;
}
