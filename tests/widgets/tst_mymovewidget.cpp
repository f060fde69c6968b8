#include <QTemporaryDir>
#include <QtTest>

#include "widgets/mymovewidget.h"

using MyQtCustom::MyMoveWidget;

namespace {

// Records the number each tick asks for, before the step advances it.
class RecordingMoveWidget : public MyMoveWidget
{
public:
    QList<int> shown;

protected:
    void timerEvent(QTimerEvent *event) override
    {
        shown << frameIndex;
        MyMoveWidget::timerEvent(event);
    }
};

void Tick(QObject *widget)
{
    QTimerEvent event(0);
    QCoreApplication::sendEvent(widget, &event);
}

QColor BackgroundColour(const QWidget *widget)
{
    return widget->palette().brush(QPalette::Window).texture().toImage().pixelColor(1, 1);
}

} // namespace

class TestMyMoveWidget : public QObject
{
    Q_OBJECT
private slots:
    void startsAsDocumented();
    void frameSequenceSkipsZeroAfterTheFirstRound();
    void picturesFillTheBackgroundAtTheCurrentSize();
    void stopAndRestartContinues();
};

void TestMyMoveWidget::startsAsDocumented()
{
    MyMoveWidget widget;
    QCOMPARE(widget.timerId, -1);
    QCOMPARE(widget.frameIndex, 0);
    QCOMPARE(widget.imagePrefix, QStringLiteral(":/images/move2/"));
    QCOMPARE(widget.firstFrame, 1);
    QCOMPARE(widget.lastFrame, 24);
}

void TestMyMoveWidget::frameSequenceSkipsZeroAfterTheFirstRound()
{
    RecordingMoveWidget widget;
    for (int i = 0; i < 27; ++i)
        Tick(&widget);
    QList<int> expected{0};
    for (int frame = 1; frame <= 24; ++frame)
        expected << frame;
    expected << 1 << 2;
    QCOMPARE(widget.shown, expected);
}

void TestMyMoveWidget::picturesFillTheBackgroundAtTheCurrentSize()
{
    QTemporaryDir dir;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < colours.size(); ++i) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(colours.at(i));
        QVERIFY(image.save(dir.filePath(QString::number(i + 1) + QStringLiteral(".png"))));
    }
    MyMoveWidget widget;
    widget.imagePrefix = dir.path() + QLatin1Char('/');
    widget.lastFrame = 3;
    widget.resize(20, 10);

    Tick(&widget); // picture 0 does not exist
    QVERIFY(widget.autoFillBackground());
    QVERIFY(widget.palette().brush(QPalette::Window).texture().isNull());
    Tick(&widget);
    QCOMPARE(BackgroundColour(&widget), QColor(Qt::red));
    QCOMPARE(widget.palette().brush(QPalette::Window).texture().size(), QSize(20, 10));
    widget.resize(30, 30);
    Tick(&widget);
    QCOMPARE(BackgroundColour(&widget), QColor(Qt::green));
    QCOMPARE(widget.palette().brush(QPalette::Window).texture().size(), QSize(30, 30));
    Tick(&widget);
    Tick(&widget); // after the last picture comes the first again
    QCOMPARE(BackgroundColour(&widget), QColor(Qt::red));
}

void TestMyMoveWidget::stopAndRestartContinues()
{
    RecordingMoveWidget widget;
    widget.timerId = widget.startTimer(1, Qt::CoarseTimer);
    QTRY_VERIFY(widget.shown.size() >= 3);
    widget.killTimer(widget.timerId);
    widget.timerId = -1;
    const int stoppedAt = widget.frameIndex;
    const int ticks = widget.shown.size();
    QCoreApplication::processEvents();
    QCOMPARE(widget.shown.size(), ticks);

    widget.timerId = widget.startTimer(1, Qt::CoarseTimer);
    QTRY_VERIFY(widget.shown.size() > ticks);
    widget.killTimer(widget.timerId);
    QCOMPARE(widget.shown.at(ticks), stoppedAt);
    QVERIFY(stoppedAt > 0);
}

QTEST_MAIN(TestMyMoveWidget)
#include "tst_mymovewidget.moc"
