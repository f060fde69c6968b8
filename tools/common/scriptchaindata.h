// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include "engine/voicedata.h"

class GetMediaInfoThread;

// A job that runs a chain of children, one after the other: ffmpeg cuts the
// input into WAV segments, a script of the Python runtime processes the
// segment folder, ffmpeg joins the processed pieces and encodes each joined
// file into the output folder in the input's own format. A tool's job class
// is its stage table and its script call.
//
// The first stage that fails (a child that cannot start, crashes or exits
// non-zero, or leaves no usable file) ends the chain as failed; what this run
// had written to the output folder is removed again. The work folder belongs
// to the job alone and goes when the chain ends or the job is destroyed; a
// stopped job keeps it, and a later start resumes at the interrupted stage.
class ScriptChainData : public VoiceData
{
    Q_OBJECT
public:
    enum class StageKind
    {
        Cut,    // ffmpeg: input -> segments
        Script, // the runtime: segments -> pieces
        Join,   // ffmpeg: pieces of one kind -> one WAV in the work folder
        Encode  // ffmpeg: that WAV -> the output folder
    };
    struct Stage
    {
        StageKind kind;
        const char *piece; // "vocal", "instrument": what a join or an encode handles
        int endProgress;   // progress once the stage has ended
    };

    // Progress of the segment stage's end and of the script stage's end: the
    // script's own lines move progress between the two.
    static constexpr int CutEndProgress = 1000;
    static constexpr int ScriptEndProgress = 9000;
    // A last segment shorter than this (microseconds) is dropped.
    static constexpr qint64 ShortestLastSegment = 1000000;

    ScriptChainData();
    ~ScriptChainData() override;

    // The stage that runs, or runs at the next start.
    int stage = 0;
    QString workFolder;
    QString segmentsFolder;
    // Segments kept after cutting.
    int segmentCount = 0;

    void startConvert() override;
    // What the run published; a failed run's results are removed.
    QStringList results() const override { return runOutputs; }

    // Seconds per segment for an input of `duration` microseconds: the first
    // of 5 to 10 that does not divide its whole seconds, else 5.
    static int SegmentTime(qint64 duration);

    // Reads one line of the script's output during the script stage. A line
    // naming the segments done ("['segment0.wav', ...]->Success") sets
    // progress from their count; any other line with a percentage adds that
    // share of one segment. Progress stays below `limit`. Returns whether the
    // line moved progress (and so is to be reported).
    static bool ReadScriptLine(const QString &line, int segmentCount, int limit, int &progress);

    // Writes an ffmpeg concat list of `pieces` to `listPath`; false when the
    // file cannot be written.
    static bool WriteJoinList(const QString &listPath, const QStringList &pieces);

    // The work folder of the job numbered `jobNumber` for `inputPath`: named
    // after the MD5 of the path, made unique per job and process.
    static QString WorkFolderFor(const QString &inputPath, quint64 jobNumber);

    // Removes the work folders that jobs of ended processes left behind (a
    // program that was killed never cleans up). Runs at the first start of a
    // chain in every process.
    static void RemoveStaleWorkFolders();

    // The child that runs the script stage, below the application directory.
    static QString PythonPath();

public slots:
    void ffmpegProcess_StandardOutput_slots() override;
    void ffmpegProcess_Finished(int index) override;

protected:
    virtual QVector<Stage> stages() const = 0;
    // The script stage's arguments (script path first).
    virtual QStringList scriptArguments() = 0;
    // The folders the script writes to, made afresh before it starts.
    virtual QStringList scriptFolders() const = 0;
    // Where the script writes its pieces, and the file name of piece `n` of a kind.
    virtual QString piecesFolder() const = 0;
    virtual QString pieceFileName(const QString &piece, int n) const = 0;

private:
    void startSegment();
    void startScript();
    void startJoin(const QString &piece);
    void startEncode(const QString &piece);
    QString joinedPath(const QString &piece) const;

    void probeLastSegment();
    void lastSegmentProbed();
    void stageDone();
    void failStage(const QString &reason = QString());
    void failStageLater(const QString &reason);
    void endStopped();
    void endChain(int finalStatus);
    void removeWorkFolder();
    // Makes the `fresh` folders anew and checks the `kept` ones, each a real
    // folder of ours in the work folder; otherwise fails the stage (later).
    bool prepareFolders(const QStringList &fresh, const QStringList &kept);

    const quint64 jobNumber;
    // The probe of the last segment, while it runs.
    QPointer<GetMediaInfoThread> probe;
    QString probedSegment;
    // Results this run has published; removed again when it fails.
    QStringList runOutputs;
    // Microseconds of audio the running encode promises.
    qint64 encodeDuration = 0;
    // Counts stage starts, so that a late failure notice of an earlier one is ignored.
    quint64 stageSerial = 0;
};
