// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QTemporaryFile>
#include <QStringList>
#include <QtGlobal>

#include "engine/encodeplan.h"
#include "engine/mediaprobe.h"
#include "engine/outputoptions.h"
#include "engine/outputplan.h"
#include "engine/partfile.h"
#include "engine/statuslinereader.h"
#include "engine/workerpool.h"
#include "platform/childprocess.h"

// One input file and the child process that converts it. The probe fills the
// facts; a tool's job class derives from this, builds its argument list in
// startConvert and leaves progress, the verdict with its restarts and the stop
// to the base. The child writes a part file (PartFile), which gets its final
// name only when the verdict (RunVerdict) accepts it; a stop, a failure or the
// job's end removes it.
class VoiceData : public QObject
{
    Q_OBJECT
public:
    // Values of status().
    enum State
    {
        Idle = -1,
        Waiting = 0,
        Converting = 1,
        Succeeded = 2,
        Failed = 3,
        Stopped = 4,
        // Its result's name was taken and the Output choices say skip: nothing written.
        Skipped = 5
    };
    // Automatic restarts of a run the verdict rejects.
    static constexpr int MaxRetries = 2;

    VoiceData();
    ~VoiceData() override;

    // Facts of the input, from the probe.
    QString fileName;
    QString filePath;
    qint64 fileSize = 0;
    qint64 duration = 0; // microseconds; 0 = unknown
    int hasAudio = 0;
    int sampleRate = 0;
    int channels = 0;
    int bitRate = 0; // bits per second
    QString codecName;
    QString streamInfo;
    AudioTraits traits;
    bool selected = false;
    // The input's folder below the folder it was added with ("a/b"); its
    // results go there under the output folder when the Output choices keep the tree.
    QString subFolder;

    // The Output choices the job's results follow; none: the stored ones, read at each start.
    QSharedPointer<const OutputOptions> outputOptions;
    // What the output format changed against the input (rate, channels,
    // cover), for the row; set as a run starts.
    QString outputNote;

    // The run.
    ChildProcess process;
    // The state of the run (State). The job changes it as its run goes, the
    // queue that holds it as it queues or unqueues it; every change is
    // signalled (statusChanged).
    int status() const { return state; }
    QString outputPath;     // the part file while converting, the result once published
    int progress = 0;       // hundredths of a percent
    QElapsedTimer runClock; // started as the current run began; tells the time left
    bool stopped = false;
    int retryCount = 0;
    // Why the last run failed, in plain words or the child's most telling line.
    QString errorText;

    // The input's audio as an output's source.
    SourceAudio sourceAudio() const;
    // The Output choices this job follows now (outputOptions, else the stored ones).
    OutputOptions choices() const;

    // Copies the probe facts, fileName to selected, from a probe record.
    void copyProbeFacts(const VoiceData &record);

    // Whether a run's child or worker job is still under way (a stopped one
    // until its end is heard).
    bool runActive() const { return process.state() != QProcess::NotRunning || workerTicket != 0; }
    // The resident converter's ticket of the run under way; 0 when its child runs or none.
    quint64 runTicket() const { return workerTicket; }

    // Every result of the job's runs that is in the output folder, in order
    // (a split's pieces, a separation's two files): by default the one
    // result of a succeeded run.
    virtual QStringList results() const;

    // Whether the last child ended badly: it could not be started, crashed or
    // exited with a code other than 0. Valid in ffmpegProcess_Finished.
    bool lastRunFailed() const { return runFailed; }
    // Whether the last run's result was skipped because its name was taken.
    bool lastRunSkipped() const { return runSkipped; }

    virtual void startConvert();
    // The user's stop: kills the child's whole tree and returns at once; the
    // run's end (convertfinished) follows when the child is gone.
    virtual void stopConvert();
    // The child's pid followed by all its descendants, parents before children.
    virtual QStringList getChildProcessList();
    virtual void getAllProcessList(QStringList &pids, QStringList &parentPids);

