#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "common/qcommonutils.h"

class TestQCommonUtils : public QObject
{
    Q_OBJECT
private slots:
    void stringToTime_data();
    void stringToTime();
    void timetoString_data();
    void timetoString();
    void qTimeToMicroseconds_data();
    void qTimeToMicroseconds();
    void fileSizeString_data();
    void fileSizeString();
    void md5_data();
    void md5();
    void trimSubStr_data();
    void trimSubStr();
    void removeSubStr_data();
    void removeSubStr();
    void cleanFolder_data();
    void cleanFolder();
};

void TestQCommonUtils::stringToTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected");
    QTest::addRow("dot fraction is milliseconds") << "00:00:10.5" << qint64(10005000);
    QTest::addRow("two digit fraction") << "00:03:25.47" << qint64(205047000);
    QTest::addRow("comma fraction") << "00:01:02,500" << qint64(62500000);
    QTest::addRow("minutes and seconds") << "1:02" << qint64(62000000);
    QTest::addRow("one hour") << "01:00:00" << qint64(3600000000LL);
    QTest::addRow("empty") << "" << qint64(0);
    QTest::addRow("not available") << "N/A" << qint64(0);
    QTest::addRow("spaces everywhere") << "  00 : 00 : 05  " << qint64(5000000);
    QTest::addRow("two commas") << "00:01:05,1,2" << qint64(60000000);
    QTest::addRow("two dots") << "1.2.3" << qint64(0);
    QTest::addRow("single field") << "42" << qint64(0);
    QTest::addRow("four fields") << "1:2:3:4" << qint64(0);
    QTest::addRow("long duration") << "100:00:00.00" << qint64(360000000000LL);
}

void TestQCommonUtils::stringToTime()
{
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QCOMPARE(QCommonUtils::StringToTime(text), expected);
}

void TestQCommonUtils::timetoString_data()
{
    QTest::addColumn<qint64>("microseconds");
    QTest::addColumn<QString>("expected");
    QTest::addRow("zero") << qint64(0) << "00:00:00";
    QTest::addRow("1h 1m 1s") << qint64(3661000000LL) << "01:01:01";
    QTest::addRow("fraction dropped") << qint64(59999999) << "00:00:59";
    QTest::addRow("hours wrap at 60") << qint64(61LL * 3600000000LL) << "01:00:00";
}

void TestQCommonUtils::timetoString()
{
    QFETCH(qint64, microseconds);
    QFETCH(QString, expected);
    QCOMPARE(QCommonUtils::TimetoString(microseconds), expected);
}

void TestQCommonUtils::qTimeToMicroseconds_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<qint64>("expected");
    QTest::addRow("midnight") << QTime(0, 0, 0) << qint64(0);
    QTest::addRow("two seconds") << QTime(0, 0, 2) << qint64(2000000);
    QTest::addRow("with milliseconds") << QTime(1, 2, 3, 4) << qint64(3723004000LL);
    QTest::addRow("four hours") << QTime(4, 0, 0) << qint64(14400000000LL);
}

void TestQCommonUtils::qTimeToMicroseconds()
{
    QFETCH(QTime, time);
    QFETCH(qint64, expected);
    QCOMPARE(QCommonUtils::QTimetominsecond(time), expected);
}

void TestQCommonUtils::fileSizeString_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addRow("zero") << qint64(0) << "0 bytes";
    QTest::addRow("1023") << qint64(1023) << "1023 bytes";
    QTest::addRow("1024") << qint64(1024) << "1.00 KB";
    QTest::addRow("1536") << qint64(1536) << "1.50 KB";
    QTest::addRow("1 MiB") << qint64(1048576) << "1.00 MB";
    QTest::addRow("MB truncates to KiB first") << qint64(1048576 + 1023) << "1.00 MB";
    QTest::addRow("1 GiB") << qint64(1073741824LL) << "1.00 GB";
    QTest::addRow("2.5 GiB") << qint64(2684354560LL) << "2.50 GB";
}

void TestQCommonUtils::fileSizeString()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(QCommonUtils::GetFileSizeString(bytes), expected);
}

void TestQCommonUtils::md5_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addRow("ascii") << "abc" << "900150983CD24FB0D6963F7D28E17F72";
    QTest::addRow("utf-8 path") << QStringLiteral("/tmp/声音.wav")
                                << QString::fromLatin1(QCryptographicHash::hash(
                                                           QStringLiteral("/tmp/声音.wav").toUtf8(),
                                                           QCryptographicHash::Md5)
                                                           .toHex())
                                       .toUpper();
    QTest::addRow("cut at zero") << QString(QStringLiteral("abc") + QChar(0) + QStringLiteral("def"))
                                 << "900150983CD24FB0D6963F7D28E17F72";
}

