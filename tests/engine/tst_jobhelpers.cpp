#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "engine/jobhelpers.h"
#include "support/testsupport.h"

class TestJobHelpers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void timeString_data();
    void timeString();
    void statusLineTime_data();
    void statusLineTime();
    void consoleTextStopsAtNul();
    void childStartsLikeEveryJob();
    void baseName_data();
    void baseName();
    void uniqueOutputPath_data();
    void uniqueOutputPath();
    void advanceProgress_data();
    void advanceProgress();
    void outputSize_data();
    void outputSize();

private:
    QTemporaryDir outputDir;
};

void TestJobHelpers::initTestCase()
{
    TestSupport::useBuildAppDir();
    QVERIFY(outputDir.isValid());
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputDir.path());
}

void TestJobHelpers::timeString_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::addRow("status line") << "size=     256kB time=00:01:02.50 bitrate=1411.2kbits/s speed=29x"
                                 << "00:01:02.50";
    QTest::addRow("comma fraction") << "time=00:00:01,50 bitrate"
                                    << "00:00:01,50";
    QTest::addRow("no fraction") << "time=00:00:07 bitrate=N/A"
                                 << "00:00:07";
    QTest::addRow("blanks around equals") << "time = 00:00:03.00"
                                          << "00:00:03.00";
    QTest::addRow("dot is a wildcard") << "time=00:00:01x50"
                                       << "00:00:01x50";
    QTest::addRow("first of several status lines") << "time=00:00:01.00 x\rsize=1kB time=00:00:02.00 x\r"
                                                   << "00:00:01.00";
    QTest::addRow("short clock") << "time=1:2:3"
                                 << "1:2:3";
    QTest::addRow("not available") << "size=N/A time=N/A bitrate=N/A"
                                   << "";
    QTest::addRow("capital Time") << "Time=00:00:01.00"
                                  << "";
    QTest::addRow("no time") << "Stream mapping:"
                             << "";
    QTest::addRow("empty") << ""
                           << "";
}

void TestJobHelpers::timeString()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(GetTimeString(line), expected);
}

void TestJobHelpers::statusLineTime_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint64>("expected");
    QTest::addRow("thirty seconds") << "size=1kB time=00:00:30.00 bitrate=1kbits/s" << qint64(30000000);
    QTest::addRow("an hour and a bit") << "time=01:00:02.00" << qint64(3602000000LL);
    QTest::addRow("five characters are too short") << "time=1:2:3" << qint64(0);
    QTest::addRow("six characters count") << "time=1:02:3" << qint64(3723000000LL);
    QTest::addRow("zero") << "time=00:00:00.00" << qint64(0);
    QTest::addRow("none") << "frame=1" << qint64(0);
}

void TestJobHelpers::statusLineTime()
{
    QFETCH(QString, line);
    QFETCH(qint64, expected);
    QCOMPARE(StatusLineTime(line), expected);
}

void TestJobHelpers::consoleTextStopsAtNul()
{
    QCOMPARE(ConsoleText(QByteArray("abc\0def", 7)), QStringLiteral("abc"));
    QCOMPARE(ConsoleText(QByteArray("caf\xe9")), QString(QStringLiteral("caf") + QChar(0xe9)));
    QCOMPARE(ConsoleText(QByteArray()), QString());
}

void TestJobHelpers::childStartsLikeEveryJob()
{
    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString previous = g_appDir;
    g_appDir = appDir.path();
    const QString program = appDir.filePath(QStringLiteral("child"));
    QVERIFY(TestSupport::writeExecutable(program, QStringLiteral("#!/bin/sh\n"
                                                                 "pwd -P\n"
                                                                 "echo \"$FONTCONFIG_FILE\"\n"
                                                                 "echo to-stderr >&2\n"
                                                                 "for a; do echo \"[$a]\"; done\n")));
    QProcess process;
    StartChildProcess(process, program, {QStringLiteral("-i"), QStringLiteral("a b.wav")});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.openMode(), QIODevice::ReadWrite);
    const QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    g_appDir = previous;
    QCOMPARE(lines.value(0), QDir(appDir.path()).canonicalPath());
    QCOMPARE(lines.value(1), appDir.path() + QStringLiteral("/font/fonts.conf"));
    // Error output arrives with the standard output.
    QCOMPARE(lines.value(2), QStringLiteral("to-stderr"));
    // Each argument reaches the child whole, blanks and all.
    QCOMPARE(lines.mid(3, 2), QStringList({QStringLiteral("[-i]"), QStringLiteral("[a b.wav]")}));
}

void TestJobHelpers::baseName_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addRow("plain") << "/music/song.wav"
                           << "song";
    QTest::addRow("suffix inside the name") << "/music/a.mp3.b.mp3"
                                            << "a.b";
    QTest::addRow("suffix twice at the end") << "/music/a.mp3.mp3"
                                             << "a";
    QTest::addRow("case-sensitive") << "/music/Song.MP3.mp3"
                                    << "Song.MP3";
    QTest::addRow("other dots stay") << "/music/v1.2 live.flac"
                                     << "v1.2 live";
    QTest::addRow("no suffix") << "/music/README"
                               << "README";
}

void TestJobHelpers::baseName()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(OutputBaseName(input), expected);
}

