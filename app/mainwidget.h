// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class TopWidget;
class ToolsSelectWidget;
class ToolsBaseWidget;
class QPixmap;

// The one top-level window: background, title bar, tool selector and the tool
// panels that slide over the selector. It keeps what all panels share.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // The texts of the current language: window title, title bar, selector and
    // an open panel. Runs at construction and after each change of language.
    void UpdateText();

    // Stops every job of every panel and removes their part files; returns
    // when the children are gone.
    void StopAllJobs();
    // SIGTERM, SIGINT and SIGHUP end the application as closing would, but
    // without asking: the jobs are stopped and cleaned up first.
    void QuitOnTerminationSignals();

    QWidget *background = nullptr;
    TopWidget *topWidget = nullptr;
    ToolsSelectWidget *toolsSelectWidget = nullptr;
    QMap<QString, ToolsBaseWidget *> panels; // owned as children, keyed by panel name

    // The output folder of every panel, for this run; the core's jobs read it.
    QString outputFolder() const;
    void setOutputFolder(const QString &folder);
    // Jobs of one panel that may convert at once, as stored (the core holds it in bounds).
    int sameMaxCount() const;
    void setSameMaxCount(int count);

    // Title bar height plus a little: presses above this start a window drag.
    static constexpr int DragZoneHeight = 72;
    // The smallest window in which every panel's controls fit, in both languages.
    static constexpr int MinimumWidth = 940;
    static constexpr int MinimumHeight = 580;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Title bar, selector and the open panel fill the window as it is now.
    void layoutChildren();

    bool dragging = false;
    QPoint dragStart;
};

// Where the main window goes on a screen of the given rectangle.
QPoint MainWindowPosition(const QRect &desk, const QSize &window);

extern MainWidget *g_mainWidget;
// The button sprite, loaded once by the first main window; the title bar cuts its images from it.
extern QPixmap *g_spritePixmap;
