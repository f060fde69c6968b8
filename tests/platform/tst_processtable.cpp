#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QtTest>

#include "platform/linuxprocesstable.h"
#include "platform/processtable.h"

class TestProcessTable : public QObject
{
    Q_OBJECT
private slots:
    void descendants_data();
    void descendants();
    void parseStat_data();
    void parseStat();
    void readsLiveTable();
    void suspendsAndKills();

private:
    static char stateOf(qint64 pid);
};

char TestProcessTable::stateOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 'X';
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close >= 0 && close + 2 < text.size() ? text.at(close + 2) : 'X';
}

void TestProcessTable::descendants_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QStringList>("pids");
    QTest::addColumn<QStringList>("parents");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("no children") << "10" << QStringList{"1", "10"} << QStringList{"0", "1"} << QStringList();
    QTest::addRow("one line of descent")
        << "10" << QStringList{"10", "11", "12"} << QStringList{"1", "10", "11"} << QStringList{"11", "12"};
    QTest::addRow("every branch, level by level")
        << "10" << QStringList{"10", "11", "12", "13", "14", "15", "99"}
        << QStringList{"1", "10", "10", "11", "12", "13", "1"} << QStringList{"11", "12", "13", "14", "15"};
    QTest::addRow("children listed before their parents")
        << "10" << QStringList{"30", "20", "10"} << QStringList{"20", "10", "1"} << QStringList{"20", "30"};
    QTest::addRow("siblings in table order")
        << "10" << QStringList{"13", "11", "12"} << QStringList{"10", "10", "10"}
        << QStringList{"13", "11", "12"};
    QTest::addRow("cycle does not loop")
        << "10" << QStringList{"10", "11"} << QStringList{"11", "10"} << QStringList{"11"};
    QTest::addRow("init is not followed")
        << "1" << QStringList{"1", "5"} << QStringList{"0", "1"} << QStringList();
    QTest::addRow("lists of different length")
        << "10" << QStringList{"10", "11"} << QStringList{"1"} << QStringList();
}

void TestProcessTable::descendants()
{
    QFETCH(QString, root);
    QFETCH(QStringList, pids);
    QFETCH(QStringList, parents);
    QFETCH(QStringList, expected);
    QCOMPARE(ProcessTable::descendants(root, pids, parents), expected);
}

void TestProcessTable::parseStat_data()
{
    QTest::addColumn<QByteArray>("stat");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<qint64>("parent");
    QTest::addRow("plain") << QByteArray("1234 (bash) S 1000 1234 1234 0 -1 4194560\n") << true
                           << qint64(1234) << qint64(1000);
    QTest::addRow("blank in the name")
        << QByteArray("77 (Web Content) R 5 77 0") << true << qint64(77) << qint64(5);
    QTest::addRow("parentheses in the name")
        << QByteArray("78 (a) b (c)) S 6 78 0") << true << qint64(78) << qint64(6);
    QTest::addRow("zombie") << QByteArray("79 (sleep) Z 1 79 0") << true << qint64(79) << qint64(1);
    QTest::addRow("no parent field") << QByteArray("80 (x) S") << false << qint64(0) << qint64(0);
    QTest::addRow("no name") << QByteArray("81 S 1") << false << qint64(0) << qint64(0);
    QTest::addRow("empty") << QByteArray() << false << qint64(0) << qint64(0);
}

void TestProcessTable::parseStat()
{
    QFETCH(QByteArray, stat);
    QFETCH(bool, ok);
    QFETCH(qint64, pid);
    QFETCH(qint64, parent);
    qint64 foundPid = 0;
    qint64 foundParent = 0;
    QCOMPARE(LinuxProcessTable::parseStat(stat, &foundPid, &foundParent), ok);
    QCOMPARE(foundPid, pid);
    QCOMPARE(foundParent, parent);
}

void TestProcessTable::readsLiveTable()
{
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(child.waitForStarted());

    QStringList pids{QStringLiteral("first")};
    QStringList parents{QStringLiteral("first")};
    QVERIFY(ProcessTable::system().read(pids, parents));
    // Appended to what the lists held, and parallel.
    QCOMPARE(pids.first(), QStringLiteral("first"));
    QCOMPARE(pids.size(), parents.size());
    const QString self = QString::number(QCoreApplication::applicationPid());
    QCOMPARE(parents.value(pids.indexOf(self)), QString::number(::getppid()));
    QCOMPARE(ProcessTable::descendants(self, pids, parents), QStringList{QString::number(child.processId())});

    child.kill();
    QVERIFY(child.waitForFinished());
}

void TestProcessTable::suspendsAndKills()
{
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(child.waitForStarted());
    const qint64 pid = child.processId();
    const ProcessTable &table = ProcessTable::system();

    QVERIFY(table.suspend(pid));
    QTRY_COMPARE(stateOf(pid), 'T');
    QVERIFY(table.kill(pid));
    QVERIFY(child.waitForFinished(5000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    // Never a process group or init.
    QVERIFY(!table.kill(0));
    QVERIFY(!table.suspend(1));
}

QTEST_GUILESS_MAIN(TestProcessTable)
#include "tst_processtable.moc"
