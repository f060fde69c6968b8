// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QLabel>
#include <QString>

#include "widgets/buttonlook.h"
#include "widgets/statebutton.h"

namespace MyQtCustom {

// A text button: the label itself carries one of five style sheets
// (0 normal, 1 light, 2 clicked, 3 disabled, 4 checked).
class LabelButton : public StateButton<QLabel>
{
    Q_OBJECT
public:
    explicit LabelButton(QWidget *parent = nullptr);

    // Builds the five "QLabel{" sheets from a skin button group ("Button1" ...).
    void setSkinConfig(const QString &section, int fontSize, int fontWeight, int borderRadius,
                       int borderWidth, bool leftBorder, bool topBorder, bool rightBorder, bool bottomBorder);
    void setBgStyeSheet(const QString &normal, const QString &light, const QString &clicked,
                        const QString &disabled, const QString &checked);

signals:
    void Pressclicked();
    void clicked();
    void clicked(MyQtCustom::LabelButton *ins);
    void mouseEnter();
    void mouseLeave();

protected:
    void applyState(int state) override;
    void notifyPressed() override;
    void notifyClicked() override;
    void notifyEntered() override;
    void notifyLeft() override;

private:
    QString sheets[ButtonLook::StateCount];
};

} // namespace MyQtCustom
