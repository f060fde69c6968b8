// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "common/qcommonutils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QTextCodec>

#include "common/privatetree.h"
#include "common/userfolders.h"

namespace MyQtCustom {

QString QCommonUtils::s_organisation;
QString QCommonUtils::s_application;

QCommonUtils::QCommonUtils(QObject *parent) : QObject(parent) {}

// ---------------------------------------------------------------- start-up

float QCommonUtils::GetScaleDxy(QWidget *widget)
{
    Q_UNUSED(widget)
    // Only meaningful before the application object exists; later Qt just warns.
    if (!QCoreApplication::instance())
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    return 1.0f;
}

void QCommonUtils::CheckApplicationRunningPath(QApplication &app)
{
    Q_UNUSED(app)
    const QStringList current = QCoreApplication::libraryPaths();
    for (const QString &path : current)
        QCoreApplication::removeLibraryPath(path);

    const QString appDir = QCoreApplication::applicationDirPath();
    QCoreApplication::addLibraryPath(appDir);
    for (const char *sub : {"/plugins", "/resources", "/platforms", "/plugins/imageformats",
                            "/plugins/sqldrivers", "/plugins/bearer"})
        QCoreApplication::addLibraryPath(appDir + QLatin1String(sub));

    // Bundle layout: two levels up holds PlugIns/plugins, three up Frameworks.
    QDir dir(appDir);
    dir.cdUp();
    dir.cdUp();
    QCoreApplication::addLibraryPath(dir.absolutePath() + QStringLiteral("/PlugIns"));
    QCoreApplication::addLibraryPath(dir.absolutePath() + QStringLiteral("/plugins"));
    dir.cdUp();
    QCoreApplication::addLibraryPath(dir.absolutePath() + QStringLiteral("/Frameworks"));
}

void QCommonUtils::InitName(const QString &organisation, const QString &application)
{
    s_organisation = organisation;
    s_application = application;
}

void QCommonUtils::SetLocaleLangUTF8()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

// ---------------------------------------------------------------- log

namespace {
QMutex &logMutex()
{
    static QMutex mutex;
    return mutex;
}

// Control characters become visible escapes, so that no text (a file name
// with a line break, say) can start a log line of its own.
QString escapedControls(const QString &text)
{
    const auto needsEscape = [](ushort c) {
        return (c < 0x20 && c != '\t') || c == 0x7f || c == 0x85 || c == 0x2028 || c == 0x2029;
    };
    if (std::none_of(text.cbegin(), text.cend(), [&](QChar c) { return needsEscape(c.unicode()); }))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\n')
            out += QLatin1String("\\n");
        else if (u == '\r')
            out += QLatin1String("\\r");
        else if (needsEscape(u))
            out += QString::asprintf(u < 0x80 ? "\\x%02X" : "\\u%04X", unsigned(u));
        else
            out += c;
    }
    return out;
}

// Whether records go to standard output as well (the command line keeps it for its own output).
bool s_consoleEcho = true;

// Appends to the log without following a link, and only to a file of ours
// that no other name shares (a hard link planted in its place).
void appendToLog(const QString &path, const QByteArray &bytes)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        info.st_nlink == 1) {
        // A log an older version left readable to others becomes private.
        if ((info.st_mode & 077) != 0)
            ::fchmod(fd, 0600);
        // At the limit the log starts afresh with this record.
        if (info.st_size >= QCommonUtils::LogSizeLimit && ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            return;
        }
        for (qint64 done = 0; done < bytes.size();) {
            const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                break;
            done += written;
        }
    }
    ::close(fd);
}

