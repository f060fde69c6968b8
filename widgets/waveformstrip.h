// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QVector>
#include <QWidget>

// A strip that draws a file's loudness (one bar per pixel, from windows of
// fixed length), with an optional kept range whose two ends can be dragged
// (or moved with the arrow keys, Shift for the end), planned cut points that
// can be made movable (dragged, or chosen with Shift and the arrow keys and
// moved with the arrow keys) and a playback position. Times are microseconds;
// the range and the cuts move in whole seconds.
class WaveformStrip : public QWidget
{
    Q_OBJECT
public:
    explicit WaveformStrip(QWidget *parent = nullptr);

    // Peaks (0 to 1) of consecutive windows of `windowUs` covering `duration`.
    void setWaveform(const QVector<float> &windows, qint64 windowUs, qint64 duration);
    // A line of text instead of the waveform ("Reading...", "No audio").
    void setMessage(const QString &text);
    qint64 duration() const { return length; }

    // The kept range; end < 0 shows none.
    void setRange(qint64 start, qint64 end);
    qint64 rangeStart() const { return startUs; }
    qint64 rangeEnd() const { return endUs; }
    void setCuts(const QVector<qint64> &cuts);
    QVector<qint64> cuts() const { return cutTimes; }
    // Lets the user move the cuts; each stays a second from its neighbours
    // and from the ends.
    void setCutsMovable(bool movable);
    // Playback position; negative hides it.
    void setPosition(qint64 position);

    // The time under x, and the x of a time, in widget pixels.
    qint64 timeAt(int x) const;
    int xOf(qint64 time) const;

signals:
    // The user moved an end of the range.
    void rangeEdited(qint64 start, qint64 end);
    // The user moved a cut.
    void cutsEdited(const QVector<qint64> &cuts);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void moveEnd(bool endHandle, qint64 time);
    void moveCut(int index, qint64 time);
    void rebin();

    QVector<float> windows;
    qint64 windowUs = 1;
    qint64 length = 0;
    QVector<float> bars; // one per pixel of the drawing area
    QString message;
    qint64 startUs = 0;
    qint64 endUs = -1;
    QVector<qint64> cutTimes;
    qint64 positionUs = -1;
    int dragging = 0; // 0 none, 1 start, 2 end, 3 a cut
    bool cutsMovable = false;
    int chosenCut = 0; // the cut the arrow keys and a drag move
};
