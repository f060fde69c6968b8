// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QtTest>

#include "widgets/skinhelper_qsetting.h"

// The skin lookup: a group's own value, else the main group's.
class TestSkinHelper : public QObject
{
    Q_OBJECT
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();

private slots:
    void initTestCase()
    {
        // Before any file is loaded, the process-wide instance answers empty.
        QCOMPARE(skin->GetValue(QStringLiteral("main"), QStringLiteral("bgcolor")), QString());
    }
    void init() { skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini")); }

    void lookup_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("own value") << "Item" << "bgcolor" << "#202124";
        QTest::addRow("falls back to main") << "Item" << "txtcolor" << "#ffffff";
        QTest::addRow("in neither group") << "Item" << "nosuchkey" << "";
        QTest::addRow("group value wins over main") << "QMenu" << "bgcolor" << "#2e3033";
        QTest::addRow("blanks around equals and comment") << "QSpinBox" << "arrowbuttonwidth" << "16";
        QTest::addRow("unknown group falls back") << "NoGroup" << "linecolor" << "#393b3e";
        // clang-format on
    }
    void lookup()
    {
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(skin->GetValue(group, key), expected);
        QCOMPARE(skin->GetValue(group + QLatin1Char('/') + key), expected);
    }
};

QTEST_GUILESS_MAIN(TestSkinHelper)
#include "tst_skinhelper.moc"
