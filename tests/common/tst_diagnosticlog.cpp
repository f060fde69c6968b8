#include <QDate>
#include <QDir>
#include <QFile>
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
};

QTEST_GUILESS_MAIN(TestDiagnosticLog)
#include "tst_diagnosticlog.moc"
