#pragma once

#include <QSharedPointer>
#include <QStringList>

#include "engine/voicedata.h"
#include "tools/volumeconvert/volumeoptions.h"

// One file made louder, quieter, or brought to a standard loudness.
class VoiceVolumeData : public VoiceData
{
    Q_OBJECT
public:
    // The options are read at each start: a choice made while the job waits applies to it.
    explicit VoiceVolumeData(QSharedPointer<const VolumeOptions> options = {});

    void startConvert() override;

    // The filter of each mode, in the order of the modes.
    static QStringList Filters();
    // The child's arguments for an input, a mode, the input's sample rate
    // (0 = unknown) and an output path. A mode outside the list standardizes.
    static QStringList Arguments(const QString &input, int mode, int sampleRate, const QString &output);

private:
    QSharedPointer<const VolumeOptions> options;
};
