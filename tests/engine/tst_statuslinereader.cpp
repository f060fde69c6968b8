#include <QtTest>

#include "engine/statuslinereader.h"

class TestStatusLineReader : public QObject
{
    Q_OBJECT
private slots:
    void times_data();
    void times();
    void lines_data();
    void lines();
    void resetForgetsUnfinishedLine();
    void furthestTimeLooksPastTheFirst();
    void endlessLineStaysBounded();
};

void TestStatusLineReader::times_data()
{
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<QList<qint64>>("expected");
    QTest::addColumn<QString>("pending");
    QTest::addRow("whole status line")
        << QStringList{"size=1kB time=00:00:01.00 bitrate=8kbits/s\r"} << QList<qint64>{1000000} << "";
    QTest::addRow("cut inside the time")
        << QStringList{"size=1kB tim", "e=00:00:30.00 bitrate=1k\r"} << QList<qint64>{30000000} << "";
    QTest::addRow("cut three times") << QStringList{"t", "ime=00:00:0", "2.00 x\r"} << QList<qint64>{2000000}
                                     << "";
    QTest::addRow("line feed ends a line")
        << QStringList{"time=00:00:03.00\n"} << QList<qint64>{3000000} << "";
    QTest::addRow("unfinished line waits")
        << QStringList{"time=00:00:04.00"} << QList<qint64>() << "time=00:00:04.00";
    QTest::addRow("rest after a carriage return waits")
        << QStringList{"time=00:00:01.00 x\rsize=2kB time=00:00:0", "2.00 x\r"}
        << QList<qint64>{1000000, 2000000} << "";
    QTest::addRow("two lines in one read")
        << QStringList{"time=00:00:01.00\ntime=00:00:02.00\n"} << QList<qint64>{1000000, 2000000} << "";
    // Complete text is cut at line feeds only, as the status lines always were.
    QTest::addRow("one piece, first time counts")
        << QStringList{"time=00:00:01.00 x\rtime=00:00:02.00 x\r"} << QList<qint64>{1000000} << "";
    QTest::addRow("banner without times")
        << QStringList{"Input #0, wav, from 'a.wav':\n  Duration: 00:00:05.00, bitrate: 1411 kb/s\n"}
        << QList<qint64>() << "";
    QTest::addRow("short time text ignored") << QStringList{"time=1:2:3 x\r"} << QList<qint64>() << "";
    QTest::addRow("zero time ignored") << QStringList{"time=00:00:00.00 x\r"} << QList<qint64>() << "";
}

void TestStatusLineReader::times()
{
    QFETCH(QStringList, reads);
    QFETCH(QList<qint64>, expected);
    QFETCH(QString, pending);
    StatusLineReader reader;
    QList<qint64> found;
    for (const QString &read : qAsConst(reads))
        found += reader.takeTimes(read);
    QCOMPARE(found, expected);
    QCOMPARE(reader.pendingText(), pending);
}

void TestStatusLineReader::lines_data()
{
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("joined across reads") << QStringList{"a\nb", "c\n"} << QStringList{"a", "bc"};
    QTest::addRow("empty lines dropped") << QStringList{"\n\na\n\n"} << QStringList{"a"};
    QTest::addRow("carriage return kept in the line") << QStringList{"50%\r", "['segment0.wav'] ->Success\n"}
                                                      << QStringList{"50%\r", "['segment0.wav'] ->Success"};
    QTest::addRow("nothing complete") << QStringList{"abc"} << QStringList();
}

void TestStatusLineReader::lines()
{
    QFETCH(QStringList, reads);
    QFETCH(QStringList, expected);
    StatusLineReader reader;
    QStringList found;
    for (const QString &read : qAsConst(reads))
        found += reader.takeLines(read);
    QCOMPARE(found, expected);
}

void TestStatusLineReader::resetForgetsUnfinishedLine()
{
    StatusLineReader reader;
    QVERIFY(reader.takeTimes(QStringLiteral("size=1kB time=00:00:0")).isEmpty());
    reader.reset();
    // Without the reset this would complete an old run's line.
    QCOMPARE(reader.takeTimes(QStringLiteral("5.00 x\r")), QList<qint64>());
    QCOMPARE(reader.takeTimes(QStringLiteral("time=00:00:05.00\r")), QList<qint64>{5000000});
}

void TestStatusLineReader::furthestTimeLooksPastTheFirst()
{
    StatusLineReader reader;
    // A short run's whole report arrives at once: its first status says 0.
    QVERIFY(reader.takeTimes(QStringLiteral("size=0kB time=00:00:00.00 x\rsize=88kB time=00:00:03.00 x\n"))
                .isEmpty());
    QCOMPARE(reader.furthestTime(), qint64(3000000));
    reader.takeTimes(QStringLiteral("time=00:00:00.50 x\rtime=00:00:09.00"));
    QCOMPARE(reader.furthestTime(), qint64(3000000));
    reader.reset();
    QCOMPARE(reader.furthestTime(), qint64(0));
}

void TestStatusLineReader::endlessLineStaysBounded()
{
    StatusLineReader reader;
    const QString chunk(10000, QLatin1Char('x'));
    for (int i = 0; i < 20; ++i)
        reader.takeLines(chunk);
    QVERIFY(reader.pendingText().size() <= 64 * 1024);
    QCOMPARE(reader.takeTimes(QStringLiteral(" time=00:00:07.00\r")), QList<qint64>{7000000});
}

QTEST_GUILESS_MAIN(TestStatusLineReader)
#include "tst_statuslinereader.moc"
