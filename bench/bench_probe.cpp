// Probe rate: adding 200 files to the format panel until the last job is in
// the list and the list has been laid out and painted, against 200
// sequential "ffmpeg -i FILE" runs made directly by xargs in the same working
// directory and environment. The two measurements alternate; the figure is
// the median of the per-pair ratios.

#include <vector>

#include <QApplication>
#include <QEventLoop>

#include "bench/benchsupport.h"
#include "engine/voicedata.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

constexpr int Files = 200;
constexpr int Runs = 3;
constexpr double TargetOverhead = 0.10;

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

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    QApplication app(argc, argv);
    BenchSupport::StartLikeTheApplication(argv[0]);
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    const QStringList inputs = BenchSupport::MakeToneInputs(
        BenchSupport::WorkFolder(argv[0]) + QStringLiteral("/probe-inputs"), Files, 3, QStringLiteral("mp3"));

    bool allListed = true;
    const auto direct = [&] {
        return BenchSupport::RunThroughXargs(GetFFmpegPath(), {QStringLiteral("-i")}, inputs, 1, 1);
    };
    const BenchSupport::Comparison comparison = BenchSupport::Alternate(
        "probe", Runs,
        [&] {
            int jobs = 0;
            const BenchSupport::Cost cost = AddWithPanel(inputs, &jobs);
            allListed = allListed && jobs == Files;
            return cost;
        },
        direct);
    BenchSupport::ComparisonRows(
        QStringLiteral("Probe: adding %1 MP3 files until all are listed, %3 (median of %2 runs each)")
            .arg(Files)
            .arg(Runs),
        comparison,
        [](double seconds) {
            return QStringLiteral("%1 ms per file").arg(seconds * 1000.0 / Files, 0, 'f', 1);
        },
        QStringLiteral("sequential ffmpeg -i"), 1.0 + TargetOverhead, QStringLiteral("within 10 %"),
        allListed ? QString() : QStringLiteral(" (a file was not probed)"));
    return 0;
}
