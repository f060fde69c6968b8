// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/bgicontextbutton.h"

#include <QLabel>
#include <QMouseEvent>

#include "widgets/skinhelper_qsetting.h"

namespace MyQtCustom {

BgIconTextButton::BgIconTextButton(QWidget *parent)
    : StateButton<QWidget>(parent), bgWidget(new QWidget(this)), iconWidget(new QWidget(this)),
      textLabel(new QLabel(this))
{
    // The button alone handles the mouse, wherever on it the pointer is.
    for (QWidget *child : {bgWidget, iconWidget, static_cast<QWidget *>(textLabel)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The keyboard reaches it with Tab; a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void BgIconTextButton::setSkinConfig(const QString &section, int fontSize, int fontWeight, int borderRadius,
                                     int borderWidth, bool leftBorder, bool topBorder, bool rightBorder,
                                     bool bottomBorder)
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    for (int s = 0; s < ButtonLook::StateCount; ++s)
        bgSheets[s] = skin->GetButtonSheet(0, section, s, fontSize, fontWeight, borderRadius, borderWidth,
                                           leftBorder, topBorder, rightBorder, bottomBorder);
    // The caption sits inside the bordered background: a border of its own
    // would draw a second box within the button.
    for (int s = 0; s < ButtonLook::StateCount; ++s)
        textSheets[s] = skin->GetButtonSheet(1, section, s, fontSize, fontWeight, 0, borderWidth, false,
                                             false, false, false);
    setEnabled(enabled);
}

void BgIconTextButton::setBgStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                                      const QString &disabled, const QString &checked)
{
    ButtonLook::SetSheets(bgSheets, normal, light, clicked, disabled, checked);
    setEnabled(enabled);
}

void BgIconTextButton::setTextStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                                        const QString &disabled, const QString &checked)
{
    ButtonLook::SetSheets(textSheets, normal, light, clicked, disabled, checked);
    setEnabled(enabled);
}

void BgIconTextButton::setIconPixmap(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                                     const QPixmap &checked)
{
    look.setImages(normal, light, disabled, checked);
    setEnabled(enabled);
}

void BgIconTextButton::setIconGeometry(int x, int y, int w, int h)
{
    bgWidget->setGeometry(0, 0, width(), height());
    iconWidget->setGeometry(x, y, w, h);
    // The brush was scaled to the old size; without this it would tile.
    look.showImage(shownState, iconWidget);
}

void BgIconTextButton::setTextGeometry(int x, int y, int w, int h)
{
    bgWidget->setGeometry(0, 0, width(), height());
    textLabel->setGeometry(x, y, w, h);
}

int BgIconTextButton::setTextadjustSize()
{
    textLabel->adjustSize();
    return textLabel->width() + 10;
}

void BgIconTextButton::setIconRotate(int degrees)
{
    look.rotateImages(degrees);
}

void BgIconTextButton::setText(const QString &text)
{
    // The caption is what a screen reader says, unless a name was given apart.
    if (accessibleName().isEmpty() || accessibleName() == textLabel->text())
        setAccessibleName(text);
    textLabel->setText(text);
}

QString BgIconTextButton::text() const
{
    return textLabel->text();
}

void BgIconTextButton::setTextAlignment(Qt::Alignment alignment)
{
    textLabel->setAlignment(alignment);
}

void BgIconTextButton::applyState(int state)
{
    shownState = state;
    // Re-polishing is not free and rows refresh their buttons on every rebinding.
    if (bgWidget->styleSheet() != bgSheets[state])
        bgWidget->setStyleSheet(bgSheets[state]);
    if (textLabel->styleSheet() != textSheets[state])
        textLabel->setStyleSheet(textSheets[state]);
    look.showImage(state, iconWidget);
}

void BgIconTextButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    bgWidget->setGeometry(0, 0, width(), height());
}

void BgIconTextButton::notifyPressed()
{
    emit Pressclicked();
}

void BgIconTextButton::notifyClicked()
{
    emit clicked();
    emit clicked(this);
}

void BgIconTextButton::notifyEntered()
{
    emit mouseEnter();
}

void BgIconTextButton::notifyLeft()
{
    emit mouseLeave();
}

} // namespace MyQtCustom