// One record: to standard output and, as the text and CR LF, to the log,
// after the runtime folder's note when it has one.
void writeRecord(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (s_consoleEcho)
        std::puts(bytes.constData());
    const QString path = QCommonUtils::LogFilePath();
    if (path.isEmpty())
        return;
    QMutexLocker locker(&logMutex());
    QByteArray record = bytes + "\r\n";
    const QString note = UserFolders::takeNote();
    if (!note.isEmpty()) {
        const QByteArray line = escapedControls(note).toUtf8();
        if (s_consoleEcho)
            std::puts(line.constData());
        record.prepend(line + "\r\n");
    }
    appendToLog(path, record);
}

void logMessageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    writeRecord(escapedControls(message));
}

// Every running instance holds a shared lock on its log's folder for its
// whole life; the daily reset needs it exclusively.
int s_heldFolder = -1;
QString s_heldPath;
} // namespace

QString QCommonUtils::LogFolder()
{
    return UserFolders::runtimeFolder(s_organisation, s_application);
}

QString QCommonUtils::LogFilePath()
{
    const QString folder = LogFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/logs.log");
}

QtMessageHandler QCommonUtils::MyInstallMessageHandler(bool consoleEcho)
{
    s_consoleEcho = consoleEcho;
    return qInstallMessageHandler(logMessageHandler);
}

