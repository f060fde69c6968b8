// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/common/scriptchaindata.h"

#include <atomic>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include "common/globals.h"
#include "common/privatetree.h"
#include "common/qcommonutils.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/mediaprobe.h"
#include "platform/processtable.h"

namespace {
// A work folder's name: the digest of the input path, the pid of the process
// that owns it and the job's number in that process.
const QRegularExpression &workFolderName()
{
    static const QRegularExpression name(QStringLiteral("^[0-9A-F]{32}-(\\d+)-\\d+$"));
    return name;
}

quint64 nextJobNumber()
{
    static std::atomic<quint64> count{0};
    return ++count;
}

// The segment with the greatest number; among equal numbers the later entry.
QString lastSegment(const QFileInfoList &entries)
{
    QString last;
    int greatest = 0;
    for (const QFileInfo &entry : entries) {
        const int number = entry.baseName().remove(QStringLiteral("segment")).toInt();
        if (last.isEmpty() || number >= greatest) {
            greatest = number;
            last = entry.absoluteFilePath();
        }
    }
    return last;
}

} // namespace

ScriptChainData::ScriptChainData() : jobNumber(nextJobNumber()) {}

ScriptChainData::~ScriptChainData()
{
    disconnect(&process, nullptr, this, nullptr);
    if (probe) {
        disconnect(probe, nullptr, this, nullptr);
        probe->wait();
        delete probe->result;
        delete probe.data();
    }
    if (process.state() != QProcess::NotRunning)
        VoiceData::stopConvert();
    // Nothing can resume the chain any more: its files are of no further use.
    removeWorkFolder();
}

int ScriptChainData::SegmentTime(qint64 duration)
{
    const qint64 seconds = duration / 1000000;
    for (int time = 5; time <= 10; ++time) {
        if (seconds % time != 0)
            return time;
    }
    return 5;
}

bool ScriptChainData::ReadScriptLine(const QString &line, int segmentCount, int limit, int &progress)
{
    const int share = (ScriptEndProgress - CutEndProgress) / (segmentCount + 1);
    if (line.contains(QLatin1String("['segment")) && line.contains(QLatin1String("->Success"))) {
        const int done = line.split(QLatin1Char(',')).size();
        progress = qMin(done * share + CutEndProgress, limit - 1);
        return true;
    }
    static const QRegularExpression percentage(QStringLiteral("(\\d*\\.\\d+|\\d+)%"));
    const QRegularExpressionMatch match = percentage.match(line);
    if (!match.hasMatch())
        return false;
    QString text = match.captured();
    text.remove(QLatin1Char('%'));
    text.remove(QLatin1Char('('));
    text.remove(QLatin1Char(')'));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return false;
    progress = qMin(static_cast<int>(progress + share * value / 100.0), limit - 1);
    return true;
}

