#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStandardItemModel>
#include <QtTest>

#include "widgets/nofocusframedelegate.h"

namespace {

// Records the state of every item the delegate asks the style to draw.
class RecordingStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_ItemViewItem)
            states << option->state;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable QList<QStyle::State> states;
};

} // namespace

class TestNoFocusFrameDelegate : public QObject
{
    Q_OBJECT
private slots:
    void paintsWithoutFocusOnly_data();
    void paintsWithoutFocusOnly();
};

void TestNoFocusFrameDelegate::paintsWithoutFocusOnly_data()
{
    QTest::addColumn<int>("state");
    QTest::addRow("focused and selected")
        << int(QStyle::State_HasFocus | QStyle::State_Selected | QStyle::State_Enabled);
    QTest::addRow("without focus") << int(QStyle::State_Selected | QStyle::State_Enabled);
}

void TestNoFocusFrameDelegate::paintsWithoutFocusOnly()
{
    QFETCH(int, state);
    auto *style = new RecordingStyle;
    QApplication::setStyle(style); // the application owns it from here

    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("MP3")));
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 100, 30);
    option.state = QStyle::State(state);
    QImage canvas(100, 30, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    NoFocusFrameDelegate delegate;
    delegate.paint(&painter, option, model.index(0, 0));

    QCOMPARE(style->states.size(), 1);
    QCOMPARE(int(style->states.first()), state & ~int(QStyle::State_HasFocus));
}

QTEST_MAIN(TestNoFocusFrameDelegate)
#include "tst_nofocusframedelegate.moc"
