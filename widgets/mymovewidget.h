// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QWidget>

namespace MyQtCustom {

// A busy indicator: every timer tick shows the next picture of a numbered
// series (imagePrefix + number + ".png") as the widget's background, starting
// over at firstFrame after lastFrame. The owner starts and kills the timer
// with the widget's own QObject timer functions and keeps its id in timerId.
class MyMoveWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyMoveWidget(QWidget *parent = nullptr);
    ~MyMoveWidget() override;

    int timerId = -1;
    int frameIndex = 0; // the picture the next tick shows
    QString imagePrefix = QStringLiteral(":/images/move2/");
    int firstFrame = 1;
    int lastFrame = 24;

protected:
    void timerEvent(QTimerEvent *event) override;
};

} // namespace MyQtCustom
