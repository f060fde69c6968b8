// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "widgets/buttonlook.h"
#include "widgets/statebutton.h"

class QLabel;

namespace MyQtCustom {

// A button drawn from three children: a background carrying the state's style
// sheet, an icon showing the state's image and a text label carrying the
// state's text sheet. States: 0 normal, 1 light, 2 clicked, 3 disabled, 4 checked.
class BgIconTextButton : public StateButton<QWidget>
{
    Q_OBJECT
public:
    explicit BgIconTextButton(QWidget *parent = nullptr);

    // Builds the ten sheets from a skin button group ("Button1" ...).
    void setSkinConfig(const QString &section, int fontSize, int fontWeight, int borderRadius,
                       int borderWidth, bool leftBorder, bool topBorder, bool rightBorder, bool bottomBorder);
    void setBgStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                        const QString &disabled, const QString &checked);
    void setTextStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                          const QString &disabled, const QString &checked);
    void setIconPixmap(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                       const QPixmap &checked);
    // Rectangles in button coordinates; both also stretch the background over the button.
    void setIconGeometry(int x, int y, int w, int h);
    void setTextGeometry(int x, int y, int w, int h);
    // Fits the label to its text; returns its width plus 10.
    int setTextadjustSize();
    // Takes effect at the next change of state.
    void setIconRotate(int degrees);

    void setText(const QString &text);
    QString text() const;
    void setTextAlignment(Qt::Alignment alignment);

    QWidget *background() const { return bgWidget; }
    QWidget *icon() const { return iconWidget; }
    QLabel *label() const { return textLabel; }

signals:
    void Pressclicked();
    void clicked();
    void clicked(MyQtCustom::BgIconTextButton *ins);
    void mouseEnter();
    void mouseLeave();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void applyState(int state) override;
    void notifyPressed() override;
    void notifyClicked() override;
    void notifyEntered() override;
    void notifyLeft() override;

private:
    QWidget *bgWidget;
    QWidget *iconWidget;
    QLabel *textLabel;
    ButtonLook look;
    QString bgSheets[ButtonLook::StateCount];
    QString textSheets[ButtonLook::StateCount];
};

} // namespace MyQtCustom
