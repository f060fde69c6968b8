#include "support/testsupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QDir>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QtMath>
#include <QTest>

#include "app/globals.h"
#include "common/qcommonutils.h"
#include "engine/getmediainfothread.h"
#include "engine/voicedata.h"

namespace TestSupport {

void useBuildAppDir()
{
    g_appDir = QStringLiteral(QUILLVANE_TEST_APP_DIR);
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
}

bool runFfmpeg(const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/bin/ffmpeg"), QStringList{QStringLiteral("-hide_banner")} + arguments);
    if (!process.waitForFinished(60000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool makeTone(const QString &path, double seconds, int frequency, int sampleRate, int channels,
              const QStringList &extraOutputArgs)
{
    QStringList args{QStringLiteral("-y"),
                     QStringLiteral("-f"),
                     QStringLiteral("lavfi"),
                     QStringLiteral("-i"),
                     QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3")
                         .arg(frequency)
                         .arg(sampleRate)
                         .arg(seconds),
                     QStringLiteral("-ac"),
                     QString::number(channels)};
    args << extraOutputArgs << path;
    return runFfmpeg(args);
}

double toneFrequency(const QString &path, double start, double length)
{
    constexpr int rate = 44100;
    QProcess process;
    process.start(QStringLiteral("/usr/bin/ffmpeg"),
                  {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-ss"), QString::number(start), QStringLiteral("-t"),
                   QString::number(length), QStringLiteral("-i"), path, QStringLiteral("-f"),
                   QStringLiteral("s16le"), QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-ar"),
                   QString::number(rate), QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return 0.0;
    const QByteArray pcm = process.readAllStandardOutput();
    const int samples = pcm.size() / 2;
    if (samples < 2)
        return 0.0;
    const auto sample = [&pcm](int i) {
        return qint16(quint8(pcm.at(2 * i)) | (quint8(pcm.at(2 * i + 1)) << 8));
    };
    int rising = 0;
    for (int i = 1; i < samples; ++i)
        rising += sample(i - 1) < 0 && sample(i) >= 0 ? 1 : 0;
    return rising * double(rate) / samples;
}

bool writeExecutable(const QString &path, const QString &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(content.toUtf8());
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                               QFile::ExeGroup);
}

bool writeFileOfSize(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(QByteArray(int(size), 'x')) == size;
}

bool writeStandInFfmpeg(const QString &dir, const QString &body)
{
    return writeExecutable(dir + QStringLiteral("/ffmpeg"),
                           QStringLiteral("#!/bin/sh\nfor out; do :; done\n") + body + QLatin1Char('\n'));
}

QList<qint64> livingProcessesWithEnvironment(const QString &name, const QString &value)
{
    const QByteArray wanted = (name + QLatin1Char('=') + value).toLocal8Bit();
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray statText = stat.readAll();
        const int nameEnd = statText.lastIndexOf(')');
        // The state follows the name: Z (zombie) and X (dead) have ended.
        const char state = nameEnd >= 0 && nameEnd + 2 < statText.size() ? statText.at(nameEnd + 2) : 'X';
        if (state == 'Z' || state == 'X')
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!environ.open(QIODevice::ReadOnly))
            continue;
        if (environ.readAll().split('\0').contains(wanted))
            found.append(pid);
    }
    return found;
}

} // namespace TestSupport

namespace TestSupport {

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
                return job->status == VoiceData::Waiting || job->status == VoiceData::Converting;
            });
        },
        timeoutMs);
}

QVector<qint16> decodeMono(const QString &path, int sampleRate)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("/usr/bin/ffmpeg"),
                  {QStringLiteral("-hide_banner"), QStringLiteral("-i"), path, QStringLiteral("-ac"),
                   QStringLiteral("1"), QStringLiteral("-ar"), QString::number(sampleRate),
                   QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QByteArray bytes = process.readAllStandardOutput();
    QVector<qint16> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 2);
    return samples;
}

double toneFrequency(const QVector<qint16> &samples, int sampleRate, int first, int count)
{
    const int end = count < 0 ? samples.size() : qMin(samples.size(), first + count);
    int crossings = 0;
    for (int i = first + 1; i < end; ++i) {
        if ((samples.at(i - 1) < 0) != (samples.at(i) < 0))
            ++crossings;
    }
    const int span = end - first;
    return span > 0 ? crossings / 2.0 * sampleRate / span : 0.0;
}

double levelDb(const QVector<qint16> &samples)
{
    if (samples.isEmpty())
        return -200.0;
    double sum = 0.0;
    for (qint16 sample : samples)
        sum += double(sample) * double(sample);
    const double rms = qSqrt(sum / samples.size()) / 32768.0;
    return rms > 0.0 ? 20.0 * std::log10(rms) : -200.0;
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result().toHex();
}

bool makeStereoScene(const QString &path, double seconds)
{
    const QString length = QString::number(seconds);
    auto sine = [&length](int frequency) {
        return QStringLiteral("sine=frequency=%1:duration=%2").arg(frequency).arg(length);
    };
    return runFfmpeg(
        {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), sine(330),
         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), sine(880), QStringLiteral("-f"),
         QStringLiteral("lavfi"), QStringLiteral("-i"), sine(1320), QStringLiteral("-filter_complex"),
         QStringLiteral("[0][1][2]amerge=inputs=3,pan=stereo|c0=0.5*c0+0.5*c1|c1=0.5*c0+0.5*c2"), path});
}

double mediaSeconds(const QString &path)
{
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 QStringLiteral("format=duration"), QStringLiteral("-of"),
                 QStringLiteral("default=nw=1:nk=1"), path});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return -1.0;
    bool ok = false;
    const double seconds = QString::fromLatin1(probe.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? seconds : -1.0;
}

} // namespace TestSupport
