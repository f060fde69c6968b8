#include <atomic>
#include <memory>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "common/qcommonutils.h"

namespace {

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    // Each record is the message and CR LF, appended unless the log has reached its limit.
    void records_data()
    {
        QTest::addColumn<qint64>("existingSize");
        QTest::addColumn<bool>("keptBefore");
        QTest::addRow("one byte below the limit") << QCommonUtils::LogSizeLimit - 1 << true;
        QTest::addRow("at the limit") << QCommonUtils::LogSizeLimit << false;
    }
    void records()
    {
        QFETCH(qint64, existingSize);
        QFETCH(bool, keptBefore);
        QVERIFY(WriteLog(QByteArray(int(existingSize), 'x')));
        qWarning("%s", "unicode \xe5\xa3\xb0");
        const QByteArray log = Read(QCommonUtils::LogFilePath());
        const QByteArray added("unicode \xe5\xa3\xb0\r\n");
        QCOMPARE(log.size(), keptBefore ? int(existingSize) + added.size() : added.size());
        QVERIFY(log.endsWith(added));
    }
    void dailyReset_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("keepsOldContent");
        const QString format = QStringLiteral("MM-dd-yyyy");
        QTest::addRow("first run") << QString() << false;
        QTest::addRow("same day") << QDate::currentDate().toString(format) << true;
        QTest::addRow("yesterday") << QDate::currentDate().addDays(-1).toString(format) << false;
        QTest::addRow("other format") << QDate::currentDate().toString(Qt::ISODate) << false;
    }
    void dailyReset()
    {
        QFETCH(QString, stored);
        QFETCH(bool, keepsOldContent);
        const QString key = QLatin1String(SettingsKey::ResetDebugLogs);
        if (stored.isNull())
            QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
                .remove(key);
        else
            SetSettingValue(key, stored);
        QVERIFY(WriteLog("old content\r\n"));
        QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                     QLatin1String(AppIdentity::Application));
        QCOMPARE(GetSettingValue(key), QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));

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

    // Several threads at once: every record whole, and the file never grows
    // past the limit by more than one record per writer.
    void concurrentWriters_data()
    {
        QTest::addColumn<int>("prefill");
        QTest::addRow("fresh log") << 0;
        QTest::addRow("near the limit") << int(QCommonUtils::LogSizeLimit) - 100000;
    }
    void concurrentWriters()
    {
        QFETCH(int, prefill);
        constexpr int Writers = 4, Lines = 1500, RecordSize = 60;
        QVERIFY(WriteLog(QByteArray(prefill, 'x')));
        std::atomic<bool> writing{true};
        qint64 largest = 0;
        QScopedPointer<QThread> watcher(QThread::create([&] {
            while (writing)
                largest = qMax(largest, QFileInfo(QCommonUtils::LogFilePath()).size());
        }));
        watcher->start();
        std::vector<std::unique_ptr<QThread>> writers;
        for (int w = 0; w < Writers; ++w) {
            writers.emplace_back(QThread::create([w] {
                for (int n = 0; n < Lines; ++n)
                    qDebug("writer %d line %d %s", w, n, QByteArray(40, 'p').constData());
            }));
            writers.back()->start();
        }
        for (auto &writer : writers)
            writer->wait();
        writing = false;
        watcher->wait();

        QList<QByteArray> records = Read(QCommonUtils::LogFilePath()).split('\n');
        QCOMPARE(records.takeLast(), QByteArray());
        const QRegularExpression whole(QStringLiteral("^writer \\d line \\d+ p{40}\r$"));
        for (const QByteArray &record : qAsConst(records))
            QVERIFY2(whole.match(QString::fromLatin1(record)).hasMatch(), record.left(80).constData());
        QCOMPARE(records.size() == Writers * Lines, prefill == 0);
        QVERIFY(largest <= QCommonUtils::LogSizeLimit + Writers * RecordSize);
    }
};

QTEST_GUILESS_MAIN(TestDiagnosticLog)
#include "tst_diagnosticlog.moc"
