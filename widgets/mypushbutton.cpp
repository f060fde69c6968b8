// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/mypushbutton.h"

#include <QEvent>
#include <QMouseEvent>

#include "widgets/backgroundbrush.h"

namespace MyQtCustom {

MyPushButton::MyPushButton(QWidget *parent)
    : QLabel(parent), imageLabel(new QLabel(this)), textLabel(new QLabel(this))
{
    setContentsMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignCenter);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(174, 174, 174));
    setPalette(background);
    setAutoFillBackground(true);

    imageLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    textLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    textLabel->setAlignment(Qt::AlignCenter);
    arrange();
    applyState(Normal);
}

void MyPushButton::SetPicture(const QString &normal, const QString &highlight, const QString &click,
                              const QString &disable)
{
    SetPicture(QPixmap(normal), QPixmap(highlight), QPixmap(click), QPixmap(disable));
}

void MyPushButton::SetPicture(const QPixmap &normal, const QPixmap &highlight, const QPixmap &click,
                              const QPixmap &disable)
{
    pictures[Normal] = normal;
    pictures[Highlight] = highlight;
    pictures[Click] = click;
    pictures[Disable] = disable;
    enableorNotShow();
}

void MyPushButton::SetnormalPicRect(const QRect &rect)
{
    pictureRects[Normal] = rect;
    enableorNotShow();
}

void MyPushButton::SethighlightPicRect(const QRect &rect)
{
    pictureRects[Highlight] = rect;
    enableorNotShow();
}

void MyPushButton::SetclickPicRect(const QRect &rect)
{
    pictureRects[Click] = rect;
    enableorNotShow();
}

void MyPushButton::SetdisablePicRect(const QRect &rect)
{
    pictureRects[Disable] = rect;
    enableorNotShow();
}

void MyPushButton::SetDefaultColor(const QColor &normal, const QColor &highlight, const QColor &click,
                                   const QColor &disable)
{
    textColors[Normal] = normal;
    textColors[Highlight] = highlight;
    textColors[Click] = click;
    textColors[Disable] = disable;
    enableorNotShow();
}

void MyPushButton::SetTextRect(const QRect &rect)
{
    textRect = rect;
    arrange();
}

void MyPushButton::SetImageRect(const QRect &rect)
{
    imageRect = rect;
    arrange();
}

void MyPushButton::SetPicAlignFlags(int mode)
{
    alignMode = mode;
    arrange();
    enableorNotShow();
}

void MyPushButton::setText(const QString &text)
{
    buttonText = text;
    arrange();
}

void MyPushButton::setTextAlignment(Qt::Alignment alignment)
{
    setAlignment(alignment);
    textLabel->setAlignment(alignment);
}

void MyPushButton::setTextFont(const QFont &font)
{
    setFont(font);
    textLabel->setFont(font);
}

void MyPushButton::SetMyFont(int pixelSize, int weight)
{
    QFont chosen = font();
    chosen.setPixelSize(pixelSize);
    chosen.setWeight(weight);
    setTextFont(chosen);
}

void MyPushButton::enableorNotShow()
{
    applyState(isEnabled() ? Normal : Disable);
}

QPixmap MyPushButton::statePicture(int state) const
{
    const QPixmap &picture = pictures[state];
    const QRect &cut = pictureRects[state];
    return (cut.isValid() && !picture.isNull()) ? picture.copy(cut) : picture;
}

void MyPushButton::OtherMouseEnter()
{
    if (isEnabled())
        applyState(Highlight);
}

void MyPushButton::OtherMouseLeave()
{
    if (isEnabled())
        applyState(Normal);
}

bool MyPushButton::showsImageLabel() const
{
    return alignMode != 3 && alignMode != 7;
}

bool MyPushButton::showsTextLabel() const
{
    return alignMode != 3 && alignMode != 6;
}

QLabel *MyPushButton::textCarrier()
{
    return alignMode == 3 ? static_cast<QLabel *>(this) : textLabel;
}

void MyPushButton::arrange()
{
    const int w = width();
    const int h = height();
    QRect image(0, 0, w, h);
    QRect text(0, 0, w, h);
    switch (alignMode) {
    case 0:
        image = QRect(0, 0, w / 4, h);
        text = QRect(w / 4, 0, w - w / 4, h);
        break;
    case 2:
        image = QRect(w - w / 4, 0, w / 4, h);
        text = QRect(0, 0, w - w / 4, h);
        break;
    case 4:
        text = QRect(0, 0, w, 20);
        image = QRect(0, 20, w, h - 20);
        break;
    case 5:
        image = QRect(0, 0, w, h - 20);
        text = QRect(0, h - 20, w, 20);
        break;
    default:
        break;
    }
    imageLabel->setGeometry(imageRect.isValid() ? imageRect : image);
    textLabel->setGeometry(textRect.isValid() ? textRect : text);
    imageLabel->setVisible(showsImageLabel());
    textLabel->setVisible(showsTextLabel());
    QLabel::setText(alignMode == 3 ? buttonText : QString());
    textLabel->setText(showsTextLabel() ? buttonText : QString());
}

void MyPushButton::applyState(int state)
{
    shownState = state;
    const QPixmap picture = statePicture(state);
    if (!picture.isNull())
        SetBackgroundBrush(showsImageLabel() ? imageLabel : static_cast<QWidget *>(this), picture);
    QLabel *carrier = textCarrier();
    QPalette colours = carrier->palette();
    colours.setColor(QPalette::WindowText, textColors[state]);
    carrier->setPalette(colours);
}

void MyPushButton::mousePressEvent(QMouseEvent *event)
{
    // Consumed: a press on the title bar's buttons must not start a window drag.
    event->accept();
    if (!isEnabled())
        return;
    applyState(Click);
    emit Pressclicked();
}

void MyPushButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!isEnabled())
        return;
    applyState(rect().contains(event->pos()) ? Highlight : Normal);
    emit clicked();
}

void MyPushButton::enterEvent(QEvent *event)
{
    QLabel::enterEvent(event);
    if (!isEnabled())
        return;
    applyState(Highlight);
    emit enterButton();
}

void MyPushButton::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    if (!isEnabled())
        return;
    applyState(Normal);
    emit leaveButton();
}

void MyPushButton::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    arrange();
    // The picture was scaled to the old size.
    applyState(shownState);
}

void MyPushButton::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        enableorNotShow();
}

} // namespace MyQtCustom
