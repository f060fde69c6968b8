// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPointer>
#include <QWidget>

class QPropertyAnimation;
class ToolsBaseWidget;

namespace MyQtCustom {
class BgIconTextButton;
}

// The start page: one large button per tool. A click creates the tool's panel
// the first time and slides it in over the selector.
class ToolsSelectWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsSelectWidget(QWidget *parent = nullptr);

    void Layout();
    void UpdateSkin();
    void UpdateText();

    void ShowPanel(ToolsBaseWidget *panel);
    bool ShowSelector();

    // The tools in grid order; the last two, the script-driven ones, show
    // only while the experimental tools are asked for.
    static constexpr int ToolCount = 10;
    static constexpr int VisibleToolCount = 8;
    void ShowExperimentalTools(bool shown);
    MyQtCustom::BgIconTextButton *toolButton(int index) const { return buttons[index]; }

    // The panel of a tool, created on first use and kept in the main window.
    ToolsBaseWidget *OpenTool(int index);
    static QString PanelName(int index);

    static constexpr int SlideDurationMs = 300;
    // The selector's height in the window's designed size.
    static constexpr int DesignedHeight = 603;
    // A panel is sliding in; its end hides everything else.
    bool isSliding() const { return !slide.isNull(); }
    // Ends a slide at once, as its end would (the window changes size under it).
    void FinishSlide();

public slots:
    void vocformatcovertButton_slots();
    void vocspeedcovertButton_slots();
    void vocvolumecovertButton_slots();
    void vocinvertcovertButton_slots();
    void vocmixcovertButton_slots();
    void vocsplitcovertButton_slots();
    void vocconcatcovertButton_slots();
    void voctrimcovertButton_slots();
    void vocuvrcovertButton_slots();
    void vocchangercovertButton_slots();

private:
    // Ends a slide where it is; the panel it brought in stays where it ended.
    void stopSlide();
    // Hides the selector and every panel but `panel`, which now covers them.
    void coverWith(ToolsBaseWidget *panel);

    MyQtCustom::BgIconTextButton *buttons[ToolCount];
    QPointer<QPropertyAnimation> slide;
    QPointer<ToolsBaseWidget> slidingPanel;
};
