#include "support/testsupport.h"

#include <QFile>
#include <QProcess>

#include "app/globals.h"
#include "common/qcommonutils.h"

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

} // namespace TestSupport
