// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/toolsselectwidget.h"

#include <QPropertyAnimation>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "app/topwidget.h"
#include "common/globals.h"
#include "tools/changeconvert/changeconvertwidget.h"
#include "tools/concatconvert/concatconvertwidget.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "tools/invertconvert/invertconvertwidget.h"
#include "tools/mixconvert/mixconvertwidget.h"
#include "tools/speedconvert/speedconvertwidget.h"
#include "tools/splitconvert/splitconvertwidget.h"
#include "tools/trimconvert/trimconvertwidget.h"
#include "tools/uvrconvert/urvconvertwidget.h"
#include "tools/volumeconvert/volumeconvertwidget.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/displayscale.h"

namespace {
struct Tool
{
    const char *icon;
    const char *label;
    const char *tip;
    const char *panel;
    ToolsBaseWidget *(*create)(QWidget *parent);
};

template<class Panel> ToolsBaseWidget *make(QWidget *parent)
{
    return new Panel(parent);
}

// Grid order: two rows of four, then the two experimental tools.
const Tool tools[ToolsSelectWidget::ToolCount] = {
    {"convert", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Format Convert"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Convert files to MP3, AAC, FLAC, WAV or AMR."), "FormatConvert",
     make<FormatConvertWidget>},
    {"speed", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Speed Adjust"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Play faster or slower without changing the pitch."),
     "SpeedConvert", make<SpeedConvertWidget>},
    {"volume", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Volume Adjust"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Even out the loudness, or make files louder or quieter."),
     "VolumeConvert", make<VolumeConvertWidget>},
    {"invert", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Reverse"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Reverse each file: it plays backwards."), "InvertConvert",
     make<InvertConvertWidget>},
    {"mix", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Mix"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Overlay every file of the list into one, played together."),
     "MixConvert", make<MixConvertWidget>},
    {"split", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Split"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget",
                       "Cut each file into pieces of a length or into a number of parts."),
     "SplitConvert", make<SplitConvertWidget>},
    {"concat", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Concat"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Join every file of the list, one after another, into one."),
     "ConcatConvert", make<ConcatConvertWidget>},
    {"trim", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Trim"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Keep one time range of each file."), "TrimConvert",
     make<TrimConvertWidget>},
    {"audio", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice separation"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Separate the voice from the accompaniment."), "UVRConvert",
     make<URVConvertWidget>},
    {"user", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Changer"),
     QT_TRANSLATE_NOOP("ToolsSelectWidget", "Make a voice sound like another speaker."), "ChangerConvert",
     make<ChangeConvertWidget>},
};
} // namespace

ToolsSelectWidget::ToolsSelectWidget(QWidget *parent) : QWidget(parent)
{
    for (auto &button : buttons)
        button = new MyQtCustom::BgIconTextButton(this);
    void (ToolsSelectWidget::*handlers[ToolCount])() = {
        &ToolsSelectWidget::vocformatcovertButton_slots, &ToolsSelectWidget::vocspeedcovertButton_slots,
        &ToolsSelectWidget::vocvolumecovertButton_slots, &ToolsSelectWidget::vocinvertcovertButton_slots,
        &ToolsSelectWidget::vocmixcovertButton_slots,    &ToolsSelectWidget::vocsplitcovertButton_slots,
        &ToolsSelectWidget::vocconcatcovertButton_slots, &ToolsSelectWidget::voctrimcovertButton_slots,
        &ToolsSelectWidget::vocuvrcovertButton_slots,    &ToolsSelectWidget::vocchangercovertButton_slots};
    for (int i = 0; i < ToolCount; ++i)
        connect(buttons[i], qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this, handlers[i]);
}

QString ToolsSelectWidget::PanelName(int index)
{
    return QLatin1String(tools[index].panel);
}

void ToolsSelectWidget::Layout()
{
    const int buttonWidth = ScaledPx(200);
    const int buttonHeight = ScaledPx(60);
    const int spacing = ScaledPx(30);
    const int left = (width() - 4 * buttonWidth - 3 * spacing) / 2;
    // The grid keeps its place in the designed area and the middle of a larger or smaller one.
    // The third row keeps the others' spacing: shown, it must not cover the second.
    const int shift = (height() - ScaledPx(DesignedHeight)) / 2;
    const int rowTop[] = {ScaledPx(140) + shift, ScaledPx(280) + shift, ScaledPx(420) + shift};
    const int icon = ScaledPx(40);
    for (int i = 0; i < ToolCount; ++i) {
        MyQtCustom::BgIconTextButton *button = buttons[i];
        button->setGeometry(left + (i % 4) * (buttonWidth + spacing), rowTop[i / 4], buttonWidth,
                            buttonHeight);
        button->setIconGeometry(int(g_scale), (buttonHeight - icon) / 2, icon, icon);
        button->setTextGeometry(1 + icon, (buttonHeight - icon) / 2, buttonWidth - icon - ScaledPx(5), icon);
        button->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        const QString name = QLatin1String(tools[i].icon);
        const QPixmap normal(QStringLiteral(":/images/normal/") + name + QStringLiteral(".png"));
        const QPixmap light(QStringLiteral(":/images/light/") + name + QStringLiteral(".png"));
        button->setIconPixmap(normal, light, normal, normal);
    }
    ShowExperimentalTools(ExperimentalToolsShown());
}

