// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace MyQtCustom {

// What the buttons of the family share: the five states, the rule that picks
// the state a button rests in, and the per-state images with the rule that a
// missing image keeps whatever the icon showed before.
class ButtonLook
{
public:
    enum State
    {
        Normal = 0,
        Light = 1,
        Clicked = 2,
        Disabled = 3,
        Checked = 4
    };
    static constexpr int StateCount = 5;

    // The state shown when the mouse is not acting on the button.
    static int RestingState(bool enabled, bool checked);
    // Fills a button's per-state style sheets, in state order.
    static void SetSheets(QString (&sheets)[StateCount], const QString &normal, const QString &light,
                          const QString &clicked, const QString &disabled, const QString &checked);

    void setImages(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                   const QPixmap &checked);
    // Rotates the normal, light and disabled images about the Z axis; the checked one stays.
    void rotateImages(int degrees);

    // The image of a state: a press shows the light image, the checked state
    // the checked image or, when there is none, the normal one.
    const QPixmap &image(int state) const;
    // Puts the state's image on `target`; a null image leaves its brush as it is.
    void showImage(int state, QWidget *target) const;

private:
    QPixmap iconNormal;
    QPixmap iconLight;
    QPixmap iconDisabled;
    QPixmap iconChecked;
};

} // namespace MyQtCustom