void TestJobHelpers::uniqueOutputPath_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("collisionOpen");
    QTest::addColumn<QString>("expected");
    const QString blank = QStringLiteral(" (");
    QTest::addRow("free name") << QStringList() << "/in/song.wav"
                               << ""
                               << "mp3" << blank << "song.mp3";
    QTest::addRow("first collision") << QStringList{"song.mp3"} << "/in/song.wav"
                                     << ""
                                     << "mp3" << blank << "song (0).mp3";
    QTest::addRow("second collision") << QStringList{"song.mp3", "song (0).mp3"} << "/in/song.wav"
                                      << ""
                                      << "mp3" << blank << "song (1).mp3";
    QTest::addRow("gap is not filled") << QStringList{"song.mp3", "song (1).mp3"} << "/in/song.wav"
                                       << ""
                                       << "mp3" << blank << "song (0).mp3";
    QTest::addRow("tool tag") << QStringList{"voice-1_25.mp3"} << "/in/voice.mp3"
                              << "-1_25"
                              << "mp3" << blank << "voice-1_25 (0).mp3";
    QTest::addRow("split part") << QStringList() << "/in/long.flac"
                                << "-split-3"
                                << "flac" << blank << "long-split-3.flac";
    QTest::addRow("no blank before the number") << QStringList{"a-cat.wav", "a-cat(0).wav"} << "/in/a.wav"
                                                << "-cat"
                                                << "wav"
                                                << "("
                                                << "a-cat(1).wav";
    QTest::addRow("vocal") << QStringList{"talk-vocal.m4a"} << "/in/talk.m4a"
                           << "-vocal"
                           << "m4a"
                           << "("
                           << "talk-vocal(0).m4a";
    QTest::addRow("suffix inside the name") << QStringList() << "/in/a.mp3.b.mp3"
                                            << ""
                                            << "mp3" << blank << "a.b.mp3";
    // A name a running job has taken counts as existing, though its file is not written yet.
    QTest::addRow("reserved by a running job") << QStringList{"song.mp3", "*song (0).mp3"} << "/in/song.wav"
                                               << ""
                                               << "mp3" << blank << "song (1).mp3";
}

void TestJobHelpers::uniqueOutputPath()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, input);
    QFETCH(QString, tag);
    QFETCH(QString, extension);
    QFETCH(QString, collisionOpen);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), dir.path());
    for (const QString &name : qAsConst(existing)) {
        if (name.startsWith(QLatin1Char('*')))
            ReserveOutputPath(dir.filePath(name.mid(1)));
        else
            QVERIFY(TestSupport::writeFileOfSize(dir.filePath(name), 1));
    }
    const QString out = UniqueOutputPath(input, tag, extension, collisionOpen);
    for (const QString &name : qAsConst(existing))
        ReleaseOutputPath(dir.filePath(name.mid(1)));
    QCOMPARE(out, dir.path() + QLatin1Char('/') + expected);
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(!IsOutputPathReserved(out));
}

void TestJobHelpers::advanceProgress_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<double>("reference");
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<int>("after");
    QTest::addRow("half") << qint64(30000000) << 60000000.0 << 0 << true << 5000;
    QTest::addRow("a third, truncated") << qint64(20000000) << 60000000.0 << 0 << true << 3333;
    QTest::addRow("at the end") << qint64(60000000) << 60000000.0 << 0 << true << 9999;
    QTest::addRow("beyond the end") << qint64(90000000) << 60000000.0 << 0 << true << 9999;
    QTest::addRow("smaller later time keeps") << qint64(10000000) << 60000000.0 << 5000 << true << 5000;
    QTest::addRow("no duration") << qint64(30000000) << 0.0 << 0 << false << 0;
    QTest::addRow("no time") << qint64(0) << 60000000.0 << 1200 << false << 1200;
    QTest::addRow("negative time") << qint64(-5) << 60000000.0 << 1200 << false << 1200;
    // The speed tool measures against the output's length: 60 s at factor 2.0.
    QTest::addRow("shortened reference") << qint64(15000000) << 60000000.0 / 2.0 << 0 << true << 5000;
    // Long files lose nothing in the division.
    QTest::addRow("ten hours, half") << qint64(18000000000LL) << 36000000000.0 << 0 << true << 5000;
}

void TestJobHelpers::advanceProgress()
{
    QFETCH(qint64, time);
    QFETCH(double, reference);
    QFETCH(int, before);
    QFETCH(bool, usable);
    QFETCH(int, after);
    int progress = before;
    QCOMPARE(AdvanceProgress(time, reference, progress), usable);
    QCOMPARE(progress, after);
}

void TestJobHelpers::outputSize_data()
{
    QTest::addColumn<qint64>("size"); // -1: no file
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("settled");
    QTest::addColumn<bool>("keptAfterSettling");
    QTest::addRow("missing") << qint64(-1) << int(OutputSize::Missing) << false << false;
    QTest::addRow("empty") << qint64(0) << int(OutputSize::TooSmall) << false << false;
    QTest::addRow("1023 bytes") << qint64(1023) << int(OutputSize::TooSmall) << false << false;
    QTest::addRow("1024 bytes") << qint64(1024) << int(OutputSize::Borderline) << false << false;
    QTest::addRow("1025 bytes") << qint64(1025) << int(OutputSize::Usable) << true << true;
}

void TestJobHelpers::outputSize()
{
    QFETCH(qint64, size);
    QFETCH(int, expected);
    QFETCH(bool, settled);
    QFETCH(bool, keptAfterSettling);
    const QString path = outputDir.filePath(QStringLiteral("result.bin"));
    QFile::remove(path);
    if (size >= 0)
        QVERIFY(TestSupport::writeFileOfSize(path, size));
    QCOMPARE(int(ClassifyOutput(path)), expected);
    QCOMPARE(SettleOutput(path), settled);
    QCOMPARE(QFileInfo::exists(path), keptAfterSettling);
}

QTEST_GUILESS_MAIN(TestJobHelpers)
#include "tst_jobhelpers.moc"
