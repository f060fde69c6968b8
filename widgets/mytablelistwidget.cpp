// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/mytablelistwidget.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "widgets/displayscale.h"
#include "widgets/skinhelper_qsetting.h"

namespace MyQtCustomLV {

namespace {

// Rows kept bound above the visible top, so that a short scroll up finds them ready.
constexpr int MarginRows = 3;
// Wheel angle (eighths of a degree) per pixel scrolled.
constexpr int WheelDivisor = 5;

int CeilDiv(int value, int divisor)
{
    return value <= 0 ? 0 : (value + divisor - 1) / divisor;
}

QString ScrollBarSheet()
{
    return SkinHelper_QSetting::GetInstance()->GetQScrollBarQSS(QStringLiteral("vertical"), 10,
                                                                QStringLiteral("QScrollBar"));
}

} // namespace

MyTableListWidget::MyTableListWidget(QWidget *parent)
    : QWidget(parent), viewport(new QWidget(this)), content(new QWidget(viewport)),
      scrollBar(new QScrollBar(Qt::Vertical, viewport))
{
    setBackgroundColor(Qt::white);
    scrollBar->setPageStep(1);
    scrollBar->setRange(0, 1);
    scrollBar->setValue(0);
    scrollBar->hide();
    connect(scrollBar, &QScrollBar::sliderReleased, this, &MyTableListWidget::scrollBar_verticalReleased);
    connect(scrollBar, &QScrollBar::actionTriggered, this, &MyTableListWidget::scrollBar_actionTriggered);
    connect(scrollBar, &QScrollBar::valueChanged, this, &MyTableListWidget::scrollBar_valueChange);
    scrollBar->installEventFilter(this);
    // A control of a row reached with Tab is brought into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (QWidget *w = now; w && w != content; w = w->parentWidget()) {
            if (w->parentWidget() == content) {
                scrollToRow(qobject_cast<MyTableItemWidget *>(w));
                return;
            }
        }
    });
}

int MyTableListWidget::rowsToCover() const
{
    // A row cut at each end of the view besides the whole ones.
    return viewport->height() / qMax(1, rowHeight) + 2 + MarginRows;
}

void MyTableListWidget::scrollToRow(const MyTableItemWidget *row)
{
    if (!row || !row->data)
        return;
    const int top = row->y() + content->y();
    if (top < 0)
        updateMoveLayout(-top, true);
    else if (top + rowHeight > viewport->height())
        updateMoveLayout(viewport->height() - top - rowHeight, true);
}

void MyTableListWidget::Layout()
{
    QWriteLocker locker(&lock);
    placeViewport();
}

void MyTableListWidget::placeViewport()
{
    viewport->setGeometry(0, 1, width() - 1, height() - 2);
    const int barWidth = ScaledPx(10);
    scrollBar->setGeometry(viewport->width() - barWidth, 0, barWidth, viewport->height());
}

void MyTableListWidget::setBackgroundColor(const QColor &color)
{
    QPalette fill = content->palette();
    fill.setColor(QPalette::Window, color);
    content->setPalette(fill);
    content->setAutoFillBackground(true);
    scrollBar->setStyleSheet(ScrollBarSheet());
}

void MyTableListWidget::addMyTableItemWidget(MyTableItemWidget *row)
{
    unbindRow(row);
    row->hide();
    rowPool.append(row);
}

void MyTableListWidget::addPrivateData(void *data)
{
    {
        QWriteLocker locker(&lock);
        privateData.append(data);
    }
    updateLayout(0);
}

void MyTableListWidget::prependPrivateData(void *data)
{
    {
        QWriteLocker locker(&lock);
        privateData.prepend(data);
    }
    // Every position has moved: the re-layout finds the rows' bindings stale and renews them.
    updateLayout(0);
}

void MyTableListWidget::deletePrivateData(void *data)
{
    {
        QWriteLocker locker(&lock);
        const int from = qMax(0, poolPositionOf(data));
        privateData.removeOne(data);
        for (int k = from; k < rowPool.size(); ++k) {
            unbindRow(rowPool.at(k));
            rowPool.at(k)->hide();
        }
    }
    updateLayout(0);
}

void MyTableListWidget::moveupPrivateData(void *data)
{
    {
        QWriteLocker locker(&lock);
        const int i = poolPositionOf(data);
        const int j = dataPositionOf(data, i);
        if (i >= 0) {
            unbindRow(rowPool.at(i));
            if (i > 0)
                unbindRow(rowPool.at(i - 1));
        }
        if (j > 0)
            privateData.swapItemsAt(j - 1, j);
    }
    updateLayout(0);
}

