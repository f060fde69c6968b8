// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "common/qcommonutils.h"

class TestQCommonUtils : public QObject
{
    Q_OBJECT
private slots:
    void stringToTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::addRow("dot fraction") << "00:00:10.5" << qint64(10500000);
        QTest::addRow("comma fraction") << "00:01:02,500" << qint64(62500000);
        QTest::addRow("not available") << "N/A" << qint64(0);
        QTest::addRow("spaces everywhere") << "  00 : 00 : 05  " << qint64(5000000);
        QTest::addRow("single field") << "42" << qint64(0);
        QTest::addRow("long duration") << "100:00:00.00" << qint64(360000000000LL);
    }
    void stringToTime()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(QCommonUtils::StringToTime(text), expected);
    }
    void formatting_data()
    {
        QTest::addColumn<bool>("isTime"); // else a file size
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("expected");
        QTest::addRow("fraction dropped") << true << qint64(59999999) << "00:00:59";
        QTest::addRow("hours wrap at 60") << true << qint64(61LL * 3600000000LL) << "01:00:00";
        QTest::addRow("1023") << false << qint64(1023) << "1023 bytes";
        QTest::addRow("1024") << false << qint64(1024) << "1.00 KB";
        QTest::addRow("MB truncates to KiB first") << false << qint64(1048576 + 1023) << "1.00 MB";
        QTest::addRow("2.5 GiB") << false << qint64(2684354560LL) << "2.50 GB";
    }
    void formatting()
    {
        QFETCH(bool, isTime);
        QFETCH(qint64, value);
        QFETCH(QString, expected);
        QCOMPARE(isTime ? QCommonUtils::TimetoString(value) : QCommonUtils::GetFileSizeString(value),
                 expected);
    }
    void md5IsCutAtZero()
    {
        QCOMPARE(QCommonUtils::GetStringMD5(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")),
                 QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
    }
    void removeSubStr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("nested") << "a (b (c) d) e" << "(" << ")" << "a   e";
        QTest::addRow("layout") << "aac, 5.1(side), fltp" << "(" << ")" << "aac, 5.1 , fltp";
        QTest::addRow("unclosed") << "a (b" << "(" << ")" << "a (b";
        // clang-format on
    }
    void removeSubStr()
    {
        QFETCH(QString, text);
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, expected);
        QCommonUtils::RemoveSubStr(text, begin, end, 0);
        QCOMPARE(text, expected);
    }
    void cleanFolder_data()
    {
        QTest::addColumn<bool>("inRuntimeFolder");
        QTest::addColumn<bool>("digestNamed");
        QTest::addColumn<bool>("requireDigest");
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<bool>("folderRemains");
        QTest::addColumn<bool>("subFolderRemains");
        QTest::addRow("plain folder, no guard, flat") << true << false << false << false << true << true;
        QTest::addRow("plain folder, no guard, recursive")
            << true << false << false << true << false << false;
        QTest::addRow("plain folder, guard protects it") << true << false << true << true << true << true;
        QTest::addRow("digest folder, guard, recursive") << true << true << true << true << false << false;
        QTest::addRow("outside the runtime folder") << false << true << true << true << true << true;
    }
    void cleanFolder()
    {
        QFETCH(bool, inRuntimeFolder);
        QFETCH(bool, digestNamed);
        QFETCH(bool, requireDigest);
        QFETCH(bool, recursive);
        QFETCH(bool, folderRemains);
        QFETCH(bool, subFolderRemains);
        QCommonUtils::InitName(QStringLiteral("tessarin"), QStringLiteral("Quillvane"));
        QTemporaryDir outside;
        const QString root = inRuntimeFolder ? QCommonUtils::LogFolder() : outside.path();
        const QString folder =
            root + QStringLiteral("/jobs/") +
            (digestNamed ? QCommonUtils::GetStringMD5(QStringLiteral("x")) : QStringLiteral("work"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
        // A sibling of the folder and the folder above it are never touched.
        const QString sibling = root + QStringLiteral("/keep.wav");
        for (const QString &file :
             {folder + QStringLiteral("/a.wav"), folder + QStringLiteral("/sub/b.wav"), sibling})
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        QCommonUtils::Cleanfolderfiles(folder, requireDigest, recursive);
        QCOMPARE(QFileInfo::exists(folder), folderRemains);
        QCOMPARE(QFileInfo::exists(folder + QStringLiteral("/sub/b.wav")), subFolderRemains);
        QCOMPARE(QFileInfo::exists(folder + QStringLiteral("/a.wav")),
                 !inRuntimeFolder || (requireDigest && !digestNamed));
        QVERIFY(QFile::remove(sibling) && QFileInfo(root + QStringLiteral("/jobs")).isDir());
        QVERIFY(QDir(root + QStringLiteral("/jobs")).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestQCommonUtils)
#include "tst_qcommonutils.moc"
