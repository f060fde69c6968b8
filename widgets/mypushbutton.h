// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>

namespace MyQtCustom {

// A picture button with four looks (0 normal, 1 highlight, 2 click, 3 disable).
// Each look's picture may be cut out of a larger sprite with a source
// rectangle. How picture and text are arranged is chosen by SetPicAlignFlags:
//   0 picture in the left quarter, text in the right three quarters
//   1 picture over the whole button, text over it
//   2 picture in the right quarter, text in the left three quarters
//   3 no inner labels: the picture is the button's own background (default)
//   4 text in a 20-pixel strip at the top, picture below it
//   5 picture above, text in a 20-pixel strip at the bottom
//   6 picture only, over the whole button
//   7 text only, over the whole button
// SetImageRect and SetTextRect, when given a valid rectangle, replace the
// mode's rectangles of the inner labels.
class MyPushButton : public QLabel
{
    Q_OBJECT
public:
    enum State
    {
        Normal = 0,
        Highlight = 1,
        Click = 2,
        Disable = 3
    };

    explicit MyPushButton(QWidget *parent = nullptr);

    void SetPicture(const QString &normal, const QString &highlight, const QString &click,
                    const QString &disable);
    void SetPicture(const QPixmap &normal, const QPixmap &highlight, const QPixmap &click,
                    const QPixmap &disable);
    void SetnormalPicRect(const QRect &rect);
    void SethighlightPicRect(const QRect &rect);
    void SetclickPicRect(const QRect &rect);
    void SetdisablePicRect(const QRect &rect);
    void SetDefaultColor(const QColor &normal, const QColor &highlight, const QColor &click,
                         const QColor &disable);
    void SetTextRect(const QRect &rect);
    void SetImageRect(const QRect &rect);
    void SetPicAlignFlags(int mode);

    void setText(const QString &text);
    QString text() const { return buttonText; }
    void setTextAlignment(Qt::Alignment alignment);
    void setTextFont(const QFont &font);
    void SetMyFont(int pixelSize, int weight = QFont::Normal);

    // Shows the look the button rests in: disable when disabled, else normal.
    void enableorNotShow();
    int state() const { return shownState; }
    // The picture of a look after cutting (null when none was given).
    QPixmap statePicture(int state) const;

public slots:
    // Let another widget drive the hover look.
    void OtherMouseEnter();
    void OtherMouseLeave();

signals:
    void clicked();
    void Pressclicked();
    void enterButton();
    void leaveButton();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyState(int state);
    void arrange();
    bool showsImageLabel() const;
    bool showsTextLabel() const;
    QLabel *textCarrier();

    QLabel *imageLabel;
    QLabel *textLabel;
    QPixmap pictures[4];
    QRect pictureRects[4];
    QColor textColors[4] = {Qt::gray, Qt::lightGray, Qt::darkGray, Qt::gray};
    QRect textRect;
    QRect imageRect;
    QString buttonText;
    int alignMode = 3;
    int shownState = Normal;
};

} // namespace MyQtCustom
