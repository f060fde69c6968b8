#include "engine/jobhelpers.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTextBoundaryFinder>

#include "app/globals.h"
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

QString ConsoleText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
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

namespace {
// Whether anything holds a name, a link that leads nowhere included: ffmpeg
// would write through such a link to wherever it points.
bool nameTaken(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// The longest file name the folder's file system takes, in bytes.
int fileNameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < NAME_MAX ? int(limit) : NAME_MAX;
}

// The longest start of `base` that leaves room for `tail` within `limit`
// bytes, cut between characters as the reader sees them.
QString fitName(const QString &base, const QString &tail, int limit)
{
    const int room = limit - QFile::encodeName(tail).size();
    if (QFile::encodeName(base).size() <= room)
        return base;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, base);
    int cut = 0;
    int bytes = 0;
    for (int next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        bytes += QFile::encodeName(base.mid(cut, next - cut)).size();
        if (bytes > room)
            break;
        cut = next;
    }
    return base.left(cut);
}
} // namespace

QString UniqueOutputPath(const QString &inputPath, const QString &nameTag, const QString &extension,
                         const QString &collisionOpen)
{
    const QString folder = OutputFolder();
    const QString base = OutputBaseName(inputPath);
    const QString dotExtension = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    const int limit = fileNameLimit(folder);
    const auto candidate = [&](const QString &number) {
        const QString tail = nameTag + number + dotExtension;
        return folder + QLatin1Char('/') + fitName(base, tail, limit) + tail;
    };

    QString out = candidate(QString());
    for (int n = 0; nameTaken(out) || IsOutputPathReserved(out); ++n)
        out = candidate(collisionOpen + QString::number(n) + QLatin1Char(')'));
    return out;
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

QStringList OutputFormatArguments(const QString &outputPath)
{
    static const QStringList narrowband{QStringLiteral("amr"), QStringLiteral("3gp"), QStringLiteral("3g2")};
    if (narrowband.contains(QFileInfo(outputPath).suffix(), Qt::CaseInsensitive))
        return {QStringLiteral("-ar"), QStringLiteral("8000"), QStringLiteral("-ac"), QStringLiteral("1")};
    return {};
}

namespace {
// Jobs live in the user-interface thread, but nothing stops a tool from
// naming outputs elsewhere.
QMutex &reservedOutputsMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<QString> &reservedOutputs()
{
    static QSet<QString> paths;
    return paths;
}
} // namespace

void ReserveOutputPath(const QString &path)
{
    QMutexLocker locker(&reservedOutputsMutex());
    reservedOutputs().insert(path);
}

void ReleaseOutputPath(const QString &path)
{
    QMutexLocker locker(&reservedOutputsMutex());
    reservedOutputs().remove(path);
}

bool IsOutputPathReserved(const QString &path)
{
    QMutexLocker locker(&reservedOutputsMutex());
    return reservedOutputs().contains(path);
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

OutputSize ClassifyOutput(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return OutputSize::Missing;
    const qint64 size = info.size();
    if (size <= 1023)
        return OutputSize::TooSmall;
    if (size == 1024)
        return OutputSize::Borderline;
    return OutputSize::Usable;
}

bool SettleOutput(const QString &path)
{
    switch (ClassifyOutput(path)) {
    case OutputSize::Usable:
        return true;
    case OutputSize::TooSmall:
    case OutputSize::Borderline:
        QFile::remove(path);
        return false;
    case OutputSize::Missing:
        break;
    }
    return false;
}
