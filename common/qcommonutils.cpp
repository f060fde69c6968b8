#include "common/qcommonutils.h"

#include <cstdio>

#include <QApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMutex>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStringList>
#include <QTextCodec>
#include <QWidget>

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

QRect QCommonUtils::GetDesktopRect(QWidget *widget)
{
    QScreen *screen = widget ? widget->screen() : nullptr;
    if (!screen && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(QPoint(0, 0), QPoint(1919, 1079));
    return screen->geometry();
}

// ---------------------------------------------------------------- log

namespace {
QMutex &logMutex()
{
    static QMutex mutex;
    return mutex;
}

void logMessageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const QString folder = QCommonUtils::LogFolder();
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);

    const QByteArray text = message.toUtf8();
    std::puts(text.constData());

    // The size check sits under the lock too, so threads writing at the limit
    // cannot append to a file another thread is deleting.
    QMutexLocker locker(&logMutex());
    QFile file(QCommonUtils::LogFilePath());
    if (file.size() >= QCommonUtils::LogSizeLimit)
        file.remove();
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(text + "\r\n");
        file.close();
    }
}
} // namespace

QString QCommonUtils::LogFolder()
{
    return QDir::tempPath() + QLatin1Char('/') + s_organisation + QLatin1Char('/') + s_application;
}

QString QCommonUtils::LogFilePath()
{
    return LogFolder() + QStringLiteral("/logs.log");
}

QtMessageHandler QCommonUtils::MyInstallMessageHandler()
{
    return qInstallMessageHandler(logMessageHandler);
}

void QCommonUtils::ResetDebugLogs(const QString &organisation, const QString &application)
{
    InitName(organisation, application);

    const QString format = QStringLiteral("MM-dd-yyyy");
    const QString key = QStringLiteral("Reset_DebugLogs");
    QSettings settings(organisation, application);
    const QDate last = QDate::fromString(settings.value(key).toString(), format);
    const QDate today = QDate::currentDate();
    if (last != today) {
        settings.setValue(key, today.toString(format));
        QMutexLocker locker(&logMutex());
        QFile::remove(LogFilePath());
    }

    qDebug("%s",
           qPrintable(QStringLiteral("\n\n\n\n\n") + QString(93, QLatin1Char('-')) + QLatin1Char('\n')));
    qDebug("%s",
           qPrintable(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ddd"))));
    qDebug("%s", qPrintable(QString(45, QLatin1Char('-')) + QStringLiteral("Logs start") +
                            QString(45, QLatin1Char('-')) + QLatin1Char('\n')));
}

bool QCommonUtils::CopyLogTo(const QString &destination)
{
    QString source = LogFilePath();
    source.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString target = destination;
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo::exists(source))
        return false;
    QMutexLocker locker(&logMutex());
    return QFile::copy(source, target);
}

void QCommonUtils::Exportlogs()
{
    const QString suggested = QDir::homePath() + QStringLiteral("/Desktop/") + s_organisation +
                              QLatin1Char('-') + s_application + QLatin1Char('-') +
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")) +
                              QStringLiteral(".log");
    const QString chosen = QFileDialog::getSaveFileName(nullptr, QObject::tr("Save Logfile"), suggested,
                                                        QObject::tr("Logfile (*.log)"));
    if (chosen.isEmpty())
        return;
    CopyLogTo(chosen);
}

// ---------------------------------------------------------------- times

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
        fraction = commaParts.at(1).toLongLong(nullptr, 10);
    } else if (commaParts.size() == 1) {
        const QStringList dotParts = compact.split(QLatin1Char('.'));
        if (dotParts.size() == 2) {
            clock = dotParts.at(0).split(QLatin1Char(':'));
            haveClock = true;
            fraction = dotParts.at(1).toLongLong(nullptr, 10);
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
    return (fraction + (hours * 3600 + minutes * 60 + seconds) * 1000) * 1000;
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
    QDir dir(folder);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::NoFilter, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        if (entry.isDir() && !entry.isSymLink()) {
            if (recursive)
                Cleanfolderfiles(entry.absoluteFilePath(), requireDigestName, true);
        } else {
            QFile::remove(entry.absoluteFilePath());
        }
    }
    QDir().rmpath(dir.absolutePath());
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

QString QCommonUtils::TrimSubStr(const QString &source, const QString &begin, const QString &end, int from,
                                 int *endPos)
{
    const int i = source.indexOf(begin, from, Qt::CaseInsensitive);
    if (i < 0)
        return QString();
    const int j = source.indexOf(end, i + 1, Qt::CaseInsensitive);
    if (j < 0)
        return QString();
    if (endPos)
        *endPos = j;
    const int start = i + begin.size();
    if (j < start)
        return QString();
    return source.mid(start, j - start).trimmed();
}

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