void QCommonUtils::ResetDebugLogs(const QString &organisation, const QString &application)
{
    InitName(organisation, application);

    const QString folder = LogFolder();
    if (!folder.isEmpty()) {
        QMutexLocker locker(&logMutex());
        if (folder != s_heldPath) {
            if (s_heldFolder >= 0)
                ::close(s_heldFolder);
            s_heldFolder = ::open(QFile::encodeName(folder).constData(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            s_heldPath = folder;
        }
        // Without another live instance the lock is ours alone; with one, the
        // reset waits for a start that finds none, and the date stays as it was.
        const bool alone = s_heldFolder >= 0 && ::flock(s_heldFolder, LOCK_EX | LOCK_NB) == 0;
        const QString format = QStringLiteral("MM-dd-yyyy");
        const QString key = QStringLiteral("Reset_DebugLogs");
        QSettings settings(organisation, application);
        const QDate today = QDate::currentDate();
        if (alone && QDate::fromString(settings.value(key).toString(), format) != today) {
            settings.setValue(key, today.toString(format));
            QFile::remove(folder + QStringLiteral("/logs.log"));
        }
        if (s_heldFolder >= 0)
            ::flock(s_heldFolder, LOCK_SH);
    }

    // The banner's line breaks are its own: it bypasses the escaping.
    writeRecord(QStringLiteral("\n\n\n\n\n") + QString(93, QLatin1Char('-')) + QLatin1Char('\n'));
    writeRecord(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ddd")));
    writeRecord(QString(45, QLatin1Char('-')) + QStringLiteral("Logs start") + QString(45, QLatin1Char('-')) +
                QLatin1Char('\n'));
}

bool QCommonUtils::CopyLogTo(const QString &destination)
{
    QString source = LogFilePath();
    if (source.isEmpty())
        return false;
    source.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString target = destination;
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo::exists(source))
        return false;
    QMutexLocker locker(&logMutex());
    return QFile::copy(source, target);
}

// ---------------------------------------------------------------- times

namespace {
// A fraction of a second in microseconds: "5" and "500" are half a second, as
// ffmpeg's "time=00:00:10.50" means; digits past the sixth are dropped.
qint64 FractionMicroseconds(const QString &digits)
{
    const QString kept = digits.left(6);
    qint64 value = kept.toLongLong(nullptr, 10);
    for (int i = kept.size(); i < 6; ++i)
        value *= 10;
    return value;
}
} // namespace

qint64 QCommonUtils::StringToTime(const QString &text)
{
    QString compact = text.trimmed();
    compact.remove(QLatin1Char(' '));

    qint64 fraction = 0;
    QStringList clock;
    bool haveClock = false;
    const QStringList commaParts = compact.split(QLatin1Char(','));
    if (commaParts.size() == 2) {
        clock = commaParts.at(0).split(QLatin1Char(':'));
        haveClock = true;
        fraction = FractionMicroseconds(commaParts.at(1));
    } else if (commaParts.size() == 1) {
        const QStringList dotParts = compact.split(QLatin1Char('.'));
        if (dotParts.size() == 2) {
            clock = dotParts.at(0).split(QLatin1Char(':'));
            haveClock = true;
            fraction = FractionMicroseconds(dotParts.at(1));
        }
    }
    if (!haveClock)
        clock = compact.split(QLatin1Char(':'));

    qint64 hours = 0, minutes = 0, seconds = 0;
    if (clock.size() == 2) {
        minutes = clock.at(0).toLongLong(nullptr, 10);
        seconds = clock.at(1).toLongLong(nullptr, 10);
    } else if (clock.size() == 3) {
        hours = clock.at(0).toLongLong(nullptr, 10);
        minutes = clock.at(1).toLongLong(nullptr, 10);
        seconds = clock.at(2).toLongLong(nullptr, 10);
    }
    return fraction + (hours * 3600 + minutes * 60 + seconds) * 1000000;
}

qint64 QCommonUtils::QTimetominsecond(const QTime &time)
{
    return (qint64(time.msec()) + (qint64(time.hour()) * 3600 + time.minute() * 60 + time.second()) * 1000) *
           1000;
}

QString QCommonUtils::TimetoString(qint64 microseconds)
{
    const int hours = int((microseconds / 3600000000LL) % 60);
    const int minutes = int((microseconds / 60000000LL) % 60);
    const int seconds = int((microseconds / 1000000LL) % 60);
    return QString::asprintf("%02d%c%02d%c%02d", hours, ':', minutes, ':', seconds);
}

QString QCommonUtils::GetFileSizeString(qint64 bytes)
{
    if (bytes >= 1073741824LL)
        return QString::asprintf("%.02f GB", double(bytes / 1048576LL) / 1024.0);
    if (bytes >= 1048576LL)
        return QString::asprintf("%.02f MB", double(bytes / 1024LL) / 1024.0);
    if (bytes >= 1024LL)
        return QString::asprintf("%.02f KB", double(bytes) / 1024.0);
    return QString::asprintf("%lld bytes", static_cast<long long>(bytes));
}

// ---------------------------------------------------------------- folders, digests

void QCommonUtils::Cleanfolderfiles(const QString &folder, bool requireDigestName, bool recursive)
{
    if (folder.size() < 3)
        return;
    // Only digest-named work folders may be emptied when the caller asks for that guard.
    static const QRegularExpression digestComponent(QStringLiteral("/([a-fA-F0-9]{32})"));
    if (requireDigestName && !digestComponent.match(folder).hasMatch())
        return;
    // Only below the runtime folder, and never through a link; the folders
    // above stay, even when emptied (the temporary base among them).
    PrivateTree::remove(folder, LogFolder(), recursive);
}

QString QCommonUtils::GetStringMD5(const QString &text)
{
    QByteArray bytes = (text.isEmpty() ? QStringLiteral("https://quillvane.invalid/") : text).toUtf8();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()).toUpper();
}

// ---------------------------------------------------------------- text

void QCommonUtils::RemoveSubStr(QString &text, const QString &begin, const QString &end, int from)
{
    const int i = text.indexOf(begin, from, Qt::CaseInsensitive);
    if (i < 0)
        return;
    const int j = text.indexOf(end, i + 1, Qt::CaseInsensitive);
    if (j < 0)
        return;
    const int k = text.indexOf(begin, i + 1, Qt::CaseInsensitive);
    if (k < 0 || k > j)
        text.replace(i, j - i + 1, QLatin1Char(' '));
    RemoveSubStr(text, begin, end, i + 1);
    // A pass from the start again takes the outer spans whose inner ones were just blanked.
    if (from == 0)
        RemoveSubStr(text, begin, end, 0);
}

} // namespace MyQtCustom
