// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/waveformstrip.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/skinhelper_qsetting.h"

namespace {
constexpr qint64 Second = 1000000;
constexpr int Margin = 6; // room for the handles at both ends

QColor skinColor(const char *key)
{
    return QColor(
        SkinHelper_QSetting::GetInstance()->GetValue(QStringLiteral("Waveform"), QLatin1String(key)));
}
} // namespace

WaveformStrip::WaveformStrip(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(40);
}

void WaveformStrip::setWaveform(const QVector<float> &peaks, qint64 window, qint64 duration)
{
    windows = peaks;
    windowUs = qMax<qint64>(1, window);
    length = duration;
    message.clear();
    rebin();
    update();
}

void WaveformStrip::setMessage(const QString &text)
{
    message = text;
    windows.clear();
    bars.clear();
    length = 0;
    update();
}

void WaveformStrip::setRange(qint64 start, qint64 end)
{
    startUs = start;
    endUs = end;
    update();
}

void WaveformStrip::setCuts(const QVector<qint64> &cuts)
{
    cutTimes = cuts;
    chosenCut = qBound(0, chosenCut, qMax(0, cutTimes.size() - 1));
    update();
}

void WaveformStrip::setCutsMovable(bool movable)
{
    cutsMovable = movable;
    update();
}

void WaveformStrip::setPosition(qint64 position)
{
    positionUs = position;
    update();
}

qint64 WaveformStrip::timeAt(int x) const
{
    const int span = qMax(1, width() - 2 * Margin);
    return length * qBound(0, x - Margin, span) / span;
}

int WaveformStrip::xOf(qint64 time) const
{
    const int span = qMax(1, width() - 2 * Margin);
    return Margin + int(length > 0 ? qBound<qint64>(0, time, length) * span / length : 0);
}

void WaveformStrip::rebin()
{
    bars.clear();
    const int span = width() - 2 * Margin;
    if (windows.isEmpty() || span <= 0)
        return;
    bars.resize(span);
    // Each pixel shows the highest window it covers, so no peak is lost.
    for (int i = 0; i < span; ++i) {
        const qint64 from = length * i / span / windowUs;
        const qint64 to = qMax(from + 1, length * (i + 1) / span / windowUs);
        const auto first = windows.cbegin() + int(qMin<qint64>(from, windows.size()));
        const auto last = windows.cbegin() + int(qMin<qint64>(to, windows.size()));
        bars[i] = first < last ? *std::max_element(first, last) : 0.0f;
    }
}

void WaveformStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    rebin();
}

void WaveformStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), skinColor("bgcolor"));
    if (!message.isEmpty() || length <= 0) {
        painter.setPen(skinColor("txtcolor2"));
        painter.drawText(rect(), Qt::AlignCenter, message);
        return;
    }
    const bool ranged = endUs >= 0;
    const int left = xOf(startUs);
    const int right = xOf(ranged ? endUs : length);
    if (ranged)
        painter.fillRect(QRect(QPoint(left, 0), QPoint(right, height() - 1)), skinColor("selectbgcolor"));
    const int middle = height() / 2;
    const int reach = middle - 2;
    const QColor outside = skinColor("wavecolor");
    const QColor inside = skinColor("selectcolor");
    for (int i = 0; i < bars.size(); ++i) {
        const int x = Margin + i;
        const int h = qMax(1, int(bars.at(i) * float(reach)));
        painter.setPen(!ranged || (x >= left && x <= right) ? inside : outside);
        painter.drawLine(x, middle - h, x, middle + h);
    }
    painter.setPen(QPen(skinColor("cutcolor"), 2));
    for (int i = 0; i < cutTimes.size(); ++i) {
        const int x = xOf(cutTimes.at(i));
        painter.drawLine(x, 0, x, height());
        // A movable cut has a handle; the chosen one a larger one.
        const int side = cutsMovable ? (i == chosenCut && hasFocus() ? 12 : 8) : 0;
        painter.fillRect(QRect(x - side / 2, 0, side, side), skinColor("cutcolor"));
    }
    if (ranged) {
        painter.setPen(QPen(skinColor("handlecolor"), 2));
        for (int x : {left, right}) {
            painter.drawLine(x, 0, x, height());
            painter.fillRect(QRect(x - 4, 0, 8, 8), skinColor("handlecolor"));
        }
    }
    if (positionUs >= 0) {
        painter.setPen(QPen(skinColor("positioncolor"), 2));
        painter.drawLine(xOf(positionUs), 0, xOf(positionUs), height());
    }
    if (hasFocus()) {
        painter.setPen(QPen(skinColor("handlecolor"), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void WaveformStrip::moveEnd(bool endHandle, qint64 time)
{
    // Cut points are whole seconds; the range keeps at least one.
    const qint64 whole = qBound<qint64>(0, (time + Second / 2) / Second * Second, length / Second * Second);
    qint64 start = startUs;
    qint64 end = qMin(endUs, length);
    if (endHandle)
        end = qMax(whole, start + Second);
    else
        start = qMin(whole, end - Second);
    if (start < 0 || (start == startUs && end == endUs))
        return;
    setRange(start, end);
    emit rangeEdited(start, end);
}

void WaveformStrip::moveCut(int index, qint64 time)
{
    if (index < 0 || index >= cutTimes.size())
        return;
    // Whole seconds, a second from the neighbours and from the ends.
    const qint64 low = ((index > 0 ? cutTimes.at(index - 1) : 0) + Second + Second - 1) / Second * Second;
    const qint64 high =
        ((index + 1 < cutTimes.size() ? cutTimes.at(index + 1) : length) - Second) / Second * Second;
    const qint64 whole = qBound(low, (time + Second / 2) / Second * Second, high);
    if (low > high || whole == cutTimes.at(index))
        return;
    cutTimes[index] = whole;
    update();
    emit cutsEdited(cutTimes);
}

void WaveformStrip::mousePressEvent(QMouseEvent *event)
{
    if (cutsMovable && !cutTimes.isEmpty() && length > 0 && event->button() == Qt::LeftButton) {
        // The nearest cut, when the press is on or beside it.
        const int x = event->pos().x();
        int nearest = 0;
        for (int i = 1; i < cutTimes.size(); ++i)
            if (qAbs(x - xOf(cutTimes.at(i))) < qAbs(x - xOf(cutTimes.at(nearest))))
                nearest = i;
        if (qAbs(x - xOf(cutTimes.at(nearest))) <= 8) {
            chosenCut = nearest;
            dragging = 3;
            update();
            return;
        }
    }
    if (endUs < 0 || length <= 0 || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The nearer end follows the pointer.
    const int x = event->pos().x();
    dragging = qAbs(x - xOf(startUs)) <= qAbs(x - xOf(endUs)) ? 1 : 2;
    moveEnd(dragging == 2, timeAt(x));
}

void WaveformStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging == 3)
        moveCut(chosenCut, timeAt(event->pos().x()));
    else if (dragging)
        moveEnd(dragging == 2, timeAt(event->pos().x()));
}

void WaveformStrip::mouseReleaseEvent(QMouseEvent *event)
{
    mouseMoveEvent(event);
    dragging = 0;
    QWidget::mouseReleaseEvent(event);
}

void WaveformStrip::keyPressEvent(QKeyEvent *event)
{
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    if (cutsMovable && !cutTimes.isEmpty() && length > 0 && step != 0) {
        if (event->modifiers() & Qt::ShiftModifier) {
            chosenCut = qBound(0, chosenCut + step, cutTimes.size() - 1);
            update();
        } else {
            moveCut(chosenCut, cutTimes.at(chosenCut) + step * Second);
        }
        return;
    }
    if (endUs < 0 || length <= 0 || step == 0)
        return QWidget::keyPressEvent(event);
    const bool endHandle = event->modifiers() & Qt::ShiftModifier;
    moveEnd(endHandle, (endHandle ? qMin(endUs, length) : startUs) + step * Second);
}
