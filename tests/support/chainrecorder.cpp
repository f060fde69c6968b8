#include "support/chainrecorder.h"

#include "tools/common/scriptchaindata.h"

ChainRecorder::ChainRecorder(ScriptChainData *job, QObject *parent) : QObject(parent)
{
    connect(job, &VoiceData::updateProgress, this, [this, job] {
        reports.append({job->stage, job->progress, job->process.program(), job->process.arguments()});
    });
    connect(job, &VoiceData::convertfinished, this, [this] { ++finished; });
}

QList<ChainRecorder::Report> ChainRecorder::stageEnds() const
{
    QList<Report> ends;
    for (int i = 0; i < reports.size(); ++i) {
        if (i + 1 == reports.size() || reports.at(i + 1).stage != reports.at(i).stage)
            ends.append(reports.at(i));
    }
    return ends;
}

QList<int> ChainRecorder::stageEndProgress() const
{
    QList<int> progress;
    for (const Report &report : stageEnds())
        progress.append(report.progress);
    return progress;
}
