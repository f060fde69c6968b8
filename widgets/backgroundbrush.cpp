// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/backgroundbrush.h"

#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace MyQtCustom {

void SetBackgroundBrush(QWidget *target, const QPixmap &image)
{
    const QPixmap scaled =
        image.isNull() ? image
                       : image.scaled(target->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPalette palette = target->palette();
    palette.setBrush(QPalette::Window, QBrush(scaled));
    target->setPalette(palette);
    target->setAutoFillBackground(true);
}

} // namespace MyQtCustom