    // Halts and kills a process with all its descendants; waits for none of them.
    static void KillProcessTree(qint64 root);

signals:
    void convertfinished(VoiceData *data);
    void updateProgress(VoiceData *data);
    void statusChanged(VoiceData *data);

public slots:
    virtual void ffmpegProcess_StandardOutput_slots();
    virtual void ffmpegProcess_Finished(int index);

    // What the user chose for this job alone (a trim range), in words; empty when nothing.
    virtual QString ownSettings() const { return QString(); }

    // Microseconds of audio a run promises: the input's length unless the
    // tool changes it (0: unknown).
    virtual qint64 expectedDuration() const { return duration; }

protected:
    void setStatus(int value);
    // Automatic restarts of a rejected run this job allows.
    virtual int maxRetries() const { return MaxRetries; }

    // Begins a run: progress back to 0, the stop flag cleared, and a new part
    // file for a result to be named by `name` (openPart).
    QString beginRun(const OutputName &name);
    // A new part file for a result to be named by `name` (with the Output
    // choices' pattern, collision rule and tree), which becomes `outputPath`;
    // empty when the output folder takes none, and the run then ends as
    // failed (after the caller has returned), as if its child had not
    // started; or when the name is taken and skipped, and the run ends so.
    QString openPart(const OutputName &name);
    // The verdict on the run's part file for `promised` microseconds; when it
    // holds, the part file is published and `outputPath` becomes its final
    // name. Otherwise the part file is removed and errorText says why.
    bool settleRun(qint64 promised);
    // Why the last child failed: why it never started, else in plain words
    // or its most telling line.
    QString childFailureReason() const;

    // The output side of a child writing `output` from the input: the Output
    // choices, the input's facts, a private file carrying its cover into Ogg
    // or Opus. Sets outputNote.
    OutputPlan planOutput(const QString &output);

    // Starts the child as every job does: logs the arguments, merges its
    // output channels, runs it in the application directory with the shared
    // child environment, read-write. Clears `stopped`.
    void startChild(const QString &program, const QStringList &arguments);
    // startChild with the application's ffmpeg.
    void startFFmpeg(const QStringList &arguments);
    // Runs a plan through a resident converter (WorkerPool) where it covers
    // the plan, else through the ffmpeg child (runOnChild); progress, verdict
    // and stop are the same either way.
    void startEncode(const EncodePlan &plan);
    // Runs a plan the converter does not take: by default its ffmpeg child.
    virtual void runOnChild(const EncodePlan &plan);
    // The pass of the converter's last progress (EncodePlan::reverse: 1 while encoding).
    int runPass() const { return workerPass; }
    // What the run's child or converter said since the last read (status lines).
    QString readRunText();

    // Reads what the child wrote and moves progress against a reference
    // length in microseconds, emitting updateProgress for every usable time.
    void readProgress(double referenceDuration);
    // How far the current child got (statusReader.furthestTime). A stream copy
    // that reached no time wrote no audio, even when the container's headers
    // alone pass the size check.
    qint64 reachedTime() const { return statusReader.furthestTime(); }

    StatusLineReader statusReader;

private:
    friend class JobQueue;

    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processError(QProcess::ProcessError error);
    // Ends the child and all its descendants without waiting for any of them.
    void killProcessTree();
    // Halts `root` and every descendant; returns them, parents before children.
    static QList<qint64> haltProcessTree(qint64 root);
    void endUnstartedRun(const QString &reason);
    // A new run's state: started, nothing failed or said yet.
    void resetRun();
    void workerEvent(const WorkerPool::Event &event);

    int state = Idle;
    PartFile part;
    OutputName partName;
    QScopedPointer<QTemporaryFile> coverFile; // the cover for an Ogg or Opus output, while it runs
    QString startFailure;     // why the run's child was never started, or its converter failed
    quint64 workerTicket = 0; // the converter's job under way
    QString workerText;       // what the converter said, as status lines, not yet read
    EncodePlan workerPlan;    // the plan it runs, for the child should it refuse
    int workerPass = 0;
    bool runFailed = false;
    bool runSkipped = false;
    bool runStarted = false; // false when the last child could not be started
    bool treeKilled = false; // the current child's tree has been killed
    // Counts child starts, so that a late notice about an earlier child is recognised.
    quint64 runSerial = 0;
};
