// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/buttonlook.h"

#include <QTransform>

#include "widgets/backgroundbrush.h"

namespace MyQtCustom {

void ButtonLook::SetSheets(QString (&sheets)[StateCount], const QString &normal, const QString &light,
                           const QString &clicked, const QString &disabled, const QString &checked)
{
    sheets[Normal] = normal;
    sheets[Light] = light;
    sheets[Clicked] = clicked;
    sheets[Disabled] = disabled;
    sheets[Checked] = checked;
}

int ButtonLook::RestingState(bool enabled, bool checked)
{
    if (!enabled)
        return Disabled;
    return checked ? Checked : Normal;
}

void ButtonLook::setImages(const QPixmap &normal, const QPixmap &light, const QPixmap &disabled,
                           const QPixmap &checked)
{
    iconNormal = normal;
    iconLight = light;
    iconDisabled = disabled;
    iconChecked = checked;
}

void ButtonLook::rotateImages(int degrees)
{
    QTransform rotation;
    rotation.rotate(degrees, Qt::ZAxis);
    for (QPixmap *image : {&iconNormal, &iconLight, &iconDisabled}) {
        if (!image->isNull())
            *image = image->transformed(rotation);
    }
}

const QPixmap &ButtonLook::image(int state) const
{
    switch (state) {
    case Light:
    case Clicked:
        return iconLight;
    case Disabled:
        return iconDisabled;
    case Checked:
        return iconChecked.isNull() ? iconNormal : iconChecked;
    default:
        return iconNormal;
    }
}

void ButtonLook::showImage(int state, QWidget *target) const
{
    const QPixmap &chosen = image(state);
    if (!chosen.isNull())
        SetBackgroundBrush(target, chosen);
}

} // namespace MyQtCustom
