// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/voicedata.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QSet>
#include <QTimer>

#include "common/globals.h"
#include "engine/jobhelpers.h"
#include "engine/runverdict.h"
#include "platform/processtable.h"

namespace {
// How long a job being destroyed waits for its killed child to be reaped.
constexpr int ChildEndWaitMs = 500;
// Readings of the process table while halting a tree; each can only add
// children started by processes that were still running at the previous one.
constexpr int MaxFreezeRounds = 10;
} // namespace

VoiceData::VoiceData() : QObject(nullptr)
{
    static const int metaTypeId = qRegisterMetaType<VoiceData *>("VoiceData*");
    Q_UNUSED(metaTypeId)

    // Parented so that it follows the job to another thread (probe records are
    // made on the probe thread); as a member it is gone before ~QObject looks
    // at the children.
    process.setParent(this);
    process.setProcessEnvironment(ChildProcessEnvironment());
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &VoiceData::processFinished);
    connect(&process, &QProcess::readyReadStandardOutput, this,
            &VoiceData::ffmpegProcess_StandardOutput_slots);
    connect(&process, &QProcess::errorOccurred, this, &VoiceData::processError);
}

VoiceData::~VoiceData()
{
    // The child's end must not reach the slots of a job being destroyed.
    disconnect(&process, nullptr, this, nullptr);
    // A job deleted while converting (its panel was left) takes its whole
    // tree along, as a stop would.
    if (workerTicket != 0)
        WorkerPool::instance().cancel(workerTicket);
    if (process.state() != QProcess::NotRunning) {
        killProcessTree();
        // Killed, so this is only the reaping; the process object would
        // otherwise wait for it unbounded.
        process.waitForFinished(ChildEndWaitMs);
    }
    part.discard();
}

void VoiceData::copyProbeFacts(const VoiceData &record)
{
    fileName = record.fileName;
    filePath = record.filePath;
    fileSize = record.fileSize;
    duration = record.duration;
    hasAudio = record.hasAudio;
    sampleRate = record.sampleRate;
    channels = record.channels;
    bitRate = record.bitRate;
    codecName = record.codecName;
    streamInfo = record.streamInfo;
    traits = record.traits;
    selected = record.selected;
    subFolder = record.subFolder;
}

void VoiceData::setStatus(int value)
{
    if (state == value)
        return;
    state = value;
    emit statusChanged(this);
}

void VoiceData::startConvert()
{
    setStatus(Converting);
}

void VoiceData::stopConvert()
{
    stopped = true;
    if (workerTicket != 0) {
        setStatus(Stopped);
        // The converter may still write for a moment; the file is gone now
        // and it cannot make it again. Its end follows the cancel.
        part.discard();
        WorkerPool::instance().cancel(workerTicket);
        return;
    }
    if (process.state() == QProcess::NotRunning)
        return;
    setStatus(Stopped);
    // The child's end delivers finished() a moment later, which with
    // `stopped` set only reports the stop.
    killProcessTree();
}

QStringList VoiceData::getChildProcessList()
{
    QStringList tree;
    const qint64 pid = process.processId();
    if (pid < 2)
        return tree;
    QStringList pids;
    QStringList parentPids;
    getAllProcessList(pids, parentPids);
    if (pids.size() != parentPids.size())
        return tree;
    const QString root = QString::number(pid);
    tree << root << ProcessTable::descendants(root, pids, parentPids);
    return tree;
}

void VoiceData::getAllProcessList(QStringList &pids, QStringList &parentPids)
{
    ProcessTable::system().read(pids, parentPids);
}

void VoiceData::ffmpegProcess_StandardOutput_slots()
{
    if (stopped)
        return;
    readProgress(static_cast<double>(duration));
}

void VoiceData::ffmpegProcess_Finished(int index)
{
    Q_UNUSED(index)
    if (!stopped) {
        if (settleRun(expectedDuration())) {
            setStatus(Succeeded);
        } else if (runSkipped) {
            setStatus(Skipped);
        } else if (retryCount < maxRetries()) {
            ++retryCount;
            startConvert();
            return;
        } else {
            setStatus(Failed);
        }
    } else if (status() == Converting) {
        // The stop found no running child: its start had failed and the news
        // was still on its way. The run ends as the user asked.
        setStatus(Stopped);
    }
    retryCount = 0;
    emit convertfinished(this);
}

QString VoiceData::beginRun(const OutputName &name)
{
    errorText.clear();
    progress = 0;
    runClock.start();
    stopped = false;
    return openPart(name);
}