void ToolsSelectWidget::ShowExperimentalTools(bool shown)
{
    for (int i = VisibleToolCount; i < ToolCount; ++i)
        buttons[i]->setVisible(shown);
}

void ToolsSelectWidget::UpdateSkin()
{
    for (MyQtCustom::BgIconTextButton *button : buttons)
        button->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 0, 1, true, true, true, true);
}

void ToolsSelectWidget::UpdateText()
{
    for (int i = 0; i < ToolCount; ++i) {
        buttons[i]->setText(tr(tools[i].label));
        buttons[i]->setToolTip(tr(tools[i].tip));
    }
}

ToolsBaseWidget *ToolsSelectWidget::OpenTool(int index)
{
    if (!g_mainWidget || index < 0 || index >= ToolCount || !tools[index].create)
        return nullptr;
    const QString name = PanelName(index);
    ToolsBaseWidget *panel = g_mainWidget->panels.value(name);
    if (!panel) {
        panel = tools[index].create(g_mainWidget);
        connect(panel, &ToolsBaseWidget::backRequested, this, &ToolsSelectWidget::ShowSelector);
        g_mainWidget->panels.insert(name, panel);
    }
    ShowPanel(panel);
    return panel;
}

void ToolsSelectWidget::ShowPanel(ToolsBaseWidget *panel)
{
    if (!panel || !g_mainWidget)
        return;
    // A second click on a tool while its panel slides in changes nothing.
    if (isSliding() && slidingPanel == panel)
        return;
    stopSlide();
    const int w = g_mainWidget->width();
    const int h = g_mainWidget->height();
    const int top = g_mainWidget->topWidget ? g_mainWidget->topWidget->height() : 0;
    const QRect end(1, top, w - 2, h - 2 - top + 1);
    const QRect start = end.translated(w - 1, 0);

    panel->setGeometry(end);
    panel->Layout();
    panel->UpdateSkin();
    panel->FlushText();
    panel->show();
    panel->raise();
    // The keyboard follows the eye: keys must not reach the selector or a panel behind.
    panel->setFocus(Qt::OtherFocusReason);

    auto *animation = new QPropertyAnimation(panel, "geometry");
    animation->setDuration(SlideDurationMs);
    animation->setStartValue(start);
    animation->setEndValue(end);
    connect(animation, &QAbstractAnimation::finished, this, [this, panel] { coverWith(panel); });
    slide = animation;
    slidingPanel = panel;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToolsSelectWidget::coverWith(ToolsBaseWidget *panel)
{
    // Whatever is visible at the end, apart from the panel, was behind it.
    hide();
    for (ToolsBaseWidget *other : qAsConst(g_mainWidget->panels)) {
        if (other != panel)
            other->hide();
    }
}

void ToolsSelectWidget::FinishSlide()
{
    ToolsBaseWidget *panel = slidingPanel;
    if (!isSliding() || !panel)
        return;
    stopSlide();
    coverWith(panel);
}

void ToolsSelectWidget::stopSlide()
{
    // A stopped animation never reports its end, so it hides nothing later.
    if (slide)
        slide->stop();
    slidingPanel.clear();
}

bool ToolsSelectWidget::ShowSelector()
{
    // Back during a slide: the slide's end must not hide the selector shown now.
    stopSlide();
    bool anyVisible = false;
    if (g_mainWidget) {
        for (ToolsBaseWidget *panel : qAsConst(g_mainWidget->panels)) {
            if (!panel->isVisible())
                continue;
            panel->RemoveAllItems();
            panel->hide();
            anyVisible = true;
        }
    }
    show();
    // A hidden panel must not keep the keyboard: its option box would still take keys.
    setFocus(Qt::OtherFocusReason);
    return anyVisible;
}

void ToolsSelectWidget::vocformatcovertButton_slots()
{
    OpenTool(0);
}
void ToolsSelectWidget::vocspeedcovertButton_slots()
{
    OpenTool(1);
}
void ToolsSelectWidget::vocvolumecovertButton_slots()
{
    OpenTool(2);
}
void ToolsSelectWidget::vocinvertcovertButton_slots()
{
    OpenTool(3);
}
void ToolsSelectWidget::vocmixcovertButton_slots()
{
    OpenTool(4);
}
void ToolsSelectWidget::vocsplitcovertButton_slots()
{
    OpenTool(5);
}
void ToolsSelectWidget::vocconcatcovertButton_slots()
{
    OpenTool(6);
}
void ToolsSelectWidget::voctrimcovertButton_slots()
{
    OpenTool(7);
}
void ToolsSelectWidget::vocuvrcovertButton_slots()
{
    OpenTool(8);
}
void ToolsSelectWidget::vocchangercovertButton_slots()
{
    OpenTool(9);
}
