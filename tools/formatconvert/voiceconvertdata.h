#pragma once

#include <QString>

#include "engine/voicedata.h"

// The output extension chosen in the format tool; read by each job as it starts.
extern QString g_convertFormat;

// One file converted to the chosen audio format; video is dropped.
class VoiceConvertData : public VoiceData
{
    Q_OBJECT
public:
    void startConvert() override;

    // The child's arguments for an input and an output path.
    static QStringList Arguments(const QString &input, const QString &output);
};
