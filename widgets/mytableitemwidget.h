// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QWidget>

namespace MyQtCustomLV {

// One row of the paged list. The list binds it to one data pointer at a time
// (index and data), writes count before every refresh and calls ShowData to
// make the row show its data; data is null while the row is unbound.
// ShowData and whatever it calls run under the list's lock: they must not call
// a locking operation of the list.
class MyTableItemWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyTableItemWidget(QWidget *parent = nullptr);

    virtual void ResetItem(bool all);
    virtual void Layout();
    virtual void UpdateSkin();
    virtual void UpdateText();
    virtual void ShowData();

    int index = -1;       // position of the bound data in the list; -1 when unbound
    int count = 0;        // number of data pointers in the list at the last refresh
    void *data = nullptr; // the bound data pointer, owned by whoever filled the list
};

} // namespace MyQtCustomLV

using MyQtCustomLV::MyTableItemWidget;
