// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/mainwidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>

#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "common/globals.h"
#include "common/qcommonutils.h"
#include "engine/partfile.h"
#include "platform/terminationsignals.h"
#include "widgets/displayscale.h"
#include "widgets/skinhelper_qsetting.h"

MainWidget *g_mainWidget = nullptr;
QPixmap *g_spritePixmap = nullptr;

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    g_mainWidget = this;
    g_scale = QCommonUtils::GetScaleDxy(this);
    resize(ScaledPx(1140), ScaledPx(672));

    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));

    if (!g_spritePixmap)
        g_spritePixmap = new QPixmap(QStringLiteral(":/images/zqpublic.png"));

    background = new QWidget(this);
    topWidget = new TopWidget(this);
    toolsSelectWidget = new ToolsSelectWidget(this);
    panels.clear();
    setOutputFolder(GetSettingFolder(QLatin1String(SettingsKey::OutFolder)));
    setSameMaxCount(GetSettingValue(QLatin1String(SettingsKey::SameMaxCount), QStringLiteral("2")).toInt());
    // What a killed or crashed run of ours left in the output folder.
    PartFile::RemoveStale(outputFolder());

    setMinimumSize(ScaledPx(MinimumWidth), ScaledPx(MinimumHeight));
    layoutChildren();

    background->setStyleSheet(QStringLiteral("QWidget{border: 1px solid ") +
                              skin->GetValue(QStringLiteral("main"), QStringLiteral("bgbordercolor")) +
                              QStringLiteral(";border-radius: 0px; background-color:") +
                              skin->GetValue(QStringLiteral("main"), QStringLiteral("bgcolor")) +
                              QStringLiteral(";}"));
    setWindowIcon(QIcon(QStringLiteral(":/images/program.png")));
    topWidget->UpdateSkin();
    toolsSelectWidget->UpdateSkin();

    UpdateText();
}

void MainWidget::UpdateText()
{
    setWindowTitle(QLatin1String(AppIdentity::Organisation) + QLatin1Char(' ') +
                   QLatin1String(AppIdentity::Application));
    topWidget->UpdateText();
    toolsSelectWidget->UpdateText();
    // Panels get their texts when shown; one that is open now must not wait for that.
    for (ToolsBaseWidget *panel : qAsConst(panels)) {
        if (!panel->isHidden())
            panel->FlushText();
    }
}

QString MainWidget::outputFolder() const
{
    return OutputFolder();
}

void MainWidget::setOutputFolder(const QString &folder)
{
    SetOutputFolder(folder);
}

int MainWidget::sameMaxCount() const
{
    return StoredSameMaxCount();
}

void MainWidget::setSameMaxCount(int count)
{
    SetSameMaxCount(count);
}

void MainWidget::layoutChildren()
{
    const int w = width();
    const int h = height();
    background->setGeometry(0, 0, w, h);
    topWidget->setGeometry(0, 0, w, ScaledPx(68));
    const int top = topWidget->height();
    const QRect area(1, top, w - 2, h - 1 - top);
    toolsSelectWidget->setGeometry(area);
    topWidget->Layout();
    toolsSelectWidget->Layout();
    // A panel covers the selector's area; one still sliding in is put in place at once.
    toolsSelectWidget->FinishSlide();
    for (ToolsBaseWidget *panel : qAsConst(panels)) {
        if (panel->isVisible())
            panel->setGeometry(area);
    }
}

void MainWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

MainWidget::~MainWidget()
{
    if (g_mainWidget == this)
        g_mainWidget = nullptr;
}

void MainWidget::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    const QPoint position = event->localPos().toPoint();
    if (position.y() > ScaledPx(DragZoneHeight))
        return;
    dragging = true;
    dragStart = position;
}

void MainWidget::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    if (!dragging)
        return;
    const QPoint shift = event->localPos().toPoint() - dragStart;
    setGeometry(geometry().translated(shift));
}

void MainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    dragging = false;
}

void MainWidget::closeEvent(QCloseEvent *event)
{
    if (!ToolsBaseWidget::ConfirmStopJobs(this, panels.values())) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWidget::StopAllJobs()
{
    for (ToolsBaseWidget *panel : qAsConst(panels))
        panel->StopAllJobs();
}

void MainWidget::QuitOnTerminationSignals()
{
    auto *termination = new TerminationSignals(this);
    connect(termination, &TerminationSignals::received, this, [this] {
        StopAllJobs();
        QApplication::quit();
    });
}

void MainWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        repaint();
}

QPoint MainWindowPosition(const QRect &desk, const QSize &window)
{
    auto axis = [](int screen, int win) {
        const int difference = qAbs(screen - win);
        const int offset = difference < 2 ? 0 : difference / 2;
        return qMin(offset, 300);
    };
    const int deskWidth = qMax(0, desk.right() + 1 - desk.left());
    const int deskHeight = qMax(0, desk.bottom() + 1 - desk.top());
    return QPoint(axis(deskWidth, window.width()), axis(deskHeight, window.height()));
}
