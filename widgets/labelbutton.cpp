#include "widgets/labelbutton.h"

#include <QMouseEvent>

#include "widgets/skinhelper_qsetting.h"

namespace MyQtCustom {

LabelButton::LabelButton(QWidget *parent) : QLabel(parent) {}

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
    sheets[ButtonLook::Normal] = normal;
    sheets[ButtonLook::Light] = light;
    sheets[ButtonLook::Clicked] = clicked;
    sheets[ButtonLook::Disabled] = disabled;
    sheets[ButtonLook::Checked] = checked;
    setEnabled(enabled);
}

void LabelButton::setEnabled(bool enable)
{
    enabled = enable;
    QLabel::setEnabled(enable);
    applyState(ButtonLook::RestingState(enabled, checked));
}

void LabelButton::setChecked(bool check)
{
    checked = check;
    applyState(ButtonLook::RestingState(enabled, checked));
}

void LabelButton::applyState(int state)
{
    shownState = state;
    if (styleSheet() != sheets[state])
        setStyleSheet(sheets[state]);
}

void LabelButton::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    // Consumed whatever the label did with it: a press on a button must never reach the window.
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::Clicked);
    emit Pressclicked();
}

void LabelButton::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit clicked();
    emit clicked(this);
}

void LabelButton::enterEvent(QEvent *event)
{
    QLabel::enterEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::Light);
    emit mouseEnter();
}

void LabelButton::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit mouseLeave();
}

} // namespace MyQtCustom