bool ScriptChainData::WriteJoinList(const QString &listPath, const QStringList &pieces)
{
    QFile::remove(listPath);
    QFile file(listPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (QString piece : pieces) {
        // Inside single quotes the concat list takes a quote as '\''.
        piece.replace(QLatin1Char('\''), QLatin1String("'\\''"));
        bytes += (QStringLiteral("file '") + piece + QStringLiteral("' \n")).toUtf8();
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written;
}

QString ScriptChainData::WorkFolderFor(const QString &inputPath, quint64 jobNumber)
{
    const QString temp = GetTempFolder();
    if (temp.isEmpty())
        return QString();
    return temp + QLatin1Char('/') + QCommonUtils::GetStringMD5(inputPath) + QLatin1Char('-') +
           QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
           QString::number(jobNumber);
}

void ScriptChainData::RemoveStaleWorkFolders()
{
    QStringList pids;
    QStringList parentPids;
    if (!ProcessTable::system().read(pids, parentPids))
        return;
    const QString temp = GetTempFolder();
    if (temp.isEmpty())
        return;
    const QStringList folders = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &folder : folders) {
        const QRegularExpressionMatch match = workFolderName().match(folder);
        // A pid in use may be a later process that took the number: its folder stays.
        if (match.hasMatch() && !pids.contains(match.captured(1)))
            PrivateTree::remove(temp + QLatin1Char('/') + folder, temp);
    }
}

QString ScriptChainData::PythonPath()
{
    return g_appDir + QStringLiteral("/runtime/python.exe");
}

bool ScriptChainData::prepareFolders(const QStringList &fresh, const QStringList &kept)
{
    const QString temp = GetTempFolder();
    bool safe = true;
    for (const QString &folder : fresh)
        safe = safe && PrivateTree::remove(folder, temp) && PrivateTree::make(folder, temp);
    for (const QString &folder : kept)
        safe = safe && PrivateTree::make(folder, temp);
    if (!safe)
        failStageLater(
            tr("The private work folder is unsafe: a link or another user's folder is in its place."));
    return safe;
}

// ---------------------------------------------------------------- stages

void ScriptChainData::startConvert()
{
    setStatus(Converting);
    stopped = false;
    ++stageSerial;
    static const bool swept = (RemoveStaleWorkFolders(), true);
    Q_UNUSED(swept)
    const QVector<Stage> table = stages();
    if (stage < 0 || stage >= table.size())
        stage = 0;
    if (stage == 0) {
        errorText.clear();
        runOutputs.clear();
    }
    // Made and checked by each stage as it prepares its folders: what a stage
    // leaves behind may have been replaced since.
    workFolder = WorkFolderFor(filePath, jobNumber);
    // A resumed stage starts where the stage before it ended.
    progress = stage == 0 ? 0 : table.at(stage - 1).endProgress;

    const Stage &current = table.at(stage);
    const QString piece = QLatin1String(current.piece);
    switch (current.kind) {
    case StageKind::Cut:
        startSegment();
        break;
    case StageKind::Script:
        startScript();
        break;
    case StageKind::Join:
        startJoin(piece);
        break;
    case StageKind::Encode:
        startEncode(piece);
        break;
    }
}

void ScriptChainData::startSegment()
{
    segmentsFolder = workFolder + QStringLiteral("/segments");
    segmentCount = 0;
    if (!prepareFolders({segmentsFolder}, {}))
        return;
    startFFmpeg(
        {QStringLiteral("-i"), filePath, QStringLiteral("-vn"), QStringLiteral("-f"),
         QStringLiteral("segment"), QStringLiteral("-segment_time"), QString::number(SegmentTime(duration)),
         QStringLiteral("-acodec"), QStringLiteral("pcm_s16le"), QStringLiteral("-ac"), QStringLiteral("2"),
         QStringLiteral("-ar"), QStringLiteral("44100"), QStringLiteral("-threads"), QStringLiteral("1"),
         QStringLiteral("-y"), segmentsFolder + QStringLiteral("/segment%d.wav")});
}

void ScriptChainData::startScript()
{
    if (prepareFolders(scriptFolders(), {segmentsFolder}))
        startChild(PythonPath(), scriptArguments());
}

QString ScriptChainData::joinedPath(const QString &piece) const
{
    return workFolder + QStringLiteral("/temp/") + piece + QStringLiteral(".wav");
}

void ScriptChainData::startJoin(const QString &piece)
{
    if (!prepareFolders({}, {workFolder + QStringLiteral("/temp"), piecesFolder()}))
        return;
    const QString joined = joinedPath(piece);
    QFile::remove(joined);
    // In the job's own folder: jobs joining at the same moment never share a list.
    const QString list = workFolder + QStringLiteral("/join.txt");
    QStringList pieces;
    for (int n = 0; n < segmentCount; ++n)
        pieces << piecesFolder() + QLatin1Char('/') + pieceFileName(piece, n);
    if (!WriteJoinList(list, pieces)) {
        failStageLater(tr("The list of pieces to join could not be written."));
        return;
    }
    startFFmpeg({QStringLiteral("-f"), QStringLiteral("concat"), QStringLiteral("-safe"), QStringLiteral("0"),
                 QStringLiteral("-i"), list, QStringLiteral("-c"), QStringLiteral("copy"),
                 QStringLiteral("-threads"), QStringLiteral("1"), QStringLiteral("-y"), joined});
}

void ScriptChainData::startEncode(const QString &piece)
{
    if (!prepareFolders({}, {workFolder + QStringLiteral("/temp")}))
        return;
    // The encode keeps the joined file's length.
    MediaProbe::Facts joined;
    encodeDuration = MediaProbe::Read(joinedPath(piece), joined) ? joined.duration : 0;
    const QString output = openPart(OutputNameFor(filePath, QLatin1Char('-') + piece,
                                                  AudioOutputExtension(filePath), QStringLiteral("(")));
    if (output.isEmpty())
        return;
    // The joined pieces are 16-bit stereo at 44.1 kHz; the result follows
    // the input's own rate, channels and bitrate. Its tags and cover are not in them.
    SourceAudio source = sourceAudio();
    source.traits = AudioTraits();
    source.traits.lossless = traits.lossless;
    const OutputPlan plan =
        OutputPlan::For(output, source, outputOptions ? *outputOptions : OutputOptions::Load());
    outputNote = plan.note;
    startFFmpeg(QStringList{QStringLiteral("-i"), joinedPath(piece), QStringLiteral("-threads"),
                            QStringLiteral("1"), QStringLiteral("-y")} +
                plan.encode + QStringList{output});
}

// ---------------------------------------------------------------- output and stage ends

void ScriptChainData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    // Every line is read (and logged), also in the stages that do not count it.
    const QStringList lines = statusReader.takeLines(statusReader.readProcessText(process));
    const QVector<Stage> table = stages();
    if (stage < 0 || stage >= table.size() || table.at(stage).kind != StageKind::Script)
        return;
    for (const QString &line : lines) {
        if (ReadScriptLine(line, segmentCount, table.at(stage).endProgress, progress))
            emit updateProgress(this);
    }
}

