#include "widgets/bgicontextbutton.h"

#include <QLabel>
#include <QMouseEvent>

#include "widgets/skinhelper_qsetting.h"

namespace MyQtCustom {

BgIconTextButton::BgIconTextButton(QWidget *parent)
    : QWidget(parent), bgWidget(new QWidget(this)), iconWidget(new QWidget(this)), textLabel(new QLabel(this))
{
    // The button alone handles the mouse, wherever on it the pointer is.
    for (QWidget *child : {bgWidget, iconWidget, static_cast<QWidget *>(textLabel)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
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
    bgSheets[ButtonLook::Normal] = normal;
    bgSheets[ButtonLook::Light] = light;
    bgSheets[ButtonLook::Clicked] = clicked;
    bgSheets[ButtonLook::Disabled] = disabled;
    bgSheets[ButtonLook::Checked] = checked;
    setEnabled(enabled);
}

void BgIconTextButton::setTextStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                                        const QString &disabled, const QString &checked)
{
    textSheets[ButtonLook::Normal] = normal;
    textSheets[ButtonLook::Light] = light;
    textSheets[ButtonLook::Clicked] = clicked;
    textSheets[ButtonLook::Disabled] = disabled;
    textSheets[ButtonLook::Checked] = checked;
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

void BgIconTextButton::setEnabled(bool enable)
{
    enabled = enable;
    QWidget::setEnabled(enable);
    applyState(ButtonLook::RestingState(enabled, checked));
}

void BgIconTextButton::setChecked(bool check)
{
    checked = check;
    applyState(ButtonLook::RestingState(enabled, checked));
}

void BgIconTextButton::setText(const QString &text)
{
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

void BgIconTextButton::mousePressEvent(QMouseEvent *event)
{
    // Consumed: a press on a button must never reach the window (it would start a drag).
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::Clicked);
    emit Pressclicked();
}

void BgIconTextButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit clicked();
    emit clicked(this);
}

void BgIconTextButton::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::Light);
    emit mouseEnter();
}

void BgIconTextButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!enabled)
        return;
    applyState(ButtonLook::RestingState(enabled, checked));
    emit mouseLeave();
}

} // namespace MyQtCustom
