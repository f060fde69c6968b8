// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/bgiconbutton.h"

#include <QMouseEvent>

namespace MyQtCustom {

BgIconButton::BgIconButton(QWidget *parent)
    : StateButton<QWidget>(parent), bgWidget(new QWidget(this)), iconWidget(new QWidget(this))
{
    bgWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    iconWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BgIconButton::setBgStyeSheet(const QString &normal, const QString &light, const QString &disabled,
                                  const QString &checked)
{
    ButtonLook::SetSheets(bgSheets, normal, light, light, disabled, checked);
    setEnabled(enabled);
}

void BgIconButton::setIconPixmap(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                                 const QPixmap &checked)
{
    look.setImages(normal, light, disabled, checked);
    setEnabled(enabled);
}

void BgIconButton::setIconRotate(int degrees)
{
    look.rotateImages(degrees);
}

void BgIconButton::applyState(int state)
{
    shownState = state;
    const QString &sheet = bgSheets[state];
    if (!sheet.isEmpty() && bgWidget->styleSheet() != sheet)
        bgWidget->setStyleSheet(sheet);
    look.showImage(state, iconWidget);
}

void BgIconButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    bgWidget->setGeometry(rect());
    iconWidget->setGeometry(rect());
    look.showImage(shownState, iconWidget);
}

// There is no separate pressed look: a press shows the light one.
int BgIconButton::pressedState() const
{
    return ButtonLook::Light;
}

void BgIconButton::notifyPressed()
{
    emit Pressclicked();
}

void BgIconButton::notifyClicked()
{
    emit clicked();
    emit clicked(this);
}

void BgIconButton::notifyEntered()
{
    emit mouseEnter();
}

void BgIconButton::notifyLeft()
{
    emit mouseLeave();
}

} // namespace MyQtCustom
