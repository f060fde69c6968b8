// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QReadWriteLock>
#include <QWidget>

#include "widgets/mytableitemwidget.h"

class QScrollBar;

namespace MyQtCustomLV {

// A scrolling list of any number of untyped data pointers shown through a
// fixed pool of row widgets. A row is bound to one data pointer at a time;
// scrolling moves the rows that leave the view at one end to the other end and
// binds them to the next data, so a list costs its pool of rows whatever its
// length, and a scroll step costs the same whatever the length.
//
// The list never owns the data pointers. The rows are created by the owner as
// children of contentWidget() and handed over with addMyTableItemWidget.
//
// Invariant while laid out: the bound rows show consecutive data positions in
// pool order, each at y = index * rowHeight inside the content widget, and the
// content widget is shifted up by the scroll bar's value.
class MyTableListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyTableListWidget(QWidget *parent = nullptr);

    // Places viewport and scroll bar; call after resizing the list.
    void Layout();
    void setBackgroundColor(const QColor &color);

    void addMyTableItemWidget(MyTableItemWidget *row);
    void addPrivateData(void *data);
    void prependPrivateData(void *data);
    // A pointer not in the list leaves the data unchanged.
    void deletePrivateData(void *data);
    void moveupPrivateData(void *data);
    void movedownPrivateData(void *data);
    // Unbinds and hides every row and forgets all data (which it does not delete).
    void clear();

    // The row showing `data`, or null when no row does (the data is out of view).
    MyTableItemWidget *searchMyTableItemWidget(void *data);
    // Refreshes every bound row, e.g. after a change of language.
    void FlushText();
    // Refreshes every row, bound or not; takes no lock.
    void flushTableItemsToUIShow();
    void uddateDataShow(MyTableItemWidget *row);

    // Full re-layout: keeps the scroll position, moves the rows that are
    // already bound and binds the others.
    void updateLayout(int unused = 0);
    // Scroll step: a positive delta moves the view towards the top. Dropped
    // when the list is busy (its lock is held).
    void updateMoveLayout(int delta, bool refresh);

    // Rows a pool needs to fill the view and the margin kept above it.
    int rowsToCover() const;
    // Scrolls the least that shows all of a bound row.
    void scrollToRow(const MyTableItemWidget *row);

    int count() const { return privateData.size(); }
    const QList<void *> &privateDataList() const { return privateData; }
    const QList<MyTableItemWidget *> &rows() const { return rowPool; }
    QWidget *viewportWidget() const { return viewport; }
    QWidget *contentWidget() const { return content; }
    QScrollBar *verticalScrollBar() const { return scrollBar; }

    int rowHeight = 60; // set by the owner

signals:
    void loadDataSingal(MyQtCustomLV::MyTableItemWidget *titem);

public slots:
    void scrollBar_verticalReleased();
    void scrollBar_actionTriggered(int tag);
    void scrollBar_valueChange(int cValue);

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeViewport();
    int firstIndexFor(int top) const;
    void setScrollBar(int maximum, int top, bool shown);
    void moveContent(int delta, bool refresh);
    void recycleDown(int top, int passes, bool refresh);
    void recycleUp(int top, int passes, bool refresh);
    void bindRows(int first, bool refresh);
    void placeRow(MyTableItemWidget *row, int position, bool refresh);
    void refreshRow(MyTableItemWidget *row);
    int poolPositionOf(void *data) const;
    int dataPositionOf(void *data, int poolPosition) const;
    static void unbindRow(MyTableItemWidget *row);

    QList<MyTableItemWidget *> rowPool; // top to bottom
    QWidget *viewport;
    QWidget *content;
    QScrollBar *scrollBar;
    QList<void *> privateData;
    QReadWriteLock lock; // guards rowPool and privateData; never recursive
    int wheelRest = 0;   // wheel angle not yet turned into pixels
};

} // namespace MyQtCustomLV

using MyQtCustomLV::MyTableListWidget;
