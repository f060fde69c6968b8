// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "support/testsupport.h"

class TestMainWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::useBuildAppDir(); }
    void windowPosition_data()
    {
        QTest::addColumn<QRect>("desk"); // for the window of 1140 x 672
        QTest::addColumn<QPoint>("expected");
        QTest::addRow("full hd, x capped") << QRect(0, 0, 1920, 1080) << QPoint(300, 204);
        QTest::addRow("difference of 601") << QRect(0, 0, 1741, 1273) << QPoint(300, 300);
        QTest::addRow("difference of 598") << QRect(0, 0, 1738, 1270) << QPoint(299, 299);
        QTest::addRow("difference of one") << QRect(0, 0, 1141, 673) << QPoint(0, 0);
        QTest::addRow("screen origin ignored") << QRect(1920, 0, 1920, 1080) << QPoint(300, 204);
        QTest::addRow("empty desk") << QRect() << QPoint(300, 300);
    }
    void windowPosition()
    {
        QFETCH(QRect, desk);
        QFETCH(QPoint, expected);
        QCOMPARE(MainWindowPosition(desk, QSize(1140, 672)), expected);
    }
    void sameMaxCount_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected"); // -1: the ceiling
        QTest::addRow("absent") << QString() << 2;
        QTest::addRow("three") << "3" << 3;
        QTest::addRow("not a number") << "many" << 1;
        QTest::addRow("absurd") << "100000" << -1;
    }
    void sameMaxCount()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        SetSettingValue(QLatin1String(SettingsKey::SameMaxCount), stored);
        if (stored.isNull())
            QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
                .remove(QLatin1String(SettingsKey::SameMaxCount));
        MainWidget window;
        QCOMPARE(SameMaxCount(), expected < 0 ? MaxJobLimit() : expected);
        QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::SameMaxCount)), stored); // kept as written
    }
    void dragZone_data()
    {
        QTest::addColumn<int>("pressY");
        QTest::addColumn<bool>("drags");
        QTest::addRow("at the zone's edge") << 72 << true;
        QTest::addRow("just below") << 73 << false;
    }
    void dragZone()
    {
        QFETCH(int, pressY);
        QFETCH(bool, drags);
        MainWidget window;
        window.move(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        const auto moveBy = [&](const QPoint &offset) {
            QMouseEvent move(QEvent::MouseMove, QPointF(QPoint(500, pressY) + offset), Qt::LeftButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &move);
        };
        // Press on the window itself, not on a child that would take the event.
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(500, pressY));
        moveBy(QPoint(30, 20));
        QCOMPARE(window.pos(), drags ? start + QPoint(30, 20) : start);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(530, pressY + 20));
        const QPoint released = window.pos();
        moveBy(QPoint(60, 60));
        QCOMPARE(window.pos(), released); // the drag ends with the release
    }
};

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
