// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/partfile.h"

#include <atomic>
#include <climits>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include "engine/namepattern.h"

namespace {
// Names tried before a folder counts as full of our names or of results.
constexpr int MaxAttempts = 100000;

// Part files of another machine sharing the folder are never judged by our pids.
QString hostTag()
{
    static const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(QSysInfo::machineHostName().toUtf8(), QCryptographicHash::Md5)
            .toHex()
            .left(8));
    return tag;
}

const QRegularExpression &partNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\.quillvane-([0-9a-f]{8})-(\\d+)-\\d+\\.part(\\..*)?$"));
    return pattern;
}

// The longest file name the folder's file system takes, in bytes.
int fileNameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < NAME_MAX ? int(limit) : NAME_MAX;
}

bool processRuns(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

int moveNoReplace(const QByteArray &from, const QByteArray &to, PartFile::Move move)
{
    if (move == PartFile::Move::Rename) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        // A file system without the flag: the next way.
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return -1;
        move = PartFile::Move::Link;
    }
    if (move == PartFile::Move::Link) {
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return 0;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
            return -1;
    }
    // No hard links either (FAT): the name is claimed exclusively, then the
    // result replaces the claim, which is ours and empty.
    const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    ::close(fd);
    if (::rename(from.constData(), to.constData()) == 0)
        return 0;
    const int error = errno;
    ::unlink(to.constData());
    errno = error;
    return -1;
}
} // namespace

QString OutputName::candidate(int n) const
{
    const QString mark = n < 0 ? QString() : collisionOpen + QString::number(n) + QLatin1Char(')');
    const QString toolTag = !pattern.isEmpty() && !optionTag.isEmpty() ? optionTag : tag;
    return folder + QLatin1Char('/') +
           NamePattern::Expand(pattern, {base, toolTag, extension, artist, title}, mark,
                               fileNameLimit(folder));
}

bool PartFile::create(const QString &folder, const QString &extension)
{
    discard();
    static std::atomic<quint64> serial{0};
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const QString path =
            folder +
            QStringLiteral("/.quillvane-%1-%2-%3.part").arg(hostTag()).arg(::getpid()).arg(++serial) + suffix;
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            partPath = path;
            return true;
        }
        // Left by an earlier process of the same pid: the next number.
        if (errno != EEXIST)
            return false;
    }
    return false;
}

QString PartFile::publish(const OutputName &name, Move move, bool *taken)
{
    if (taken)
        *taken = false;
    if (partPath.isEmpty())
        return QString();
    const QByteArray from = QFile::encodeName(partPath);
    for (int n = -1; n < (name.numbered ? MaxAttempts : 0); ++n) {
        const QString target = name.candidate(n);
        if (moveNoReplace(from, QFile::encodeName(target), move) == 0) {
            partPath.clear();
            return target;
        }
        if (errno != EEXIST)
            break;
        if (taken && !name.numbered)
            *taken = true;
    }
    discard();
    return QString();
}

bool PartFile::NameTaken(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 || errno != ENOENT;
}

QString PartFile::MakeFolder(const QString &root, const QString &relative)
{
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
    }
    // The root is the user's chosen folder (a link there is theirs); below it
    // every step is a real folder opened without following a link.
    int folder = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString &part : parts) {
        if (folder < 0)
            return QString();
        const QByteArray name = QFile::encodeName(part);
        if (::mkdirat(folder, name.constData(), 0777) != 0 && errno != EEXIST) {
            ::close(folder);
            return QString();
        }
        const int next = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = next;
    }
    if (folder < 0)
        return QString();
    ::close(folder);
    return root + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

void PartFile::discard()
{
    if (partPath.isEmpty())
        return;
    ::unlink(QFile::encodeName(partPath).constData());
    partPath.clear();
}

bool PartFile::ParsePartName(const QString &fileName, QString *host, qint64 *pid)
{
    const QRegularExpressionMatch match = partNamePattern().match(fileName);
    if (!match.hasMatch())
        return false;
    if (host)
        *host = match.captured(1);
    if (pid)
        *pid = match.captured(2).toLongLong();
    return true;
}

int PartFile::RemoveStale(const QString &folder)
{
    int removed = 0;
    const QStringList names = QDir(folder).entryList({QStringLiteral(".quillvane-*.part*")},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        QString host;
        qint64 pid = 0;
        if (!ParsePartName(name, &host, &pid) || host != hostTag() || pid <= 0 || processRuns(pid))
            continue;
        // Only a regular file of ours: never a link, never another user's file.
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        struct stat info = {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid())
            continue;
        if (::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}
