// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QtTest>

#include "widgets/mymovewidget.h"

using MyQtCustom::MyMoveWidget;

class TestMyMoveWidget : public QObject
{
    Q_OBJECT
    // One tick of the widget's timer; the background it leaves.
    static QImage Tick(MyMoveWidget &widget)
    {
        QTimerEvent event(0);
        QCoreApplication::sendEvent(&widget, &event);
        return widget.palette().brush(QPalette::Window).texture().toImage();
    }

private slots:
    void framesCycleThroughTheShippedPictures()
    {
        MyMoveWidget widget;
        widget.resize(16, 16);
        QVERIFY(Tick(widget).isNull()); // there is no picture 0
        QList<QImage> frames;
        for (int frame = widget.firstFrame; frame <= widget.lastFrame; ++frame) {
            frames << Tick(widget);
            QVERIFY2(!frames.last().isNull(), qPrintable(QString::number(frame)));
            QCOMPARE(frames.last().size(), QSize(16, 16));
        }
        QVERIFY(widget.autoFillBackground());
        QVERIFY(frames.first() != frames.at(1));
        // After the last picture comes the first again, not 0; a new size shows at the next tick.
        QCOMPARE(Tick(widget), frames.first());
        widget.resize(30, 20);
        QCOMPARE(Tick(widget).size(), QSize(30, 20));
    }
};

QTEST_MAIN(TestMyMoveWidget)
#include "tst_mymovewidget.moc"
