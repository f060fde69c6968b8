// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Going to a panel and back, as fast as a user clicks, and where the keyboard goes.
#include <QtTest>

#include "app/mainwidget.h"
#include "app/optioncombobox.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "support/testsupport.h"
#include "widgets/bgicontextbutton.h"

class TestToolsSelectWidget : public QObject
{
    Q_OBJECT
    MainWidget *window = nullptr;
    ToolsSelectWidget *selector = nullptr;

private slots:
    void initTestCase()
    {
        TestSupport::useBuildAppDir();
        window = new MainWidget;
        selector = window->toolsSelectWidget;
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanupTestCase() { delete window; }

    void backDuringTheSlide_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addRow("one click") << 1;
        QTest::addRow("a second click while it slides") << 2;
    }
    void backDuringTheSlide()
    {
        QFETCH(int, clicks);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(selector->toolButton(ToolsSelectWidget::VisibleToolCount - 1), Qt::LeftButton);
        ToolsBaseWidget *panel = window->panels.value(ToolsSelectWidget::PanelName(7));
        QVERIFY(selector->isSliding());
        panel->backupButton_slots();
        // Whatever the slide would still have done is over by now.
        QTRY_VERIFY_WITH_TIMEOUT(!selector->isSliding(), 60000);
        QCoreApplication::processEvents();
        QVERIFY(selector->isVisible());
        QVERIFY(!panel->isVisible());
    }

    void hiddenPanelTakesNoKeys()
    {
        QTest::mouseClick(selector->toolButton(2), Qt::LeftButton);
        ToolsBaseWidget *panel = window->panels.value(ToolsSelectWidget::PanelName(2));
        QTRY_VERIFY_WITH_TIMEOUT(!selector->isVisible(), 60000);
        auto *box = panel->findChild<OptionComboBox *>();
        box->setFocus();
        box->setCurrentIndex(1);
        emit box->activated(1);
        QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertVolume)), QStringLiteral("1"));
        panel->backupButton_slots();

        QVERIFY(!panel->isAncestorOf(QApplication::focusWidget()));
        // Keys go wherever the keyboard is now, as a user's would.
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(static_cast<QWidget *>(nullptr), key);
        QCOMPARE(GetSettingValue(QLatin1String(SettingsKey::ConvertVolume)), QStringLiteral("1"));
        QVERIFY(!QApplication::activePopupWidget());
    }
};

QTEST_MAIN(TestToolsSelectWidget)
#include "tst_toolsselectwidget.moc"
