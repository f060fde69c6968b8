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

// The log is process-wide state: every case starts from a known file.
class TestDiagnosticLog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void recordIsMessageAndCrLf();
    void sizeLimit_data();
    void sizeLimit();
    void dailyReset_data();
    void dailyReset();
    void bannerShape();
    void copyNeverOverwrites();
    void concurrentWriters_data();
    void concurrentWriters();

private:
    QByteArray readLog() const;
    void writeLog(const QByteArray &content) const;
    QtMessageHandler previous = nullptr;
};

QByteArray TestDiagnosticLog::readLog() const
{
    QFile file(QCommonUtils::LogFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TestDiagnosticLog::writeLog(const QByteArray &content) const
{
    QDir().mkpath(QCommonUtils::LogFolder());
    QFile file(QCommonUtils::LogFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

void TestDiagnosticLog::initTestCase()
{
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
    QVERIFY(QCommonUtils::LogFolder().startsWith(QDir::tempPath()));
    previous = QCommonUtils::MyInstallMessageHandler();
}

void TestDiagnosticLog::cleanupTestCase()
{
    qInstallMessageHandler(previous);
}

void TestDiagnosticLog::init()
{
    QFile::remove(QCommonUtils::LogFilePath());
}

void TestDiagnosticLog::recordIsMessageAndCrLf()
{
    writeLog("before\r\n");
    qDebug("abc");
    qWarning("%s", "unicode \xe5\xa3\xb0");
    QCOMPARE(readLog(), QByteArray("before\r\nabc\r\nunicode \xe5\xa3\xb0\r\n"));
}

void TestDiagnosticLog::sizeLimit_data()
{
    QTest::addColumn<qint64>("existingSize");
    QTest::addColumn<bool>("keptBefore");
    QTest::addRow("one byte below the limit") << QCommonUtils::LogSizeLimit - 1 << true;
    QTest::addRow("at the limit") << QCommonUtils::LogSizeLimit << false;
    QTest::addRow("above the limit") << QCommonUtils::LogSizeLimit + 100 << false;
}

void TestDiagnosticLog::sizeLimit()
{
    QFETCH(qint64, existingSize);
    QFETCH(bool, keptBefore);
    writeLog(QByteArray(int(existingSize), 'x'));
    qDebug("next");
    const QByteArray log = readLog();
    if (keptBefore) {
        QCOMPARE(log.size(), int(existingSize) + 6);
        QVERIFY(log.endsWith("next\r\n"));
    } else {
        QCOMPARE(log, QByteArray("next\r\n"));
    }
}

void TestDiagnosticLog::dailyReset_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("keepsOldContent");
    const QString format = QStringLiteral("MM-dd-yyyy");
    QTest::addRow("first run") << QString() << false;
    QTest::addRow("same day") << QDate::currentDate().toString(format) << true;
    QTest::addRow("yesterday") << QDate::currentDate().addDays(-1).toString(format) << false;
    QTest::addRow("unparsable") << QStringLiteral("13-45-20xx") << false;
    QTest::addRow("other format") << QDate::currentDate().toString(Qt::ISODate) << false;
}

void TestDiagnosticLog::dailyReset()
{
    QFETCH(QString, stored);
    QFETCH(bool, keepsOldContent);
    {
        QSettings settings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
        if (stored.isNull())
            settings.remove(QLatin1String(SettingsKey::ResetDebugLogs));
        else
            settings.setValue(QLatin1String(SettingsKey::ResetDebugLogs), stored);
    }
    writeLog("old content\r\n");

    QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                 QLatin1String(AppIdentity::Application));

    const QByteArray log = readLog();
    QCOMPARE(log.startsWith("old content\r\n"), keepsOldContent);
    QVERIFY(log.contains("Logs start"));
    QSettings settings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
    QCOMPARE(settings.value(QLatin1String(SettingsKey::ResetDebugLogs)).toString(),
             QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));
}

void TestDiagnosticLog::bannerShape()
{
    QCommonUtils::ResetDebugLogs(QLatin1String(AppIdentity::Organisation),
                                 QLatin1String(AppIdentity::Application));
    const QByteArray log = readLog();
    const QByteArray rule = "\n\n\n\n\n" + QByteArray(93, '-') + "\n\r\n";
    QVERIFY(log.startsWith(rule));
    const QByteArray stamp = log.mid(rule.size(), log.indexOf("\r\n", rule.size()) - rule.size());
    QVERIFY2(QDateTime::fromString(QString::fromUtf8(stamp.left(19)), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                 .isValid(),
             stamp.constData());
    QVERIFY(log.endsWith(QByteArray(45, '-') + "Logs start" + QByteArray(45, '-') + "\n\r\n"));
}

void TestDiagnosticLog::copyNeverOverwrites()
{
    writeLog("log body\r\n");
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("exported.log"));
    QVERIFY(QCommonUtils::CopyLogTo(target));
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("log body\r\n"));
    copy.close();

    writeLog("newer\r\n");
    QVERIFY(!QCommonUtils::CopyLogTo(target));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("log body\r\n"));
}

void TestDiagnosticLog::concurrentWriters_data()
{
    QTest::addColumn<int>("prefill");
    QTest::addRow("fresh log") << 0;
    QTest::addRow("near the limit") << int(QCommonUtils::LogSizeLimit) - 100000;
}

void TestDiagnosticLog::concurrentWriters()
{
    QFETCH(int, prefill);
    constexpr int Writers = 4;
    constexpr int Lines = 1500;
    constexpr int RecordSize = 60; // "writer W line NNNN " + 40 p + CR LF, at most
    writeLog(QByteArray(prefill, 'x'));
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

    // Every record whole; with the prefill, the file was emptied on the way
    // and never grew past the limit by more than one record per writer.
    QList<QByteArray> records = readLog().split('\n');
    QCOMPARE(records.takeLast(), QByteArray());
    const QRegularExpression whole(QStringLiteral("^writer \\d line \\d+ p{40}\r$"));
    QSet<QByteArray> seen;
    for (const QByteArray &record : qAsConst(records)) {
        QVERIFY2(whole.match(QString::fromLatin1(record)).hasMatch(), record.left(80).constData());
        seen.insert(record);
    }
    QCOMPARE(seen.size(), records.size());
    if (prefill == 0)
        QCOMPARE(seen.size(), Writers * Lines);
    else
        QVERIFY(records.size() < Writers * Lines);
    QVERIFY(largest <= QCommonUtils::LogSizeLimit + Writers * RecordSize);
}

QTEST_GUILESS_MAIN(TestDiagnosticLog)
#include "tst_diagnosticlog.moc"
