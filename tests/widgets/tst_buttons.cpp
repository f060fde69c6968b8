// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <type_traits>

#include <QLabel>
#include <QPainter>
#include <QtTest>

#include "widgets/bgiconbutton.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/labelbutton.h"
#include "widgets/mypushbutton.h"
#include "widgets/skinhelper_qsetting.h"

using MyQtCustom::BgIconButton;
using MyQtCustom::BgIconTextButton;
using MyQtCustom::LabelButton;
using MyQtCustom::MyPushButton;

namespace {

QPixmap Filled(const QColor &colour, const QSize &size = QSize(8, 8))
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

QColor BrushColour(const QWidget *widget, int x = 1, int y = 1)
{
    return widget->palette().brush(QPalette::Window).texture().toImage().pixelColor(x, y);
}

// A distinct, valid sheet and image colour per state; a press shows the light image.
QString Sheet(int state)
{
    return QStringLiteral("/*%1*/").arg(state);
}
const QColor ImageOfState[] = {Qt::red, Qt::blue, Qt::blue, Qt::gray, Qt::yellow};

// Plays a comma-separated script of actions on any button of the family;
// "check" checks, any other word unchecks.
template<class Button> void Play(Button *button, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("enter") || step == QLatin1String("leave")) {
            QEvent event(step == QLatin1String("enter") ? QEvent::Enter : QEvent::Leave);
            QCoreApplication::sendEvent(button, &event);
        } else if (step == QLatin1String("press"))
            QTest::mousePress(button, Qt::LeftButton);
        else if (step == QLatin1String("release")) // wherever the pointer is: the press grabbed it
            QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
        else if (step.endsWith(QLatin1String("able")))
            button->setEnabled(step == QLatin1String("enable"));
        else if constexpr (!std::is_same_v<Button, MyPushButton>)
            button->setChecked(step == QLatin1String("check"));
    }
}

// Appends `name` to `order` on every emission of `signal`, while `context` lives.
template<class Sender, class Signal>
void Record(Sender *sender, Signal signal, QObject *context, QStringList &order, const char *name)
{
    QObject::connect(sender, signal, context, [&order, name] { order << QLatin1String(name); });
}

