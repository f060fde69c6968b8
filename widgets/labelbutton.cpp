// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/labelbutton.h"

#include <QMouseEvent>

#include "widgets/skinhelper_qsetting.h"

namespace MyQtCustom {

LabelButton::LabelButton(QWidget *parent) : StateButton<QLabel>(parent)
{
    // The keyboard reaches it with Tab; a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void LabelButton::setSkinConfig(const QString &section, int fontSize, int fontWeight, int borderRadius,
                                int borderWidth, bool leftBorder, bool topBorder, bool rightBorder,
                                bool bottomBorder)
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    for (int s = 0; s < ButtonLook::StateCount; ++s)
        sheets[s] = skin->GetButtonSheet(1, section, s, fontSize, fontWeight, borderRadius, borderWidth,
                                         leftBorder, topBorder, rightBorder, bottomBorder);
    setEnabled(enabled);
}

void LabelButton::setBgStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                                 const QString &disabled, const QString &checked)
{
    ButtonLook::SetSheets(sheets, normal, light, clicked, disabled, checked);
    setEnabled(enabled);
}

void LabelButton::applyState(int state)
{
    shownState = state;
    if (styleSheet() != sheets[state])
        setStyleSheet(sheets[state]);
}

void LabelButton::notifyPressed()
{
    emit Pressclicked();
}

void LabelButton::notifyClicked()
{
    emit clicked();
    emit clicked(this);
}

void LabelButton::notifyEntered()
{
    emit mouseEnter();
}

void LabelButton::notifyLeft()
{
    emit mouseLeave();
}

} // namespace MyQtCustom
