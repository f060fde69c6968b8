// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "common/globals.h"
#include "common/qcommonutils.h"

namespace {

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Mode(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool WriteLog(const QByteArray &content)
{
    QDir().mkpath(QCommonUtils::LogFolder());
    QFile file(QCommonUtils::LogFilePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace

// The log is process-wide state: every case starts from a known file.
class TestDiagnosticLog : public QObject
{
    Q_OBJECT
    QtMessageHandler previous = nullptr;

private slots:
    void initTestCase()
    {
        QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation),
                               QLatin1String(AppIdentity::Application));
        QVERIFY(QCommonUtils::LogFolder().startsWith(QDir::tempPath()));
        previous = QCommonUtils::MyInstallMessageHandler();
    }
    void cleanupTestCase() { qInstallMessageHandler(previous); }
    void init() { QFile::remove(QCommonUtils::LogFilePath()); }
    // Each record is the message and CR LF, appended unless the log has reached
    // its limit; no text starts a line of its own, no link is written through.
    void records_data()
    {
        QTest::addColumn<qint64>("existingSize");
        QTest::addColumn<QString>("planted"); // a link to another file in the log's place
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("record");
        const QByteArray unicode("unicode \xe5\xa3\xb0"), name("song\necho INJECTED #.wav");
        // clang-format off
        QTest::addRow("one byte below the limit") << QCommonUtils::LogSizeLimit - 1 << "" << unicode << unicode;
        QTest::addRow("at the limit") << QCommonUtils::LogSizeLimit << "" << unicode << unicode;
        QTest::addRow("newline in a name") << qint64(0) << "" << name << QByteArray("song\\necho INJECTED #.wav");
        QTest::addRow("carriage return, escape, line separator") << qint64(0) << ""
            << QByteArray("a\rb\x1b[2Jc\xe2\x80\xa8" "d") << QByteArray("a\\rb\\x1B[2Jc\\u2028d");
        QTest::addRow("symbolic link planted") << qint64(0) << "symbolic" << name << QByteArray();
        QTest::addRow("hard link planted") << qint64(0) << "hard" << name << QByteArray();
        // clang-format on
    }
    void records()
    {
        QFETCH(qint64, existingSize);
        QFETCH(QString, planted);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, record);
        const QByteArray before = planted.isEmpty() ? QByteArray(int(existingSize), 'x') : "alias ls=ls\n";
        QVERIFY(WriteLog(before));
        QTemporaryDir victim;
        const QByteArray log = QFile::encodeName(QCommonUtils::LogFilePath());
        const QByteArray target = QFile::encodeName(victim.filePath(QStringLiteral(".bashrc")));
        if (!planted.isEmpty()) {
            QCOMPARE(::rename(log.constData(), target.constData()), 0);
            QCOMPARE((planted == "hard" ? ::link : ::symlink)(target.constData(), log.constData()), 0);
        }
        qWarning("%s", message.constData());
        // A planted link's target is left as it was.
        const bool kept = existingSize < QCommonUtils::LogSizeLimit;
        QCOMPARE(Read(QFile::decodeName(planted.isEmpty() ? log : target)),
                 planted.isEmpty() ? (kept ? before : QByteArray()) + record + "\r\n" : before);
        QVERIFY(!planted.isEmpty() || Mode(QCommonUtils::LogFilePath()) == 0600);
    }
    void dailyReset_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("otherInstance"); // holds the log, as a running instance does
        QTest::addColumn<bool>("keepsOldContent");
        const QString format = QStringLiteral("MM-dd-yyyy");
        const QString yesterday = QDate::currentDate().addDays(-1).toString(format);
        QTest::addRow("first run") << QString() << false << false;
        QTest::addRow("same day") << QDate::currentDate().toString(format) << false << true;
        QTest::addRow("yesterday") << yesterday << false << false;
        QTest::addRow("other format") << QDate::currentDate().toString(Qt::ISODate) << false << false;
        QTest::addRow("yesterday, another instance running") << yesterday << true << true;
    }
    void dailyReset()
    {
        QFETCH(QString, stored);
        QFETCH(bool, otherInstance);
        QFETCH(bool, keepsOldContent);
        const QString key = QLatin1String(SettingsKey::ResetDebugLogs);
        if (stored.isNull())
            QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
                .remove(key);
        else
            SetSettingValue(key, stored);
        QVERIFY(WriteLog("old content\r\n"));
        // Another process's lock: a second open of the folder, locked shared.
        const int other = otherInstance ? ::open(QFile::encodeName(QCommonUtils::LogFolder()).constData(),
                                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                        : -1;
        QVERIFY(!otherInstance || ::flock(other, LOCK_SH) == 0);
        QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                     QLatin1String(AppIdentity::Application));
        if (other >= 0)
            ::close(other);
        // A reset put off stays due for the next start.
        QCOMPARE(GetSettingValue(key),
                 otherInstance ? stored : QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));

