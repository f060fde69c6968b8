#include "tools/common/wholelistdata.h"

void WholeListData::setInputs(const QList<const VoiceData *> &records)
{
    paths.clear();
    durations.clear();
    for (const VoiceData *record : records) {
        paths.append(record->filePath);
        durations.append(record->duration);
    }
    if (!records.isEmpty())
        copyProbeFacts(*records.first());
}

void WholeListData::startConvert()
{
    setStatus(Converting);
    // Without inputs the child fails, and the run with it.
    const QString output = beginRun(resultName(paths.value(0)));
    if (!output.isEmpty())
        startFFmpeg(arguments(paths, output));
}

void WholeListData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    readProgress(double(expectedDuration()));
}
