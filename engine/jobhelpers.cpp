// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/jobhelpers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include "common/globals.h"
#include "common/qcommonutils.h"

QString GetTimeString(const QString &line)
{
    // The dot of the first alternative is a wildcard on purpose: it also takes
    // "00:00:01,50" and any other fraction separator.
    static const QRegularExpression pattern(
        QStringLiteral("(time\\s*=\\s*\\d+:\\d+:\\d+.\\d+)|(time\\s*=\\s*\\d+:\\d+:\\d+,\\d+)|(time\\s*=\\s*"
                       "\\d+:\\d+:\\d+)"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch() || match.capturedLength() < 4)
        return QString();
    QString text = match.captured();
    text.remove(QStringLiteral("time"));
    text.remove(QLatin1Char('='));
    return text.trimmed();
}

qint64 StatusLineTime(const QString &line)
{
    const QString text = GetTimeString(line);
    if (text.size() < 6)
        return 0;
    return QCommonUtils::StringToTime(text);
}

void PrintCommandArgs(const QStringList &args)
{
    qDebug("%s", qPrintable(args.join(QLatin1Char(' '))));
}

void StartChildProcess(QProcess &process, const QString &program, const QStringList &arguments)
{
    PrintCommandArgs(arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(g_appDir);
    process.setProcessEnvironment(ChildProcessEnvironment());
    process.start(program, arguments, QIODevice::ReadWrite);
}

QString RegularInputFile(const QString &path)
{
    // realpath(3): no link is left in what it returns, so lstat sees the file itself.
    const QString resolved = QFileInfo(path).canonicalFilePath();
    struct stat info;
    if (resolved.isEmpty() || ::lstat(QFile::encodeName(resolved).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return QString();
    return resolved;
}

QString OutputBaseName(const QString &inputPath)
{
    const QFileInfo info(inputPath);
    QString base = info.fileName();
    const QString suffix = info.suffix();
    // Without a suffix there is nothing to strip; "." alone would take every dot.
    if (!suffix.isEmpty())
        base.remove(QLatin1Char('.') + suffix, Qt::CaseSensitive);
    return base;
}

OutputName OutputNameFor(const QString &inputPath, const QString &nameTag, const QString &extension,
                         const QString &collisionOpen)
{
    OutputName name;
    name.folder = OutputFolder();
    name.base = OutputBaseName(inputPath);
    name.tag = nameTag;
    name.extension = extension;
    name.collisionOpen = collisionOpen;
    return name;
}

QString AudioOutputExtension(const QString &inputPath)
{
    static const QStringList unwritable{QStringLiteral("dv"),  QStringLiteral("mod"), QStringLiteral("tod"),
                                        QStringLiteral("td"),  QStringLiteral("trp"), QStringLiteral("rmvb"),
                                        QStringLiteral("ape"), QStringLiteral("iff")};
    const QString suffix = QFileInfo(inputPath).suffix();
    if (suffix.isEmpty() || unwritable.contains(suffix, Qt::CaseInsensitive))
        return QStringLiteral("mp3");
    return suffix;
}

bool AdvanceProgress(qint64 time, double referenceDuration, int &progress)
{
    if (time <= 0 || !(referenceDuration > 0.0))
        return false;
    const double share = qMin(double(time) * 10000.0 / referenceDuration, double(RunningProgressLimit));
    if (share > progress)
        progress = static_cast<int>(share);
    return true;
}

QStringList CutCodecArguments(const QString &outputPath)
{
    if (QFileInfo(outputPath).suffix().compare(QLatin1String("flac"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("-acodec"), QStringLiteral("flac")};
    return {QStringLiteral("-acodec"), QStringLiteral("copy")};
}

namespace {
// CRC-16/ARC, as the LAME tag checks its frame.
quint16 lameCrc(const char *data, int size)
{
    quint16 crc = 0;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}
} // namespace

bool ClearMp3CutDelay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray head = file.read(64 * 1024);
    const auto byte = [&head](int i) {
        return quint8(head.at(i));
    };
    int frame = 0;
    if (head.startsWith("ID3") && head.size() >= 10)
        frame = 10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9)) + ((byte(5) & 0x10) ? 10 : 0);
    while (frame + 4 <= head.size() && !(byte(frame) == 0xFF && (byte(frame + 1) & 0xE0) == 0xE0))
        ++frame;
    if (frame + 4 > head.size())
        return false;
    // The Xing or Info tag follows the side information of the first frame.
    const bool mpeg1 = (byte(frame + 1) & 0x18) == 0x18;
    const bool mono = (byte(frame + 3) & 0xC0) == 0xC0;
    const int tag = frame + 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (tag + 8 > head.size() || (head.mid(tag, 4) != "Xing" && head.mid(tag, 4) != "Info"))
        return false;
    const int flags = byte(tag + 7);
    const int lame = tag + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) +
                     ((flags & 8) ? 4 : 0);
    if (lame + 36 > head.size())
        return false;
    // Twelve bits of delay, then twelve of padding, 21 bytes into the LAME tag.
    head[lame + 21] = 0;
    head[lame + 22] = char(byte(lame + 22) & 0x0F);
    const quint16 crc = lameCrc(head.constData() + frame, lame + 34 - frame);
    head[lame + 34] = char(crc >> 8);
    head[lame + 35] = char(crc & 0xFF);
    return file.seek(lame + 21) && file.write(head.mid(lame + 21, 15)) == 15;
}