void MyTableListWidget::movedownPrivateData(void *data)
{
    {
        QWriteLocker locker(&lock);
        const int i = poolPositionOf(data);
        const int j = dataPositionOf(data, i);
        if (i >= 0) {
            unbindRow(rowPool.at(i));
            if (i < rowPool.size() - 1)
                unbindRow(rowPool.at(i + 1));
        }
        if (j >= 0 && j < privateData.size() - 1)
            privateData.swapItemsAt(j, j + 1);
    }
    updateLayout(0);
}

void MyTableListWidget::clear()
{
    {
        QWriteLocker locker(&lock);
        privateData.clear();
        for (MyTableItemWidget *row : qAsConst(rowPool)) {
            row->hide();
            unbindRow(row);
            row->ResetItem(false);
        }
    }
    scrollBar->hide();
}

MyTableItemWidget *MyTableListWidget::searchMyTableItemWidget(void *data)
{
    if (!data)
        return nullptr;
    QWriteLocker locker(&lock);
    const int i = poolPositionOf(data);
    return i >= 0 ? rowPool.at(i) : nullptr;
}

void MyTableListWidget::FlushText()
{
    QWriteLocker locker(&lock);
    for (MyTableItemWidget *row : qAsConst(rowPool)) {
        if (row && row->data)
            refreshRow(row);
    }
}

void MyTableListWidget::flushTableItemsToUIShow()
{
    for (MyTableItemWidget *row : qAsConst(rowPool)) {
        if (row)
            refreshRow(row);
    }
}

void MyTableListWidget::uddateDataShow(MyTableItemWidget *row)
{
    if (row)
        refreshRow(row);
}

void MyTableListWidget::updateLayout(int)
{
    QWriteLocker locker(&lock);
    placeViewport();

    const int viewHeight = viewport->height();
    const int contentHeight = qMax(privateData.size() * rowHeight, viewHeight);
    const int top = qBound(0, -content->y(), contentHeight - viewHeight);
    content->setGeometry(0, -top, width(), contentHeight);
    setScrollBar(contentHeight - viewHeight, top, contentHeight > viewHeight);
    bindRows(firstIndexFor(top), true);
}

int MyTableListWidget::firstIndexFor(int top) const
{
    const int n = privateData.size();
    const int pool = rowPool.size();
    if (n == 0 || pool == 0 || rowHeight <= 0)
        return 0;
    // Keep the pool where it is when it still covers the view; otherwise put it
    // round the view. Never start so late that rows at the end would stay idle.
    const int visibleEnd = qMin(top + viewport->height(), n * rowHeight);
    int first = rowPool.first()->index;
    if (first < 0 || first * rowHeight > top || (first + pool) * rowHeight < visibleEnd)
        first = qMax(0, top / rowHeight - MarginRows);
    return qMin(first, qMax(0, n - pool));
}

void MyTableListWidget::setScrollBar(int maximum, int top, bool shown)
{
    scrollBar->setRange(0, maximum);
    scrollBar->setPageStep(viewport->height());
    if (scrollBar->value() != top)
        scrollBar->setValue(top);
    if (scrollBar->isHidden() == shown)
        scrollBar->setVisible(shown);
}

void MyTableListWidget::bindRows(int first, bool refresh)
{
    for (int k = 0; k < rowPool.size(); ++k) {
        MyTableItemWidget *row = rowPool.at(k);
        if (first + k < privateData.size()) {
            placeRow(row, first + k, refresh);
        } else {
            unbindRow(row);
            row->hide();
        }
    }
}

void MyTableListWidget::placeRow(MyTableItemWidget *row, int position, bool refresh)
{
    row->move(row->x(), position * rowHeight);
    row->show();
    void *const wanted = privateData.at(position);
    if (row->index == position && row->data == wanted)
        return;
    row->index = position;
    row->data = wanted;
    if (refresh)
        refreshRow(row);
}

void MyTableListWidget::updateMoveLayout(int delta, bool refresh)
{
    // A step that finds the list busy is dropped, never waited for.
    if (!lock.tryLockForWrite())
        return;
    moveContent(delta, refresh);
    lock.unlock();
}

void MyTableListWidget::moveContent(int delta, bool refresh)
{
    const int viewHeight = viewport->height();
    const int total = privateData.size() * rowHeight;
    if (total <= viewHeight)
        return;

    const int newY = qBound(viewHeight - total, content->y() + delta, 0);
    content->setGeometry(0, newY, width(), total);
    setScrollBar(total - viewHeight, -newY, total > viewHeight);

    if (rowPool.isEmpty() || delta == 0)
        return;
    const int passes = qAbs(delta) / rowHeight + 1;
    if (delta < 0)
        recycleDown(-newY, passes, refresh);
    else
        recycleUp(-newY, passes, refresh);
}