        // A banner follows whatever was kept: a rule, the time, "Logs start".
        QByteArray log = Read(QCommonUtils::LogFilePath());
        QCOMPARE(log.startsWith("old content\r\n"), keepsOldContent);
        log.remove(0, keepsOldContent ? 13 : 0);
        const QByteArray rule = "\n\n\n\n\n" + QByteArray(93, '-') + "\n\r\n";
        QVERIFY(log.startsWith(rule));
        const QString stamp = QString::fromUtf8(log.mid(rule.size(), 19));
        QVERIFY2(QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid(),
                 qPrintable(stamp));
        QVERIFY(log.endsWith(QByteArray(45, '-') + "Logs start" + QByteArray(45, '-') + "\n\r\n"));
    }
    void copyNeverOverwrites()
    {
        QVERIFY(WriteLog("log body\r\n"));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("exported.log"));
        QVERIFY(QCommonUtils::CopyLogTo(target));
        QCOMPARE(Read(target), QByteArray("log body\r\n"));
        QVERIFY(WriteLog("newer\r\n"));
        QVERIFY(!QCommonUtils::CopyLogTo(target));
        QCOMPARE(Read(target), QByteArray("log body\r\n"));
    }

    // Writers that meet at the limit, many times over: every record whole, and
    // the log starts afresh once, at the first record that finds it full,
    // keeping every record after that one.
    void writersMeetingAtTheLimit()
    {
        constexpr int Writers = 4, Lines = 10, Rounds = 1000;
        const QRegularExpression whole(QStringLiteral("^writer \\d line \\d{4} p{40}\r$"));
        for (int round = 0; round < Rounds; ++round) {
            // One byte short of the limit, without writing ten megabytes.
            QVERIFY(WriteLog(QByteArray()) &&
                    QFile::resize(QCommonUtils::LogFilePath(), QCommonUtils::LogSizeLimit - 1));
            std::atomic<int> ready{0};
            std::vector<std::unique_ptr<QThread>> writers;
            for (int w = 0; w < Writers; ++w) {
                writers.emplace_back(QThread::create([w, &ready] {
                    for (++ready; ready < Writers;)
                        QThread::yieldCurrentThread();
                    for (int n = 0; n < Lines; ++n)
                        qDebug("writer %d line %04d %s", w, n, QByteArray(40, 'p').constData());
                }));
                writers.back()->start();
            }
            for (auto &writer : writers)
                writer->wait();
            QList<QByteArray> records = Read(QCommonUtils::LogFilePath()).split('\n');
            QCOMPARE(records.takeLast(), QByteArray());
            for (const QByteArray &record : qAsConst(records))
                QVERIFY2(whole.match(QString::fromLatin1(record)).hasMatch(), record.left(80).constData());
            QCOMPARE(records.size(), Writers * Lines - 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestDiagnosticLog)
#include "tst_diagnosticlog.moc"
