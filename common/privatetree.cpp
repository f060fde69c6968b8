// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/privatetree.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArrayList>
#include <QDir>
#include <QFile>

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Deeper than any work folder goes; bounds the descriptors a walk holds.
constexpr int MaxDepth = 64;

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    void reset(int next)
    {
        if (fd >= 0)
            ::close(fd);
        fd = next;
    }
    int fd;
};

// The names from `within` down to `path`; empty unless `path` lies strictly below.
QByteArrayList componentsBelow(const QString &path, const QString &within)
{
    const QString base = QDir::cleanPath(within);
    const QString full = QDir::cleanPath(path);
    if (!QDir::isAbsolutePath(full) || !full.startsWith(base + QLatin1Char('/')))
        return {};
    const QByteArrayList parts = QFile::encodeName(full.mid(base.size() + 1)).split('/');
    for (const QByteArray &part : parts) {
        if (part.isEmpty() || part == "." || part == "..")
            return {};
    }
    return parts;
}

bool ours(int fd, dev_t device)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 && info.st_dev == device;
}

// Opens `within` and then each of `parts`, making the missing ones when
// `create`; every step must be a folder of ours on the same file system.
// Sets `device` to that file system's. -1 on failure, with errno ENOENT when
// a part does not exist.
int descend(const QString &within, const QByteArrayList &parts, bool create, dev_t &device)
{
    Descriptor fd(::open(QFile::encodeName(within).constData(), FolderFlags));
    struct stat info;
    if (fd.fd < 0 || ::fstat(fd.fd, &info) != 0 || !ours(fd.fd, info.st_dev)) {
        errno = EPERM;
        return -1;
    }
    device = info.st_dev;
    for (const QByteArray &part : parts) {
        if (create)
            ::mkdirat(fd.fd, part.constData(), 0700);
        const int next = ::openat(fd.fd, part.constData(), FolderFlags);
        const int error = errno;
        fd.reset(next);
        if (next < 0) {
            errno = error;
            return -1;
        }
        if (!ours(fd.fd, device)) {
            errno = EPERM;
            return -1;
        }
    }
    const int result = fd.fd;
    fd.fd = -1;
    return result;
}

bool removeEntry(int parent, const QByteArray &name, const struct stat &info, dev_t device, bool recursive,
                 int depth);

// Removes the entries of the open folder `folder`; sub-folders only when `recursive`.
bool removeContents(int folder, dev_t device, bool recursive, int depth)
{
    // The names first: the folder is not changed while it is read.
    QByteArrayList names;
    const int listing = ::dup(folder);
    DIR *dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return false;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);

    bool all = true;
    for (const QByteArray &name : qAsConst(names)) {
        struct stat info;
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            all = all && errno == ENOENT;
            continue;
        }
        if (S_ISDIR(info.st_mode) && !recursive) {
            all = false;
            continue;
        }
        all = removeEntry(folder, name, info, device, true, depth + 1) && all;
    }
    return all;
}

bool removeEntry(int parent, const QByteArray &name, const struct stat &info, dev_t device, bool recursive,
                 int depth)
{
    // A file, and a link as itself: unlinkat never follows the last name.
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(parent, name.constData(), 0) == 0 || errno == ENOENT;
    if (info.st_dev != device || depth > MaxDepth)
        return false;
    Descriptor fd(::openat(parent, name.constData(), FolderFlags));
    struct stat opened;
    // What was looked at must be what got opened: a folder swapped in between stays.
    if (fd.fd < 0 || ::fstat(fd.fd, &opened) != 0 || opened.st_dev != info.st_dev ||
        opened.st_ino != info.st_ino)
        return false;
    if (!removeContents(fd.fd, device, recursive, depth))
        return false;
    return ::unlinkat(parent, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

} // namespace

bool PrivateTree::remove(const QString &path, const QString &within, bool recursive)
{
    const QByteArrayList parts = componentsBelow(path, within);
    if (parts.isEmpty())
        return false;
    dev_t device = 0;
    Descriptor parent(descend(within, parts.mid(0, parts.size() - 1), false, device));
    if (parent.fd < 0)
        return errno == ENOENT;
    struct stat info;
    if (::fstatat(parent.fd, parts.last().constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISLNK(info.st_mode))
        return false;
    return removeEntry(parent.fd, parts.last(), info, device, recursive, 0);
}

bool PrivateTree::make(const QString &path, const QString &within)
{
    const QByteArrayList parts = componentsBelow(path, within);
    dev_t device = 0;
    const Descriptor fd(parts.isEmpty() ? -1 : descend(within, parts, true, device));
    return fd.fd >= 0;
}