void TestQCommonUtils::md5()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QCommonUtils::GetStringMD5(text), expected);
}

void TestQCommonUtils::trimSubStr_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedEndPos");
    const QString stream = QStringLiteral("Stream #0:0 : Audio: aac  , 44100 Hz, stereo, fltp, 128 kb/s");
    QTest::addRow("codec") << stream << "Audio:" << "," << 0 << "aac" << 26;
    QTest::addRow("case-insensitive") << stream << "AUDIO:" << "," << 0 << "aac" << 26;
    QTest::addRow("between commas from cursor") << stream << "," << "," << 26 << "44100 Hz" << 36;
    QTest::addRow("up to kb/s") << stream << "," << "kb/s" << 50 << "128" << 56;
    QTest::addRow("begin missing") << stream << "Video:" << "," << 0 << "" << -1;
    QTest::addRow("end missing after begin") << QStringLiteral("Duration: 00:00:01") << "Duration:" << ","
                                             << 0 << "" << -1;
}

void TestQCommonUtils::trimSubStr()
{
    QFETCH(QString, source);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(int, from);
    QFETCH(QString, expected);
    QFETCH(int, expectedEndPos);
    int endPos = -1;
    QCOMPARE(QCommonUtils::TrimSubStr(source, begin, end, from, &endPos), expected);
    QCOMPARE(endPos, expectedEndPos);
}

void TestQCommonUtils::removeSubStr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("expected");
    QTest::addRow("nested") << "a (b (c) d) e" << "(" << ")" << "a   e";
    QTest::addRow("two groups") << "x(1)y(2)z" << "(" << ")" << "x y z";
    QTest::addRow("stream language") << "Stream #0:0(und): Audio" << "(" << ")" << "Stream #0:0 : Audio";
    QTest::addRow("layout") << "aac, 5.1(side), fltp" << "(" << ")" << "aac, 5.1 , fltp";
    QTest::addRow("square brackets") << "Stream #0:1[0x2]: Audio" << "[" << "]" << "Stream #0:1 : Audio";
    QTest::addRow("unclosed") << "a (b" << "(" << ")" << "a (b";
    QTest::addRow("no brackets") << "plain" << "(" << ")" << "plain";
}

void TestQCommonUtils::removeSubStr()
{
    QFETCH(QString, text);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, expected);
    QCommonUtils::RemoveSubStr(text, begin, end, 0);
    QCOMPARE(text, expected);
}

void TestQCommonUtils::cleanFolder_data()
{
    QTest::addColumn<bool>("digestNamed");
    QTest::addColumn<bool>("requireDigest");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("folderRemains");
    QTest::addColumn<bool>("subFolderRemains");
    QTest::addRow("plain folder, no guard, flat") << false << false << false << true << true;
    QTest::addRow("plain folder, no guard, recursive") << false << false << true << false << false;
    QTest::addRow("plain folder, guard protects it") << false << true << true << true << true;
    QTest::addRow("digest folder, guard, recursive") << true << true << true << false << false;
}

void TestQCommonUtils::cleanFolder()
{
    QFETCH(bool, digestNamed);
    QFETCH(bool, requireDigest);
    QFETCH(bool, recursive);
    QFETCH(bool, folderRemains);
    QFETCH(bool, subFolderRemains);

    QTemporaryDir root;
    const QString name = digestNamed ? QCommonUtils::GetStringMD5(QStringLiteral("x")) : QStringLiteral("work");
    const QString folder = root.filePath(name);
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
    for (const QString &file : {folder + QStringLiteral("/a.wav"), folder + QStringLiteral("/sub/b.wav")}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // A sibling of the folder must never be touched.
    QFile sibling(root.filePath(QStringLiteral("keep.wav")));
    QVERIFY(sibling.open(QIODevice::WriteOnly));
    sibling.close();

    QCommonUtils::Cleanfolderfiles(folder, requireDigest, recursive);

    QCOMPARE(QFileInfo::exists(folder), folderRemains);
    QCOMPARE(QFileInfo::exists(folder + QStringLiteral("/sub/b.wav")), subFolderRemains);
    if (!requireDigest || digestNamed)
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/a.wav")));
    QVERIFY(QFileInfo::exists(sibling.fileName()));
}

QTEST_GUILESS_MAIN(TestQCommonUtils)
#include "tst_qcommonutils.moc"
