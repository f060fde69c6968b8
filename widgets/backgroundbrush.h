// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

class QPixmap;
class QWidget;

namespace MyQtCustom {

// Shows an image as the widget's own background: scaled to the widget's current
// size (aspect ratio ignored, smooth), set as the Window brush of every colour
// group, with the background auto-filled. A null image leaves an empty brush.
void SetBackgroundBrush(QWidget *target, const QPixmap &image);

} // namespace MyQtCustom
