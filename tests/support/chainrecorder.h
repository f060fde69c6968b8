#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class ScriptChainData;

// Follows a script tool's job: what it reported at every updateProgress
// (the stage, the progress and the child it last ran) and how often it ended.
class ChainRecorder : public QObject
{
    Q_OBJECT
public:
    struct Report
    {
        int stage;
        int progress;
        QString program;
        QStringList arguments;
    };

    explicit ChainRecorder(ScriptChainData *job, QObject *parent = nullptr);

    QList<Report> reports;
    int finished = 0;

    // The last report of each stage, in the order the stages ran: the
    // report a stage gives as it ends, with the child that ran it.
    QList<Report> stageEnds() const;
    QList<int> stageEndProgress() const;
};
