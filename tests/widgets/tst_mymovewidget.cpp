#include <QTemporaryDir>
#include <QtTest>

#include "widgets/mymovewidget.h"

using MyQtCustom::MyMoveWidget;

namespace {

// One tick of the widget's timer; the background it leaves.
QPixmap Tick(MyMoveWidget &widget)
{
    QTimerEvent event(0);
    QCoreApplication::sendEvent(&widget, &event);
    return widget.palette().brush(QPalette::Window).texture();
}

} // namespace

class TestMyMoveWidget : public QObject
{
    Q_OBJECT
private slots:
    void shippedPicturesAllLoad()
    {
        MyMoveWidget widget;
        widget.resize(16, 16);
        qint64 previous = Tick(widget).cacheKey(); // there is no picture 0
        // A picture that does not load leaves the previous background.
        for (int frame = widget.firstFrame; frame <= widget.lastFrame; ++frame) {
            const QPixmap shown = Tick(widget);
            QVERIFY2(!shown.isNull() && shown.cacheKey() != previous, qPrintable(QString::number(frame)));
            previous = shown.cacheKey();
        }
    }

    void framesCycleAndFillTheBackgroundAtTheCurrentSize()
    {
        QTemporaryDir dir;
        const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
        for (int i = 0; i < colours.size(); ++i) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(colours.at(i));
            QVERIFY(image.save(dir.filePath(QStringLiteral("%1.png").arg(i + 1))));
        }
        MyMoveWidget widget;
        widget.imagePrefix = dir.path() + QLatin1Char('/');
        widget.lastFrame = 3;
        widget.resize(20, 10);
        QVERIFY(Tick(widget).isNull()); // picture 0 does not exist
        QCOMPARE(Tick(widget).toImage().pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(widget.autoFillBackground());
        widget.resize(30, 30);
        const QImage green = Tick(widget).toImage();
        QCOMPARE(green.pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(green.size(), QSize(30, 30));
        Tick(widget);
        // After the last picture comes the first again, not 0.
        QCOMPARE(Tick(widget).toImage().pixelColor(1, 1), QColor(Qt::red));
    }
};

QTEST_MAIN(TestMyMoveWidget)
#include "tst_mymovewidget.moc"
