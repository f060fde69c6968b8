// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "platform/linuxprocesstable.h"
#include "platform/processtable.h"

class TestProcessTable : public QObject
{
    Q_OBJECT
private slots:
    void descendants_data()
    {
        QTest::addColumn<QStringList>("pids");
        QTest::addColumn<QStringList>("parents");
        QTest::addColumn<QStringList>("expected"); // of process 10
        using L = QStringList;
        // clang-format off
        QTest::addRow("no children") << L{"1", "10"} << L{"0", "1"} << L();
        QTest::addRow("every branch, level by level") << L{"10", "11", "12", "13", "14", "15", "99"}
            << L{"1", "10", "10", "11", "12", "13", "1"} << L{"11", "12", "13", "14", "15"};
        QTest::addRow("children before their parents") << L{"30", "20", "10"} << L{"20", "10", "1"} << L{"20", "30"};
        QTest::addRow("cycle does not loop") << L{"10", "11"} << L{"11", "10"} << L{"11"};
        QTest::addRow("lists of different length") << L{"10", "11"} << L{"1"} << L();
        // clang-format on
    }
    void descendants()
    {
        QFETCH(QStringList, pids);
        QFETCH(QStringList, parents);
        QFETCH(QStringList, expected);
        QCOMPARE(ProcessTable::descendants(QStringLiteral("10"), pids, parents), expected);
        // init's children are never followed.
        QCOMPARE(ProcessTable::descendants(QStringLiteral("1"), pids, parents), QStringList());
    }

    void parseStat_data()
    {
        QTest::addColumn<QByteArray>("stat");
        QTest::addColumn<QString>("expected"); // pid and parent, or nothing
        QTest::addRow("plain") << QByteArray("1234 (bash) S 1000 1234 1234 0 -1 4194560\n") << "1234 1000";
        QTest::addRow("parentheses in the name") << QByteArray("78 (a) b (c)) S 6 78 0") << "78 6";
        QTest::addRow("no parent field") << QByteArray("80 (x) S") << "";
    }
    void parseStat()
    {
        QFETCH(QByteArray, stat);
        QFETCH(QString, expected);
        qint64 pid = 0, parent = 0;
        const bool ok = LinuxProcessTable::parseStat(stat, &pid, &parent);
        QCOMPARE(ok ? QStringLiteral("%1 %2").arg(pid).arg(parent) : QString(), expected);
    }

    void suspendsAndKills()
    {
        // A shell with a child of its own, read by the platform's quick way and from the whole table.
        QProcess child;
        child.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("sleep 30 & wait")});
        QVERIFY(child.waitForStarted());
        const ProcessTable &table = ProcessTable::system();
        QTRY_COMPARE_WITH_TIMEOUT(table.children(child.processId()).size(), 1, 60000);
        QCOMPARE(table.children(child.processId()), table.ProcessTable::children(child.processId()));
        // Frozen first: once its child is gone the shell's wait returns and it would exit.
        QVERIFY(table.suspend(child.processId()));
        QVERIFY(table.kill(table.children(child.processId()).first()));
        const auto state = [&child] {
            QFile status(QStringLiteral("/proc/%1/status").arg(child.processId()));
            return status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(state().contains("State:\tT"), 60000);
        QVERIFY(table.kill(child.processId()));
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        // Never a process group or init.
        QVERIFY(!table.kill(0));
        QVERIFY(!table.suspend(1));
    }
};

QTEST_GUILESS_MAIN(TestProcessTable)
#include "tst_processtable.moc"
