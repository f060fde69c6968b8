// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/mymovewidget.h"

#include <QPixmap>

#include "widgets/backgroundbrush.h"

namespace MyQtCustom {

MyMoveWidget::MyMoveWidget(QWidget *parent) : QWidget(parent) {}

MyMoveWidget::~MyMoveWidget() = default;

void MyMoveWidget::timerEvent(QTimerEvent *)
{
    // Loaded afresh on every tick: the pictures are tiny and a size change
    // takes effect at the next tick. A missing picture (there is no number 0)
    // leaves an empty background for one tick.
    SetBackgroundBrush(this, QPixmap(imagePrefix + QString::number(frameIndex) + QStringLiteral(".png")));
    frameIndex = frameIndex >= lastFrame ? firstFrame : frameIndex + 1;
}

} // namespace MyQtCustom
