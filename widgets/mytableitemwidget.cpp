// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/mytableitemwidget.h"

namespace MyQtCustomLV {

MyTableItemWidget::MyTableItemWidget(QWidget *parent) : QWidget(parent) {}

void MyTableItemWidget::ResetItem(bool) {}

void MyTableItemWidget::Layout() {}

void MyTableItemWidget::UpdateSkin() {}

void MyTableItemWidget::UpdateText() {}

void MyTableItemWidget::ShowData() {}

} // namespace MyQtCustomLV
