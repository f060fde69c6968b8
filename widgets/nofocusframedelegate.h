// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QStyledItemDelegate>

namespace MyQtCustomLV {

// Paints items like the standard delegate but without the focus frame.
class NoFocusFrameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit NoFocusFrameDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace MyQtCustomLV

using MyQtCustomLV::NoFocusFrameDelegate;