// The view moved down: rows that lie more than the margin above the visible
// top go to the end and take the next data. The number of rows to move is
// computed at once; a jump further than the pool rebinds the pool in place, so
// a step never costs more than the pool.
void MyTableListWidget::recycleDown(int top, int passes, bool refresh)
{
    const int pool = rowPool.size();
    const MyTableItemWidget *first = rowPool.first();
    if (first->index < 0)
        return;
    const int gap = top - first->y();
    int moves = qMin(passes, privateData.size() - pool - first->index);
    moves = qMin(moves, CeilDiv(gap - MarginRows * rowHeight, rowHeight));
    if (moves <= 0)
        return;
    if (moves >= pool) {
        bindRows(first->index + moves, refresh);
        return;
    }
    for (int i = 0; i < moves; ++i) {
        MyTableItemWidget *row = rowPool.takeFirst();
        rowPool.append(row);
        placeRow(row, qMin(row->index + pool, privateData.size() - 1), refresh);
    }
}

// The view moved up: while fewer than the margin's rows lie above the visible
// top, the last row goes to the front and takes the data before the first.
void MyTableListWidget::recycleUp(int top, int passes, bool refresh)
{
    const int pool = rowPool.size();
    const MyTableItemWidget *first = rowPool.first();
    const int gap = top - first->y();
    int moves = qMin(passes, first->index);
    moves = qMin(moves, CeilDiv(MarginRows * rowHeight - gap, rowHeight));
    if (moves >= pool) {
        bindRows(first->index - moves, refresh);
        return;
    }
    for (int i = 0; i < moves; ++i) {
        const int firstIndex = rowPool.first()->index;
        const int lastIndex = rowPool.last()->index;
        if (firstIndex <= 0 || (lastIndex != -1 && lastIndex < pool))
            break;
        MyTableItemWidget *row = rowPool.takeLast();
        rowPool.prepend(row);
        placeRow(row, qMax(firstIndex - 1, 0), refresh);
    }
}

void MyTableListWidget::wheelEvent(QWheelEvent *event)
{
    int delta = event->pixelDelta().y();
    if (delta == 0) {
        // A notch (120) moves 24 pixels. A wheel or pad that reports finer
        // steps moves in proportion, its remainders carried to the next step,
        // so the same turn back always returns to the same place.
        wheelRest += event->angleDelta().y();
        delta = wheelRest / WheelDivisor;
        wheelRest -= delta * WheelDivisor;
    }
    updateMoveLayout(delta, true);
    event->accept();
}

bool MyTableListWidget::eventFilter(QObject *watched, QEvent *event)
{
    // The bar would move itself without the rows; the list scrolls them together.
    if (watched == scrollBar && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MyTableListWidget::scrollBar_verticalReleased()
{
    // Dragging the slider does not move the content; the jump happens here.
    if (scrollBar->isHidden())
        return;
    const int value = scrollBar->value();
    const int y = content->y();
    if (y + value != 0) {
        updateMoveLayout(-(y + value), false);
        if (value >= scrollBar->maximum())
            updateMoveLayout(-(rowPool.size() * rowHeight), false);
    }
    for (MyTableItemWidget *row : qAsConst(rowPool)) {
        if (row->data && !row->isHidden())
            refreshRow(row);
    }
}

void MyTableListWidget::scrollBar_actionTriggered(int tag)
{
    // Clicks on the groove and the arrows move the content at once; a drag
    // (SliderMove) waits for the release.
    if (tag == QAbstractSlider::SliderNoAction || tag == QAbstractSlider::SliderMove)
        return;
    updateMoveLayout(-(content->y() + scrollBar->sliderPosition()), true);
}

void MyTableListWidget::scrollBar_valueChange(int) {}

void MyTableListWidget::refreshRow(MyTableItemWidget *row)
{
    row->count = privateData.size();
    row->ShowData();
    emit loadDataSingal(row);
}

int MyTableListWidget::poolPositionOf(void *data) const
{
    for (int k = 0; k < rowPool.size(); ++k) {
        if (rowPool.at(k)->data == data)
            return k;
    }
    return -1;
}

int MyTableListWidget::dataPositionOf(void *data, int poolPosition) const
{
    // A bound row knows where its data is; only an unseen item needs a search.
    if (poolPosition >= 0) {
        const int index = rowPool.at(poolPosition)->index;
        if (index >= 0 && index < privateData.size() && privateData.at(index) == data)
            return index;
    }
    return privateData.indexOf(data);
}

void MyTableListWidget::unbindRow(MyTableItemWidget *row)
{
    row->index = -1;
    row->data = nullptr;
}

} // namespace MyQtCustomLV