QString VoiceData::openPart(const OutputName &name)
{
    startFailure.clear();
    runSkipped = false;
    const OutputOptions choice = choices();
    partName = name;
    partName.pattern = choice.namePattern;
    partName.artist = traits.artist;
    partName.title = traits.title;
    partName.numbered = !choice.skipTaken;
    QString reason = tr("The output folder cannot be written.");
    if (choice.keepTree && !subFolder.isEmpty()) {
        partName.folder = PartFile::MakeFolder(name.folder, subFolder);
        if (partName.folder.isEmpty())
            reason = tr("The folder %1 cannot be made in the output folder.").arg(subFolder);
    }
    const QString plain = partName.candidate(-1);
    if (!partName.folder.isEmpty() && !partName.numbered && PartFile::NameTaken(plain)) {
        runSkipped = true;
        reason = tr("Skipped: %1 exists.").arg(QFileInfo(plain).fileName());
    } else if (!partName.folder.isEmpty() && part.create(partName.folder, name.extension)) {
        outputPath = part.path();
        return outputPath;
    }
    outputPath.clear();
    // No child of this run can be heard from now: notices of an earlier one are stale.
    ++runSerial;
    endUnstartedRun(reason);
    return QString();
}

bool VoiceData::settleRun(qint64 promised)
{
    QString reason = startFailure.isEmpty()
                         ? RunVerdict::Judge(part.path(), promised, statusReader, runStarted, runFailed)
                         : startFailure;
    if (reason.isEmpty()) {
        bool taken = false;
        const QString published = part.publish(partName, PartFile::Move::Rename, &taken);
        if (!published.isEmpty()) {
            outputPath = published;
            return true;
        }
        runSkipped = taken;
        reason = taken ? tr("Skipped: %1 exists.").arg(QFileInfo(partName.candidate(-1)).fileName())
                       : tr("The result could not be given its name in the output folder.");
    }
    part.discard();
    errorText = reason;
    return false;
}

QString VoiceData::childFailureReason() const
{
    if (!startFailure.isEmpty())
        return startFailure;
    return RunVerdict::Judge(QString(), 0, statusReader, runStarted, true);
}

OutputOptions VoiceData::choices() const
{
    return outputOptions ? *outputOptions : OutputOptions::Load();
}

QStringList VoiceData::results() const
{
    return status() == Succeeded && !outputPath.isEmpty() ? QStringList{outputPath} : QStringList();
}

SourceAudio VoiceData::sourceAudio() const
{
    return {sampleRate, channels, bitRate, traits};
}

OutputPlan VoiceData::planOutput(const QString &output)
{
    const OutputOptions choice = choices();
    coverFile.reset();
    QString coverPath;
    const OutputFamily family = OutputOptions::FamilyOf(QFileInfo(output).suffix());
    if (traits.coverStream >= 0 && (family == OutputFamily::Opus || family == OutputFamily::Vorbis)) {
        const QByteArray metadata = OutputPlan::CoverMetadata(filePath, traits.coverStream);
        const QString temp = GetTempFolder();
        if (!metadata.isEmpty() && !temp.isEmpty()) {
            coverFile.reset(new QTemporaryFile(temp + QStringLiteral("/cover-XXXXXX.txt")));
            if (coverFile->open() && coverFile->write(metadata) == metadata.size() && coverFile->flush())
                coverPath = coverFile->fileName();
            coverFile->close();
        }
    }
    const OutputPlan plan = OutputPlan::For(output, sourceAudio(), choice, coverPath);
    outputNote = plan.note;
    return plan;
}

void VoiceData::startChild(const QString &program, const QStringList &arguments)
{
    stopped = false;
    if (process.state() != QProcess::NotRunning) {
        // The previous child still runs; QProcess would refuse anyway.
        qDebug("%s", "A job's child is still running; the new start is ignored");
        return;
    }
    resetRun();
    StartChildProcess(process, program, arguments);
}

void VoiceData::resetRun()
{
    runFailed = false;
    runStarted = true;
    treeKilled = false;
    startFailure.clear();
    ++runSerial;
    statusReader.reset();
    workerText.clear();
}

void VoiceData::startFFmpeg(const QStringList &arguments)
{
    startChild(GetFFmpegPath(), arguments);
}

void VoiceData::startEncode(const EncodePlan &plan)
{
    WorkerPool &pool = WorkerPool::instance();
    if (!pool.available() || !plan.workerCovers()) {
        runOnChild(plan);
        return;
    }
    stopped = false;
    resetRun();
    workerPlan = plan;
    workerPass = 0;
    // What the probe found spares the converter its own search of the input,
    // while the file is still the one probed.
    if (plan.input == filePath && QFileInfo(filePath).size() == fileSize)
        workerPlan.inputCodec = codecName;
    PrintCommandArgs(
        QStringList{QStringLiteral("[converter]")} + plan.arguments() +
        (plan.reverse.raw.isEmpty() ? QStringList() : QStringList{QStringLiteral("[reversed]")}));
    const quint64 serial = runSerial;
    workerTicket = pool.submit(workerPlan, this, [this, serial](const WorkerPool::Event &event) {
        if (serial == runSerial)
            workerEvent(event);
    });
}