// The signals a script makes a button emit, in order.
template<class Button> QStringList SignalsOf(Button *button, const QString &script)
{
    QStringList order;
    QObject context;
    Record(button, &Button::Pressclicked, &context, order, "Pressclicked");
    Record(button, QOverload<>::of(&Button::clicked), &context, order, "clicked");
    QObject::connect(button, QOverload<Button *>::of(&Button::clicked), &context, [&](Button *ins) {
        order << QLatin1String(ins == button ? "clicked(ins)" : "clicked(other)");
    });
    Record(button, &Button::mouseEnter, &context, order, "mouseEnter");
    Record(button, &Button::mouseLeave, &context, order, "mouseLeave");
    Play(button, script);
    return order;
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    }

    // Each button of the family through the same script: its state, look and signals.
    void stateRules_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("expected");     // text-and-icon and label buttons
        QTest::addColumn<int>("expectedIcon"); // icon-only button: a press shows the light look
        QTest::addColumn<QString>("signalNames");
        const QString click = QStringLiteral("mouseEnter Pressclicked clicked clicked(ins)");
        QTest::addRow("initially normal") << "" << 0 << 0 << "";
        QTest::addRow("hover") << "enter" << 1 << 1 << "mouseEnter";
        QTest::addRow("hover ends") << "enter,leave" << 0 << 0 << "mouseEnter mouseLeave";
        QTest::addRow("pressed") << "enter,press" << 2 << 1 << "mouseEnter Pressclicked";
        QTest::addRow("released") << "enter,press,release" << 0 << 0 << click;
        QTest::addRow("checked") << "check" << 4 << 4 << "";
        QTest::addRow("checked released") << "check,enter,press,release" << 4 << 4 << click;
        QTest::addRow("disabled") << "disable" << 3 << 3 << "";
        QTest::addRow("disabled ignores the mouse") << "disable,enter,press,release" << 3 << 3 << "";
        QTest::addRow("checked while disabled") << "disable,check" << 3 << 3 << "";
        QTest::addRow("enabled again shows checked") << "disable,check,enable" << 4 << 4 << "";
    }
    void stateRules()
    {
        QFETCH(QString, script);
        QFETCH(int, expected);
        QFETCH(int, expectedIcon);
        QFETCH(QString, signalNames);
        const QStringList emitted = signalNames.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QPixmap images[] = {Filled(Qt::red), Filled(Qt::blue), Filled(Qt::gray), Filled(Qt::yellow)};
        const auto skinSheet = [](int kind, int state, bool edges) {
            return SkinHelper_QSetting::GetInstance()->GetButtonSheet(
                kind, QStringLiteral("Button2"), state, 14, 0, edges ? 4 : 0, 1, edges, edges, edges, edges);
        };

        BgIconTextButton text;
        text.setSkinConfig(QStringLiteral("Button2"), 14, 0, 4, 1, true, true, true, true);
        text.setIconPixmap(images[0], images[1], images[2], images[3]);
        QCOMPARE(SignalsOf(&text, script), emitted);
        QCOMPARE(text.state(), expected);
        QCOMPARE(text.background()->styleSheet(), skinSheet(0, expected, true));
        // The caption carries the state's colours but no border or rounding of its own.
        QCOMPARE(text.label()->styleSheet(), skinSheet(1, expected, false));
        QCOMPARE(BrushColour(text.icon()), ImageOfState[expected]);

        LabelButton label;
        label.setBgStyeSheet(Sheet(0), Sheet(1), Sheet(2), Sheet(3), Sheet(4));
        QCOMPARE(SignalsOf(&label, script), emitted);
        QCOMPARE(label.styleSheet(), Sheet(expected));

        BgIconButton icon;
        icon.setBgStyeSheet(Sheet(0), Sheet(1), Sheet(3), Sheet(4));
        icon.setIconPixmap(images[0], images[1], images[2], images[3]);
        QCOMPARE(SignalsOf(&icon, script), emitted);
        QCOMPARE(icon.state(), expectedIcon);
        QCOMPARE(icon.background()->styleSheet(), Sheet(expectedIcon));
        QCOMPARE(BrushColour(icon.icon()), ImageOfState[expectedIcon]);
    }

    void pushButtonCutsStatesFromSprite()
    {
        // One sprite, four 32x32 cells in a column, as the title bar uses it.
        QPixmap sprite = Filled(Qt::black, QSize(128, 128));
        const QColor cells[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int k = 0; k < 4; ++k)
            QPainter(&sprite).fillRect(96, 32 * k, 32, 32, cells[k]);
        MyPushButton button;
        button.resize(16, 16);
        button.SetPicture(sprite, sprite, sprite, sprite);
        button.SetnormalPicRect(QRect(96, 0, 32, 32));
        button.SethighlightPicRect(QRect(96, 32, 32, 32));
        button.SetclickPicRect(QRect(96, 64, 32, 32));
        button.SetdisablePicRect(QRect(96, 96, 32, 32));
        QCOMPARE(button.palette().brush(QPalette::Window).texture().size(), QSize(16, 16));

        QStringList order;
        Record(&button, &MyPushButton::enterButton, this, order, "enter");
        Record(&button, &MyPushButton::Pressclicked, this, order, "Pressclicked");
        Record(&button, &MyPushButton::clicked, this, order, "clicked");
        Record(&button, &MyPushButton::leaveButton, this, order, "leave");
        QList<QColor> seen;
        for (const QString &step :
             QString::fromLatin1("- enter press release leave disable").split(QLatin1Char(' '))) {
            Play(&button, step);
            seen << BrushColour(&button);
        }
        QCOMPARE(seen, (QList<QColor>{Qt::red, Qt::green, Qt::blue, Qt::red, Qt::red, Qt::yellow}));
        QCOMPARE(order.join(QLatin1Char(' ')), QStringLiteral("enter Pressclicked clicked leave"));
        button.setEnabled(true);
        button.OtherMouseEnter();
        QCOMPARE(BrushColour(&button), QColor(Qt::green));
    }
};

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
