// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "support/toolfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/mainwidget.h"
#include "app/optioncombobox.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "app/wholelisttoolwidget.h"
#include "common/globals.h"
#include "support/testsupport.h"
#include "widgets/bgicontextbutton.h"

void ToolFixture::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->outputFolder(), outputs.path());
}

void ToolFixture::cleanupTestCase()
{
    delete window;
}

void ToolFixture::cleanup()
{
    window->toolsSelectWidget->ShowSelector();
    TestSupport::useBuildAppDir();
}

ToolsBaseWidget *ToolFixture::open(int tool)
{
    ToolsSelectWidget *selector = window->toolsSelectWidget;
    if (selector->toolButton(tool)->isVisible())
        QTest::mouseClick(selector->toolButton(tool), Qt::LeftButton);
    else
        selector->OpenTool(tool);
    return window->panels.value(ToolsSelectWidget::PanelName(tool));
}

bool ToolFixture::add(ToolsBaseWidget *panel, const QStringList &paths)
{
    const int wanted = panel->jobs().size() + paths.size();
    panel->AddFiles(paths);
    return QTest::qWaitFor([&] { return panel->jobs().size() == wanted; }, 60000);
}

void ToolFixture::choose(ToolsBaseWidget *panel, int index)
{
    auto *box = panel->findChild<OptionComboBox *>();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool ToolFixture::convert(ToolsBaseWidget *panel)
{
    panel->convertButton_slots();
    return waitForEnd(panel);
}

bool ToolFixture::waitForEnd(ToolsBaseWidget *panel, int timeoutMs)
{
    auto *wholeList = qobject_cast<WholeListToolWidget *>(panel);
    return TestSupport::waitForJobsToEnd(panel->jobs(), timeoutMs) &&
           QTest::qWaitFor([wholeList] { return !wholeList || !wholeList->isRunning(); }, timeoutMs);
}

QStringList ToolFixture::outputFiles() const
{
    return QDir(outputs.path()).entryList(QDir::Files, QDir::Name);
}

void ToolFixture::answerNextQuestion(int button)
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        lastQuestion = box->text();
        box->button(QMessageBox::StandardButton(button))->click();
    });
    timer->start(10);
}