void ScriptChainData::ffmpegProcess_Finished(int index)
{
    Q_UNUSED(index)
    if (stopped) {
        endStopped();
        return;
    }
    if (status() != Converting)
        return;
    const Stage current = stages().at(stage);
    if (current.kind == StageKind::Encode) {
        // The verdict of every job, and the part file published or removed.
        if (!settleRun(encodeDuration)) {
            if (!lastRunSkipped()) {
                failStage(errorText);
                return;
            }
            // A taken name skips this result; the job goes on with the next.
            outputPath.clear();
        }
        stageDone();
        return;
    }
    if (lastRunFailed()) {
        failStage();
        return;
    }
    switch (current.kind) {
    case StageKind::Cut:
        probeLastSegment();
        return;
    case StageKind::Script:
        break;
    case StageKind::Join: {
        MediaProbe::Facts joined;
        if (!MediaProbe::Read(joinedPath(QLatin1String(current.piece)), joined) || !joined.hasAudio) {
            failStage();
            return;
        }
        break;
    }
    case StageKind::Encode:
        break;
    }
    stageDone();
}

void ScriptChainData::probeLastSegment()
{
    const QFileInfoList entries =
        QDir(segmentsFolder)
            .entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Size | QDir::Reversed);
    segmentCount = entries.size();
    if (segmentCount == 0) {
        failStage(tr("No audio could be cut from the input."));
        return;
    }
    // A last piece under a second is dropped. The probe runs on its thread
    // and the chain goes on from its end, so nothing waits here: a stop or
    // the job's deletion meanwhile is met when the probe is back.
    probedSegment = lastSegment(entries);
    probe = new GetMediaInfoThread;
    probe->path = probedSegment;
    connect(probe, &QThread::finished, this, &ScriptChainData::lastSegmentProbed);
    probe->start();
}

void ScriptChainData::lastSegmentProbed()
{
    GetMediaInfoThread *thread = probe;
    probe = nullptr;
    if (!thread)
        return;
    VoiceData *record = thread->result;
    thread->result = nullptr;
    thread->deleteLater();
    // A segment the probe could not read is kept.
    const bool tooShort = record && record->hasAudio && record->duration < ShortestLastSegment;
    delete record;

    if (stopped) {
        endStopped();
        return;
    }
    if (tooShort && QFile::remove(probedSegment))
        --segmentCount;
    if (segmentCount <= 0) {
        failStage(tr("The input is shorter than one second."));
        return;
    }
    stageDone();
}

void ScriptChainData::stageDone()
{
    const QVector<Stage> table = stages();
    const Stage current = table.at(stage);
    if (current.kind == StageKind::Encode && !outputPath.isEmpty())
        runOutputs << outputPath;
    progress = current.endProgress;
    emit updateProgress(this);
    if (stage + 1 < table.size()) {
        ++stage;
        startConvert();
        return;
    }
    endChain(runOutputs.isEmpty() ? Skipped : Succeeded);
}

void ScriptChainData::failStage(const QString &reason)
{
    errorText = reason.isEmpty() ? childFailureReason() : reason;
    endChain(Failed);
}

void ScriptChainData::failStageLater(const QString &reason)
{
    // Never from inside startConvert: whoever started the job has not seen it
    // converting yet.
    const quint64 serial = stageSerial;
    QTimer::singleShot(0, this, [this, serial, reason] {
        if (serial != stageSerial || status() != Converting)
            return;
        if (stopped)
            endStopped();
        else
            failStage(reason);
    });
}

void ScriptChainData::endStopped()
{
    // The stop may have found no child running (between two children): the
    // run ends as the user asked all the same.
    if (status() == Converting)
        setStatus(Stopped);
    retryCount = 0;
    emit convertfinished(this);
}

void ScriptChainData::endChain(int finalStatus)
{
    removeWorkFolder();
    if (finalStatus != Succeeded) {
        for (const QString &out : qAsConst(runOutputs))
            QFile::remove(out);
        runOutputs.clear();
    }
    setStatus(finalStatus);
    retryCount = 0;
    stage = 0;
    emit convertfinished(this);
}

void ScriptChainData::removeWorkFolder()
{
    if (workFolder.isEmpty())
        return;
    // Only a work folder directly in the runtime folder is ever removed, with
    // the hidden scratch files a stopped script leaves.
    const QFileInfo info(workFolder);
    const QString temp = GetTempFolder();
    if (info.absolutePath() == temp && workFolderName().match(info.fileName()).hasMatch())
        PrivateTree::remove(workFolder, temp);
}
