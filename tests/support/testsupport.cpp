// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "support/testsupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "common/globals.h"
#include "common/qcommonutils.h"
#include "engine/getmediainfothread.h"
#include "engine/voicedata.h"

namespace TestSupport {

void useBuildAppDir()
{
    g_appDir = QStringLiteral(QUILLVANE_TEST_APP_DIR);
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
}

bool runFfmpeg(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("/usr/bin/ffmpeg", QStringList{"-hide_banner"} + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool makeTone(const QString &path, double seconds, int frequency, int sampleRate, int channels,
              const QStringList &extraOutputArgs)
{
    const QString sine =
        QString("sine=frequency=%1:sample_rate=%2:duration=%3").arg(frequency).arg(sampleRate);
    return runFfmpeg(
        QStringList{"-y", "-f", "lavfi", "-i", sine.arg(seconds), "-ac", QString::number(channels)} +
        extraOutputArgs + QStringList{path});
}

bool makeStretches(const QString &path, const QList<QPair<double, double>> &stretches)
{
    QString expression;
    double at = 0;
    for (const auto &stretch : stretches) {
        expression += QString("%1*between(t,%2,%3)+").arg(stretch.second).arg(at).arg(at + stretch.first);
        at += stretch.first;
    }
    expression = QString("(%1 0)*sin(2*PI*440*t)").arg(expression);
    return runFfmpeg(
        {"-y", "-f", "lavfi", "-i", QString("aevalsrc='%1':s=44100:d=%2").arg(expression).arg(at), path});
}

bool writeExecutable(const QString &path, const QString &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content.toUtf8()) >= 0 &&
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                               QFile::ExeGroup);
}

bool writeFileOfSize(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(QByteArray(int(size), 'x')) == size;
}

bool writeStandInFfmpeg(const QString &dir, const QString &body)
{
    return writeExecutable(dir + "/ffmpeg", "#!/bin/sh\nfor out; do :; done\n" + body + '\n');
}

NoFfmpegOnPath::NoFfmpegOnPath() : saved(qgetenv("PATH"))
{
    QStringList kept;
    for (const QString &folder : QString::fromLocal8Bit(saved).split(':')) {
        if (!QFileInfo::exists(folder + "/ffmpeg"))
            kept << folder;
    }
    qputenv("PATH", kept.join(':').toLocal8Bit());
}

NoFfmpegOnPath::~NoFfmpegOnPath()
{
    qputenv("PATH", saved);
}

QByteArray runShell(const QString &lines, const QStringList &variables)
{
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &variable : variables)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    shell.setProcessEnvironment(environment);
    shell.start("/bin/sh", {"-ec", lines});
    if (!shell.waitForFinished(60000) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0)
        return QByteArray();
    return shell.readAllStandardOutput().append('\n');
}

QList<qint64> livingProcessesWithEnvironment(const QString &name, const QString &value)
{
    const QByteArray wanted = (name + '=' + value).toLocal8Bit();
    QList<qint64> found;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        QFile stat(QString("/proc/%1/stat").arg(pid));
        if (!ok || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray statText = stat.readAll();
        const int nameEnd = statText.lastIndexOf(')');
        // The state follows the name: Z (zombie) and X (dead) have ended.
        const char state = nameEnd >= 0 && nameEnd + 2 < statText.size() ? statText.at(nameEnd + 2) : 'X';
        QFile environ(QString("/proc/%1/environ").arg(pid));
        if (state != 'Z' && state != 'X' && environ.open(QIODevice::ReadOnly) &&
            environ.readAll().split('\0').contains(wanted))
            found.append(pid);
    }
    return found;
}

bool probeFile(const QString &path, VoiceData &record)
{
    GetMediaInfoThread probe;
    probe.path = path;
    probe.start();
    probe.wait();
    if (!probe.result)
        return false;
    record.copyProbeFacts(*probe.result);
    delete probe.result;
    return true;
}

bool waitForJobsToEnd(const QList<VoiceData *> &jobs, int timeoutMs)
{
    return QTest::qWaitFor(
        [&jobs] {
            return std::none_of(jobs.cbegin(), jobs.cend(), [](const VoiceData *job) {
                return job->status() == VoiceData::Waiting || job->status() == VoiceData::Converting;
            });
        },
        timeoutMs);
}

namespace {
template<class Sample>
QVector<Sample> decode(const QString &path, const QStringList &conversion, const char *format)
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start("/usr/bin/ffmpeg",
                  QStringList{"-hide_banner", "-i", path} + conversion + QStringList{"-f", format, "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QByteArray bytes = process.readAllStandardOutput();
    QVector<Sample> samples(bytes.size() / int(sizeof(Sample)));
    memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * sizeof(Sample));
    return samples;
}
} // namespace

QVector<qint16> decodeMono(const QString &path, int sampleRate)
{
    return decode<qint16>(path, {"-ac", "1", "-ar", QString::number(sampleRate)}, "s16le");
}

QVector<qint32> decodeSamples(const QString &path)
{
    return decode<qint32>(path, {}, "s32le");
}

double toneFrequency(const QVector<qint16> &samples, int sampleRate, int first, int count)
{
    const int end = count < 0 ? samples.size() : qMin(samples.size(), first + count);
    int crossings = 0;
    for (int i = first + 1; i < end; ++i)
        crossings += (samples.at(i - 1) < 0) != (samples.at(i) < 0) ? 1 : 0;
    return end > first ? crossings / 2.0 * sampleRate / (end - first) : 0.0;
}

double levelDb(const QVector<qint16> &samples)
{
    double sum = 0.0;
    for (qint16 sample : samples)
        sum += double(sample) * double(sample);
    const double rms = samples.isEmpty() ? 0.0 : std::sqrt(sum / samples.size()) / 32768.0;
    return rms > 0.0 ? 20.0 * std::log10(rms) : -200.0;
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

namespace {
// Reaches the job's own setter, which only the job and its queue call.
struct StateAccess : VoiceData
{
    static void set(VoiceData *job, int state) { (job->*(&StateAccess::setStatus))(state); }
};
} // namespace

void setJobState(VoiceData *job, int state)
{
    StateAccess::set(job, state);
}

} // namespace TestSupport
