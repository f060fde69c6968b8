#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>

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

bool runFfmpeg(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/bin/ffmpeg"), QStringList{QStringLiteral("-hide_banner")} + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool makeTone(const QString &path, double seconds, int frequency)
{
    return runFfmpeg(
        {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
         QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(frequency).arg(seconds),
         QStringLiteral("-ac"), QStringLiteral("2"), path});
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

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result().toHex();
}

} // namespace TestSupport
