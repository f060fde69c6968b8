// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/nofocusframedelegate.h"

namespace MyQtCustomLV {

NoFocusFrameDelegate::NoFocusFrameDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void NoFocusFrameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyleOptionViewItem withoutFocus(option);
    withoutFocus.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, withoutFocus, index);
}

} // namespace MyQtCustomLV
