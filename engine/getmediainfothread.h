#pragma once

#include <QString>
#include <QThread>

class VoiceData;

// Probes one file at a time on its own thread: runs ffmpeg with only the
// input and reads the facts of the file from the report it prints. The panel
// sets `path`, starts the thread and takes `result` when finished() arrives.
class GetMediaInfoThread : public QThread
{
    Q_OBJECT
public:
    // How long a probe may take before whatever was printed is used.
    static constexpr int ProbeWaitMs = 2000;

    GetMediaInfoThread();

    QString path;
    // The record of the last probe that got a report, or null. It belongs to
    // the main thread; whoever takes it sets this back to null.
    VoiceData *result = nullptr;

    // Fills the facts of a record (duration, hasAudio, sampleRate, channels,
    // bitRate, codecName, streamInfo) from an ffmpeg input report. Facts the
    // report does not give are left as they are.
    static void ParseReport(const QString &report, VoiceData &record);

protected:
    void run() override;
};
