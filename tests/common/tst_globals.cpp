// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "common/globals.h"

class TestGlobals : public QObject
{
    Q_OBJECT
private slots:
    void settingFolder_data()
    {
        QTest::addColumn<QString>("homeLayout"); // "Documents", "My Documents" or "" (neither)
        QTest::addColumn<QString>("stored");     // "existing", "deleted" or ""
        QTest::addColumn<QString>("expectedBase");
        // clang-format off
        QTest::addRow("stored folder exists") << "Documents" << "existing" << "";
        QTest::addRow("stored folder deleted") << "Documents" << "deleted" << "Documents";
        QTest::addRow("only My Documents") << "My Documents" << "" << "My Documents";
        QTest::addRow("neither, Documents created") << "" << "" << "Documents";
        // clang-format on
    }
    void settingFolder()
    {
        QFETCH(QString, homeLayout);
        QFETCH(QString, stored);
        QFETCH(QString, expectedBase);
        // Each row gets its own home, so the layouts do not leak into each other.
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        if (!homeLayout.isEmpty())
            QVERIFY(QDir(home.path()).mkdir(homeLayout));
        const QString key = QStringLiteral("TestFolderKey");
        QTemporaryDir chosen;
        const QString value = stored == QLatin1String("existing") ? chosen.path()
                              : stored.isEmpty()                  ? QString()
                                                                  : chosen.filePath(QStringLiteral("gone"));
        SetSettingValue(key, value);
        const QString result = GetSettingFolder(key);
        QCOMPARE(result, expectedBase.isEmpty() ? chosen.path()
                                                : home.path() + QLatin1Char('/') + expectedBase +
                                                      QStringLiteral("/tessarin/Quillvane"));
        QVERIFY(QFileInfo(result).isDir());
        QCOMPARE(GetSettingValue(key), value); // the value found is never written back
    }
};

QTEST_GUILESS_MAIN(TestGlobals)
#include "tst_globals.moc"
