#include "app/toolsselectwidget.h"

#include <QPropertyAnimation>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/topwidget.h"
#include "engine/toolsbasewidget.h"
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

namespace {
struct Tool
{
    const char *icon;
    const char *label;
    const char *panel;
    ToolsBaseWidget *(*create)(QWidget *parent);
};

template<class Panel> ToolsBaseWidget *make(QWidget *parent)
{
    return new Panel(parent);
}

// Grid order: two rows of four, then the two hidden tools.
const Tool tools[ToolsSelectWidget::ToolCount] = {
    {"convert", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Format Convert"), "FormatConvert",
     make<FormatConvertWidget>},
    {"speed", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Speed Adjust"), "SpeedConvert",
     make<SpeedConvertWidget>},
    {"volume", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Volume Adjust"), "VolumeConvert",
     make<VolumeConvertWidget>},
    {"invert", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Invert"), "InvertConvert",
     make<InvertConvertWidget>},
    {"mix", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Mix"), "MixConvert", make<MixConvertWidget>},
    {"split", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Split"), "SplitConvert",
     make<SplitConvertWidget>},
    {"concat", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Concat"), "ConcatConvert",
     make<ConcatConvertWidget>},
    {"trim", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Trim"), "TrimConvert", make<TrimConvertWidget>},
    {"audio", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice separation"), "UVRConvert",
     make<URVConvertWidget>},
    {"user", QT_TRANSLATE_NOOP("ToolsSelectWidget", "Voice Changer"), "ChangerConvert",
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
    const int rowTop[] = {ScaledPx(140), ScaledPx(280), ScaledPx(320)};
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
    // The two script-driven tools are complete but not offered.
    for (int i = VisibleToolCount; i < ToolCount; ++i)
        buttons[i]->hide();
}

void ToolsSelectWidget::UpdateSkin()
{
    for (MyQtCustom::BgIconTextButton *button : buttons)
        button->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 0, 1, true, true, true, true);
}

void ToolsSelectWidget::UpdateText()
{
    for (int i = 0; i < ToolCount; ++i)
        buttons[i]->setText(tr(tools[i].label));
}

ToolsBaseWidget *ToolsSelectWidget::OpenTool(int index)
{
    if (!g_mainWidget || index < 0 || index >= ToolCount || !tools[index].create)
        return nullptr;
    const QString name = PanelName(index);
    ToolsBaseWidget *panel = g_mainWidget->panels.value(name);
    if (!panel) {
        panel = tools[index].create(g_mainWidget);
        g_mainWidget->panels.insert(name, panel);
    }
    ShowPanel(panel);
    return panel;
}

void ToolsSelectWidget::ShowPanel(ToolsBaseWidget *panel)
{
    if (!panel || !g_mainWidget)
        return;
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

    auto *animation = new QPropertyAnimation(panel, "geometry");
    animation->setDuration(SlideDurationMs);
    animation->setStartValue(start);
    animation->setEndValue(end);
    connect(animation, &QAbstractAnimation::finished, this, &QWidget::hide);
    for (ToolsBaseWidget *other : qAsConst(g_mainWidget->panels)) {
        if (other != panel && other->isVisible())
            connect(animation, &QAbstractAnimation::finished, other, &QWidget::hide);
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool ToolsSelectWidget::ShowSelector()
{
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
