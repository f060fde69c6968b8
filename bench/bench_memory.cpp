// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Resident memory a panel spends per job: the format tool's panel is given
// 10,000 probe records through AddVoiceData, as the probe hands them over, and
// the growth of VmRSS (after malloc_trim) is divided by the job count. No
// ffmpeg runs. Each record has strings of its own, as parsed records do.
//
// The panel gets one job first, so that its pool of rows exists before the
// first reading: the pool is a fixed cost, not a per-job one.

#include <vector>

#include <QApplication>

#include "bench/benchsupport.h"
#include "engine/voicedata.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

constexpr int Jobs = 10000;
constexpr int Runs = 3;
constexpr double TargetBytes = 4096.0;

VoiceData *MakeRecord(int i)
{
    auto *record = new VoiceData;
    record->fileName = QStringLiteral("voice recording %1.wav").arg(i);
    record->filePath = QStringLiteral("/home/user/Music/session/") + record->fileName;
    record->fileSize = 5292044 + i;
    record->duration = 30000000;
    record->hasAudio = 1;
    record->sampleRate = 44100;
    record->channels = 2;
    record->bitRate = 1411000;
    record->codecName = QString(QLatin1String("pcm_s16le")); // an allocation of its own, as parsed
    record->streamInfo =
        QStringLiteral("Stream #0:0: Audio: pcm_s16le   , 44100 Hz, stereo, s16, %1 kb/s").arg(1411 + i % 2);
    return record;
}

double MeasureOnce()
{
    FormatConvertWidget panel;
    panel.resize(1138, 603);
    panel.Layout();
    panel.UpdateSkin();
    panel.FlushText();
    panel.show();

    VoiceData *first = MakeRecord(-1);
    panel.AddVoiceData(first);
    delete first;
    QApplication::processEvents();

    const qint64 before = BenchSupport::ResidentBytes();
    for (int i = 0; i < Jobs; ++i) {
        VoiceData *record = MakeRecord(i);
        panel.AddVoiceData(record);
        delete record;
    }
    QApplication::processEvents();
    const qint64 after = BenchSupport::ResidentBytes();
    panel.RemoveAllItems();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return double(after - before) / Jobs;
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    QApplication app(argc, argv);
    g_appDir = BenchSupport::BuildAppDir(argv[0]);
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));

    std::vector<double> perJob;
    for (int run = 0; run < Runs; ++run)
        perJob.push_back(MeasureOnce());
    const double median = BenchSupport::Median(perJob);
    BenchSupport::Row(
        QStringLiteral("Memory per job, panel with %1 jobs (median of %2 runs)").arg(Jobs).arg(Runs),
        QStringLiteral("%1 B").arg(median, 0, 'f', 0), QStringLiteral("-"),
        QStringLiteral("%1 KiB per job").arg(median / 1024.0, 0, 'f', 2), QStringLiteral("< 4 KiB per job"),
        median < TargetBytes);
    return 0;
}