void VoiceData::runOnChild(const EncodePlan &plan)
{
    startFFmpeg(plan.arguments());
}

QString VoiceData::readRunText()
{
    if (workerText.isEmpty() && process.isOpen())
        return statusReader.readProcessText(process);
    QString text;
    text.swap(workerText);
    return text;
}

void VoiceData::workerEvent(const WorkerPool::Event &event)
{
    if (!event.end) {
        workerPass = event.pass;
        const qint64 centis = event.time / 10000;
        workerText += QStringLiteral("size=N/A time=%1:%2:%3.%4 bitrate=N/A\n")
                          .arg(centis / 360000, 2, 10, QLatin1Char('0'))
                          .arg(centis / 6000 % 60, 2, 10, QLatin1Char('0'))
                          .arg(centis / 100 % 60, 2, 10, QLatin1Char('0'))
                          .arg(centis % 100, 2, 10, QLatin1Char('0'));
        ffmpegProcess_StandardOutput_slots();
        return;
    }
    workerTicket = 0;
    if (event.outcome == QLatin1String("unsupported") && !stopped) {
        // Something the converter does not take: the child does it as ever.
        runOnChild(workerPlan);
        return;
    }
    runFailed = event.outcome != QLatin1String("done");
    if (runFailed && !stopped)
        startFailure = event.reason.isEmpty() ? tr("No usable output was written.")
                                              : StatusLineReader::PlainWords(event.reason);
    workerText += event.log;
    if (stopped)
        part.discard();
    else
        ffmpegProcess_StandardOutput_slots();
    ffmpegProcess_Finished(runFailed ? -1 : 0);
}

void VoiceData::readProgress(double referenceDuration)
{
    const QList<qint64> times = statusReader.takeTimes(readRunText());
    for (qint64 time : times) {
        if (AdvanceProgress(time, referenceDuration, progress))
            emit updateProgress(this);
    }
}

void VoiceData::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    runFailed = exitStatus != QProcess::NormalExit || exitCode != 0;
    // The child is gone: a stopped run's unfinished file goes with it. The
    // verdict reads the child's last words (a failed trailer comes last).
    if (stopped)
        part.discard();
    else
        ffmpegProcess_StandardOutput_slots();
    ffmpegProcess_Finished(exitCode);
}

void VoiceData::processError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return;
    // No finished() follows a failed start, so the run is ended here as if
    // the child had ended.
    endUnstartedRun(tr("The converter could not be started."));
}

void VoiceData::endUnstartedRun(const QString &reason)
{
    // Queued: the notice may come from inside start(), and the verdict may
    // start the child again.
    const quint64 serial = runSerial;
    QTimer::singleShot(0, this, [this, serial, reason] {
        if (serial != runSerial)
            return;
        runFailed = true;
        runStarted = false;
        startFailure = reason;
        if (stopped)
            part.discard();
        ffmpegProcess_Finished(-1);
    });
}

QList<qint64> VoiceData::haltProcessTree(qint64 root)
{
    const ProcessTable &table = ProcessTable::system();
    QList<qint64> halted;
    QSet<qint64> known;
    // Each process is halted before its children are read, so it can add none
    // later; a fork already under way shows in the next round, which repeats
    // until a round finds nothing new.
    for (int round = 0; round < MaxFreezeRounds; ++round) {
        bool grew = false;
        QList<qint64> queue{root};
        QSet<qint64> queued{root};
        for (int i = 0; i < queue.size(); ++i) {
            const qint64 pid = queue.at(i);
            if (!known.contains(pid)) {
                known.insert(pid);
                halted.append(pid);
                table.suspend(pid);
                grew = true;
            }
            for (qint64 child : table.children(pid)) {
                if (!queued.contains(child)) {
                    queued.insert(child);
                    queue.append(child);
                }
            }
        }
        if (!grew)
            break;
    }
    return halted;
}

void VoiceData::killProcessTree()
{
    const qint64 pid = process.processId();
    if (treeKilled || pid < 2)
        return;
    treeKilled = true;
    KillProcessTree(pid);
}

void VoiceData::KillProcessTree(qint64 root)
{
    // Halt the whole tree, then kill every halted process directly: none can
    // start another or slip away to init meanwhile, and SIGKILL ends a halted
    // process too, so nothing is left stopped. Nothing here waits: the
    // child's end arrives as finished() through the event loop.
    const QList<qint64> tree = haltProcessTree(root);
    const ProcessTable &table = ProcessTable::system();
    for (int i = 0; i < tree.size(); ++i) {
        qDebug("childlist(%d): %lld", i, tree.at(i));
        table.kill(tree.at(i));
    }
    qDebug("Current ppid %ld", static_cast<long>(root));
}
