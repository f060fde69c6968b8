// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QtTest>

#include "engine/jobhelpers.h"
#include "engine/statuslinereader.h"

// ffmpeg's status lines: the time in one line, and lines out of pieces as they arrive.
class TestStatusLineReader : public QObject
{
    Q_OBJECT
private slots:
    void timeOfOneLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("time"); // ".50" is half a second
        // clang-format off
        QTest::addRow("status line") << "size=     256kB time=00:01:02.50 bitrate=1411.2kbits/s speed=29x"
                                     << "00:01:02.50" << qint64(62500000);
        QTest::addRow("comma fraction") << "time=00:00:01,50 bitrate" << "00:00:01,50" << qint64(1500000);
        QTest::addRow("no fraction") << "time=00:00:07 bitrate=N/A" << "00:00:07" << qint64(7000000);
        QTest::addRow("five characters are too short") << "time=1:2:3" << "1:2:3" << qint64(0);
        QTest::addRow("six characters count") << "time=1:02:3" << "1:02:3" << qint64(3723000000LL);
        QTest::addRow("not available") << "size=N/A time=N/A bitrate=N/A" << "" << qint64(0);
        // clang-format on
    }
    void timeOfOneLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QFETCH(qint64, time);
        QCOMPARE(GetTimeString(line), text);
        QCOMPARE(StatusLineTime(line), time);
    }

    void piecesAsTheyArrive_data()
    {
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QStringList>("lines");
        // clang-format off
        QTest::addRow("cut inside the time") << QStringList{"size=1kB tim", "e=00:00:30.00 bitrate=1k\r"}
            << QList<qint64>{30000000} << QStringList{"size=1kB time=00:00:30.00 bitrate=1k\r"};
        QTest::addRow("unfinished line waits") << QStringList{"a\nb", "c\ntime=00:00:04.00"}
            << QList<qint64>() << QStringList{"a", "bc"};
        QTest::addRow("rest after a carriage return waits")
            << QStringList{"time=00:00:01.00 x\rtime=00:00:0", "2.00\r"}
            << QList<qint64>{1000000, 2000000} << QStringList{"time=00:00:01.00 x\r", "time=00:00:02.00\r"};
        QTest::addRow("two lines in one read, empty lines dropped")
            << QStringList{"time=00:00:01.00\n\n\ntime=00:00:02.00\n"}
            << QList<qint64>{1000000, 2000000} << QStringList{"time=00:00:01.00", "time=00:00:02.00"};
        // Lines are cut at line feeds; each status line within counts.
        QTest::addRow("one piece, every time counts")
            << QStringList{"time=00:00:01.00 x\rtime=00:00:02.00 x\r"}
            << QList<qint64>{1000000, 2000000} << QStringList{"time=00:00:01.00 x\rtime=00:00:02.00 x\r"};
        // clang-format on
    }
    void piecesAsTheyArrive()
    {
        QFETCH(QStringList, reads);
        QFETCH(QList<qint64>, times);
        QFETCH(QStringList, lines);
        StatusLineReader timeReader, lineReader;
        QList<qint64> foundTimes;
        QStringList foundLines;
        for (const QString &read : qAsConst(reads)) {
            foundTimes += timeReader.takeTimes(read);
            foundLines += lineReader.takeLines(read);
        }
        QCOMPARE(foundTimes, times);
        QCOMPARE(foundLines, lines);
        QCOMPARE(timeReader.furthestTime(),
                 times.isEmpty() ? 0 : *std::max_element(times.cbegin(), times.cend()));
    }

    void resetAndEndlessLines()
    {
        StatusLineReader reader;
        QVERIFY(reader.takeTimes(QStringLiteral("size=1kB time=00:00:0")).isEmpty());
        reader.reset();
        // Without the reset this would complete an old run's line.
        QCOMPARE(reader.takeTimes(QStringLiteral("5.00 x\r")), QList<qint64>());
        for (int i = 0; i < 20; ++i)
            reader.takeLines(QString(10000, QLatin1Char('x')));
        QVERIFY(reader.pendingText().size() <= 64 * 1024);
        QCOMPARE(reader.takeTimes(QStringLiteral(" time=00:00:07.00\r")), QList<qint64>{7000000});
        // Console bytes are UTF-8 up to the first NUL; a character split between
        // two reads stays whole, a byte that is no UTF-8 is replaced.
        const QString first = reader.decodeOutput("Gr\xc3");
        QCOMPARE(first + reader.decodeOutput(QByteArray("\xbc\xc3\x9f\xe9 \0x", 7)),
                 QString::fromUtf8("Grü\xc3\x9f\xef\xbf\xbd "));
    }

    void failureMessage_data()
    {
        QTest::addColumn<QString>("console");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("failedWrite");
        // clang-format off
        QTest::addRow("full disk, in plain words")
            << "[mp3 @ 0x55d0c0] Error writing trailer of /o/.p.mp3: No space left on device\n"
               "size=     100kB time=00:00:08.00 bitrate= 102.4kbits/s speed=40x\n"
               "video:0kB audio:100kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 0.1%\n"
               "Error closing file /o/.p.mp3: No space left on device\n" << "The disk is full." << true;
        QTest::addRow("the line naming the error, in readable text")
            << "[wav @ 0x5] Ignoring maximum wav data size, file may be invalid\n"
               "/in/Lied Grüße 日本.wav: Invalid data found when processing input\nConversion failed!\n"
            << "/in/Lied Grüße 日本.wav: Invalid data found when processing input" << false;
        QTest::addRow("matches no streams, not the hint after it")
            << "Stream map '0:a' matches no streams.\nTo ignore this, add a trailing '?' to the map.\n"
            << "Stream map '0:a' matches no streams." << false;
        QTest::addRow("component prefix dropped")
            << "[libmp3lame @ 0x5599ab] Specified sample rate 7 is not supported\n"
            << "Specified sample rate 7 is not supported" << false;
        QTest::addRow("never a statistics line")
            << "Press [q] to stop\nprogress 25%\n[aac @ 0x5] Qavg: 467.987\nvideo:0kB audio:12kB subtitle:0kB\n"
            << "" << false;
        QTest::addRow("a failed write the exit status hides") << "Error writing trailer of x.flac: File too large\n"
            << "The file grew larger than this disk allows." << true;
        // clang-format on
    }
    void failureMessage()
    {
        QFETCH(QString, console);
        QFETCH(QString, reason);
        QFETCH(bool, failedWrite);
        StatusLineReader reader;
        reader.takeLines(console);
        QCOMPARE(reader.failureMessage(), reason);
        QCOMPARE(!reader.writeFailure().isEmpty(), failedWrite);
    }
};

QTEST_GUILESS_MAIN(TestStatusLineReader)
#include "tst_statuslinereader.moc"
