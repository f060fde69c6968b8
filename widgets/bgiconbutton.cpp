#include "widgets/bgiconbutton.h"

#include <QMouseEvent>

namespace MyQtCustom {

BgIconButton::BgIconButton(QWidget *parent)
    : QWidget(parent), bgWidget(new QWidget(this)), iconWidget(new QWidget(this))
{
    bgWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    iconWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BgIconButton::setBgStyeSheet(const QString &normal, const QString &light, const QString &disabled,
                                  const QString &checked)
{
    bgSheets[ButtonLook::Normal] = normal;
    bgSheets[ButtonLook::Light] = light;
    bgSheets[ButtonLook::Clicked] = light;
    bgSheets[ButtonLook::Disabled] = disabled;
    bgSheets[ButtonLook::Checked] = checked;
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

void BgIconButton::setEnabled(bool enable)
{
    enabled = enable;
    QWidget::setEnabled(enable);
    applyState(ButtonLook::RestingState(enabled, checked));
}

void BgIconButton::setChecked(bool check)
{
    checked = check;
    applyState(ButtonLook::RestingState(enabled, checked));
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

void BgIconButton::mousePressEvent(QMouseEvent *event)
{
    // Consumed: a press on a button must never reach the window (it would start a drag).
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::Light);
    emit Pressclicked();
}

void BgIconButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit clicked();
    emit clicked(this);
}

void BgIconButton::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::Light);
    emit mouseEnter();
}

void BgIconButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit mouseLeave();
}

} // namespace MyQtCustom
