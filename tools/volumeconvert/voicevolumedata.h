#pragma once

#include <QStringList>

#include "engine/voicedata.h"

// The index of the volume mode chosen in the volume tool; read by each job as it starts.
extern int g_convertVolume;

// One file made louder, quieter, or brought to a standard loudness.
class VoiceVolumeData : public VoiceData
{
    Q_OBJECT
public:
    enum Mode
    {
        Standardizing = 0,
        Louder = 1,
        Quieter = 2
    };

    void startConvert() override;

    // The filter of each mode, in the order of the modes.
    static QStringList Filters();
    // The child's arguments for an input, a mode, the input's sample rate
    // (0 = unknown) and an output path. A mode outside the list standardizes.
    static QStringList Arguments(const QString &input, int mode, int sampleRate, const QString &output);
};
