#pragma once

#include <QString>
#include <QStringList>

#include "engine/voicedata.h"

// The speed factor chosen in the speed tool, as its entry text ("1.25");
// read by each job as it starts.
extern QString g_convertSpeed;

// One file played faster or slower at the same pitch (atempo).
class VoiceSpeedData : public VoiceData
{
    Q_OBJECT
public:
    void startConvert() override;

    // The child's arguments for an input, a factor text and an output path.
    static QStringList Arguments(const QString &input, const QString &factor, const QString &output);
    // What the factor adds to the output name: "-1_25" for "1.25".
    static QString NameTag(const QString &factor);
    // The output's length for an input of `duration` microseconds.
    static double OutputDuration(qint64 duration, const QString &factor);

    qint64 expectedDuration() const override;

public slots:
    void ffmpegProcess_StandardOutput_slots() override;

private:
    // The factor of the current run: a later choice must not bend its progress.
    QString runFactor;
};
