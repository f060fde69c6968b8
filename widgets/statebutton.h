// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QKeyEvent>
#include <QMouseEvent>

#include "widgets/buttonaccessible.h"
#include "widgets/buttonlook.h"

namespace MyQtCustom {

// The state and mouse rules every button of the family follows, over the
// widget class it draws with. While enabled: entering shows the light look, a
// press the pressed look, a release or leaving the resting look (checked or
// normal). Press and release are consumed, so a press on a button never
// reaches the window behind it. The button shows a state in applyState and
// reports the events through the notify functions (its own signals). Reached
// with Tab, it looks as under the mouse, and Space or Return click it.
template<class Base> class StateButton : public Base, public ButtonAccessible::Pressable
{
public:
    using Base::Base;

    // A click from a screen reader's press action.
    void press() override
    {
        if (!enabled)
            return;
        notifyPressed();
        notifyClicked();
    }

    void setEnabled(bool enable)
    {
        enabled = enable;
        Base::setEnabled(enable);
        applyState(ButtonLook::RestingState(enabled, checked));
    }
    void setChecked(bool check)
    {
        checked = check;
        applyState(ButtonLook::RestingState(enabled, checked));
    }
    bool isChecked() const { return checked; }
    int state() const { return shownState; }

protected:
    virtual void applyState(int state) = 0;
    virtual int pressedState() const { return ButtonLook::Clicked; }
    virtual void notifyPressed() = 0;
    virtual void notifyClicked() = 0;
    virtual void notifyEntered() = 0;
    virtual void notifyLeft() = 0;

    void mousePressEvent(QMouseEvent *event) override
    {
        Base::mousePressEvent(event);
        event->accept();
        if (!enabled)
            return;
        applyState(pressedState());
        notifyPressed();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        Base::mouseReleaseEvent(event);
        event->accept();
        if (!enabled)
            return;
        applyState(ButtonLook::RestingState(enabled, checked));
        notifyClicked();
    }
    void enterEvent(QEvent *event) override
    {
        Base::enterEvent(event);
        if (!enabled)
            return;
        applyState(ButtonLook::Light);
        notifyEntered();
    }
    void leaveEvent(QEvent *event) override
    {
        Base::leaveEvent(event);
        if (!enabled)
            return;
        applyState(this->hasFocus() ? int(ButtonLook::Light) : ButtonLook::RestingState(enabled, checked));
        notifyLeft();
    }
    void focusInEvent(QFocusEvent *event) override
    {
        Base::focusInEvent(event);
        if (enabled)
            applyState(ButtonLook::Light);
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        Base::focusOutEvent(event);
        if (enabled)
            applyState(ButtonLook::RestingState(enabled, checked));
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (!enabled || event->modifiers() != Qt::NoModifier ||
            (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)) {
            Base::keyPressEvent(event);
            return;
        }
        event->accept();
        if (!event->isAutoRepeat())
            press();
    }

    bool enabled = true;
    bool checked = false;
    // Set up before any button is asked for its interface.
    bool accessibleInstalled = ButtonAccessible::Install();
    int shownState = ButtonLook::Normal;
};

} // namespace MyQtCustom
