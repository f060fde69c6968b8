// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "widgets/buttonlook.h"
#include "widgets/statebutton.h"

namespace MyQtCustom {

// An icon-only button: a background child carrying the state's style sheet and
// an icon child showing the state's image, both covering the whole button.
// A press shows the light look; there is no separate pressed look.
class BgIconButton : public StateButton<QWidget>
{
    Q_OBJECT
public:
    explicit BgIconButton(QWidget *parent = nullptr);

    // An empty sheet is not applied: the background keeps the sheet it has.
    void setBgStyeSheet(const QString &normal, const QString &light, const QString &disabled,
                        const QString &checked);
    void setIconPixmap(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                       const QPixmap &checked);
    // Takes effect at the next change of state.
    void setIconRotate(int degrees);

    QWidget *background() const { return bgWidget; }
    QWidget *icon() const { return iconWidget; }

signals:
    void Pressclicked();
    void clicked();
    void clicked(MyQtCustom::BgIconButton *ins);
    void mouseEnter();
    void mouseLeave();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void applyState(int state) override;
    int pressedState() const override;
    void notifyPressed() override;
    void notifyClicked() override;
    void notifyEntered() override;
    void notifyLeft() override;

private:
    QWidget *bgWidget;
    QWidget *iconWidget;
    ButtonLook look;
    QString bgSheets[ButtonLook::StateCount];
};

} // namespace MyQtCustom
