#include <functional>

#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

#include "widgets/mytablelistwidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

constexpr int RowHeight = 60;
constexpr int PoolSize = 30;

// A row that records what the list asked of it.
class TestRow : public MyTableItemWidget
{
public:
    using MyTableItemWidget::MyTableItemWidget;

    void ShowData() override
    {
        shownData << data;
        shownCounts << count;
        if (onShow)
            onShow();
    }
    void ResetItem(bool all) override { resets << all; }

    QList<void *> shownData;
    QList<int> shownCounts;
    QList<bool> resets;
    std::function<void()> onShow;
};

void *Item(int i)
{
    return reinterpret_cast<void *>(quintptr(i + 1));
}

// A list with a viewport of 400 pixels (the list is 2 taller) and a pool of 30 rows.
struct Fixture
{
    explicit Fixture(int items, int pool = PoolSize)
    {
        list.resize(300, 402);
        list.rowHeight = RowHeight;
        list.Layout();
        for (int k = 0; k < pool; ++k) {
            auto *row = new TestRow(list.contentWidget());
            row->setGeometry(10, -120, 280, RowHeight);
            list.addMyTableItemWidget(row);
        }
        for (int i = 0; i < items; ++i)
            list.addPrivateData(Item(i));
    }

    TestRow *row(int k) const { return static_cast<TestRow *>(list.rows().at(k)); }
    int contentY() const { return list.contentWidget()->y(); }
    int shownRows() const
    {
        int shown = 0;
        for (MyTableItemWidget *r : list.rows())
            shown += r->isHidden() ? 0 : 1;
        return shown;
    }
    TestRow *rowShowing(int i) { return static_cast<TestRow *>(list.searchMyTableItemWidget(Item(i))); }
    void wheel(int delta)
    {
        QWheelEvent event(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&list, &event);
    }

    MyTableListWidget list;
};

// The list's promise, checked from outside: bound rows hold consecutive
// positions in pool order at y = index * rowHeight, unbound rows are hidden
// and come last, and every data position inside the view has a row.
QString CheckInvariant(const MyTableListWidget &list)
{
    const QList<void *> &data = list.privateDataList();
    const int top = -list.contentWidget()->y();
    const int viewHeight = list.viewportWidget()->height();
    int previous = -1;
    bool unboundSeen = false;
    for (MyTableItemWidget *row : list.rows()) {
        if (!row->data) {
            if (row->index != -1 || !row->isHidden())
                return QStringLiteral("unbound row is not reset and hidden");
            unboundSeen = true;
            continue;
        }
        if (unboundSeen)
            return QStringLiteral("bound row after an unbound one");
        if (row->isHidden())
            return QStringLiteral("bound row %1 hidden").arg(row->index);
        if (previous >= 0 && row->index != previous + 1)
            return QStringLiteral("row of %1 follows row of %2").arg(row->index).arg(previous);
        if (row->index < 0 || row->index >= data.size() || data.at(row->index) != row->data)
            return QStringLiteral("row %1 bound to the wrong data").arg(row->index);
        if (row->y() != row->index * list.rowHeight)
            return QStringLiteral("row %1 at y %2").arg(row->index).arg(row->y());
        previous = row->index;
    }
    const int firstVisible = top / list.rowHeight;
    const int lastVisible = qMin(data.size() - 1, (top + viewHeight - 1) / list.rowHeight);
    for (int i = firstVisible; i <= lastVisible; ++i) {
        bool found = false;
        for (MyTableItemWidget *row : list.rows())
            found = found || (row->data && row->index == i);
        if (!found)
            return QStringLiteral("visible item %1 (top %2) has no row").arg(i).arg(top);
    }
    if (list.verticalScrollBar()->value() != top && !list.verticalScrollBar()->isHidden())
        return QStringLiteral("scroll bar at %1, content at %2")
            .arg(list.verticalScrollBar()->value())
            .arg(top);
    return QString();
}

} // namespace

class TestMyTableListWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fewItemsUseFewRows();
    void scrollBarThresholds_data();
    void scrollBarThresholds();
    void wheelDeltaScaling_data();
    void wheelDeltaScaling();
    void backAtTheTopTheBarIsAtZero();
    void scrollingKeepsTheInvariant_data();
    void scrollingKeepsTheInvariant();
    void moveFirstUpAndLastDownKeepOrder();
    void moveSwapsAndRebinds();
    void moveOfAScrolledOutRowKeepsTheView();
    void deleteUnseenItemKeepsScrollPosition();
    void deleteVisibleItemRebindsFromThere();
    void prependShowsTheNewItemFirst();
    void clearUnbindsAndHidesEverything();
    void sliderReleasedAtEndShowsLastItemAtBottom();
    void barClickMovesTheContent();
    void hundredThousandItemsCostOnlyThePool();
    void searchFindsOnlyBoundData();
    void refreshesWriteTheCount();
    void stepDuringRefreshIsDropped();
};

void TestMyTableListWidget::initTestCase()
{
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
}

void TestMyTableListWidget::fewItemsUseFewRows()
{
    Fixture f(5);
    QCOMPARE(f.shownRows(), 5);
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(f.row(k)->data, Item(k));
        QCOMPARE(f.row(k)->index, k);
        QCOMPARE(f.row(k)->y(), k * RowHeight);
    }
    for (int k = 5; k < PoolSize; ++k) {
        QVERIFY(f.row(k)->isHidden());
        QCOMPARE(f.row(k)->index, -1);
    }
    QVERIFY(f.list.verticalScrollBar()->isHidden());
    f.wheel(-120);
    f.wheel(120);
    QCOMPARE(f.contentY(), 0);
    // Each row was bound once, when its item arrived, and never again.
    QCOMPARE(f.row(0)->shownData, QList<void *>{Item(0)});
    QCOMPARE(f.row(4)->shownData, QList<void *>{Item(4)});
}

void TestMyTableListWidget::scrollBarThresholds_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<bool>("scrolls");
    QTest::addColumn<bool>("barShown");
    QTest::addRow("6 items fit") << 6 << false << false;
    QTest::addRow("7 items scroll without bar") << 7 << true << false;
    QTest::addRow("13 items are not twice the view") << 13 << true << false;
    QTest::addRow("14 items show the bar") << 14 << true << true;
}

void TestMyTableListWidget::scrollBarThresholds()
{
    QFETCH(int, items);
    QFETCH(bool, scrolls);
    QFETCH(bool, barShown);
    Fixture f(items);
    QCOMPARE(f.list.viewportWidget()->height(), 400);
    QCOMPARE(!f.list.verticalScrollBar()->isHidden(), barShown);
    f.wheel(-120);
    QCOMPARE(f.contentY() != 0, scrolls);
    QCOMPARE(!f.list.verticalScrollBar()->isHidden(), barShown);
    QCOMPARE(f.list.verticalScrollBar()->geometry(), QRect(289, 0, 10, 400));
}

void TestMyTableListWidget::wheelDeltaScaling_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("moved");
    QTest::addRow("a notch down moves 24") << -120 << -24;
    QTest::addRow("a notch up moves 24") << 120 << 24;
    QTest::addRow("small deltas stay") << 10 << 10;
    QTest::addRow("16 is small") << -16 << -16;
    QTest::addRow("17 is divided") << 17 << 3;
}

void TestMyTableListWidget::wheelDeltaScaling()
{
    QFETCH(int, delta);
    QFETCH(int, moved);
    Fixture f(100);
    f.list.updateMoveLayout(-1000, true);
    QCOMPARE(f.contentY(), -1000);
    f.wheel(delta);
    QCOMPARE(f.contentY(), -1000 + moved);
    QCOMPARE(f.list.verticalScrollBar()->value(), 1000 - moved);
}

void TestMyTableListWidget::backAtTheTopTheBarIsAtZero()
{
    Fixture f(100);
    f.wheel(-120);
    QCOMPARE(f.list.verticalScrollBar()->value(), 24);
    f.wheel(120);
    QCOMPARE(f.contentY(), 0);
    QCOMPARE(f.list.verticalScrollBar()->value(), 0);
}

void TestMyTableListWidget::scrollingKeepsTheInvariant_data()
{
    QTest::addColumn<int>("items");
    QTest::addRow("fewer than the pool") << 20;
    QTest::addRow("just above the pool") << 31;
    QTest::addRow("a hundred") << 100;
    QTest::addRow("ten thousand") << 10000;
}

void TestMyTableListWidget::scrollingKeepsTheInvariant()
{
    QFETCH(int, items);
    Fixture f(items);
    QRandomGenerator random(items);
    const int total = items * RowHeight;
    for (int step = 0; step < 400; ++step) {
        const int kind = random.bounded(10);
        if (kind < 6) {
            f.wheel(random.bounded(2) ? 120 : -120);
        } else if (kind < 8) {
            f.list.updateMoveLayout(random.bounded(-3 * total, 3 * total), true);
        } else {
            QScrollBar *bar = f.list.verticalScrollBar();
            bar->setValue(random.bounded(bar->maximum() + 1));
            f.list.scrollBar_verticalReleased();
        }
        const QString broken = CheckInvariant(f.list);
        QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("step %1: ").arg(step) + broken));
    }
}

void TestMyTableListWidget::moveFirstUpAndLastDownKeepOrder()
{
    Fixture f(5);
    const QList<void *> before = f.list.privateDataList();
    f.list.moveupPrivateData(Item(0));
    f.list.movedownPrivateData(Item(4));
    QCOMPARE(f.list.privateDataList(), before);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
    for (int k = 0; k < 5; ++k)
        QCOMPARE(f.row(k)->data, Item(k));
}

void TestMyTableListWidget::moveSwapsAndRebinds()
{
    Fixture f(5);
    f.list.moveupPrivateData(Item(2));
    QCOMPARE(f.list.privateDataList(), (QList<void *>{Item(0), Item(2), Item(1), Item(3), Item(4)}));
    QCOMPARE(f.row(1)->data, Item(2));
    QCOMPARE(f.row(2)->data, Item(1));
    QCOMPARE(f.row(1)->shownData.last(), Item(2));
    QCOMPARE(f.row(2)->shownData.last(), Item(1));
    QCOMPARE(f.row(3)->shownData.size(), 1); // untouched rows are not refreshed

    f.list.movedownPrivateData(Item(0));
    QCOMPARE(f.list.privateDataList(), (QList<void *>{Item(2), Item(0), Item(1), Item(3), Item(4)}));
    QCOMPARE(f.row(0)->data, Item(2));
    QCOMPARE(f.row(1)->data, Item(0));
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
}

void TestMyTableListWidget::moveOfAScrolledOutRowKeepsTheView()
{
    Fixture f(200);
    f.list.updateMoveLayout(-3000, true);
    const int y = f.contentY();
    // The top row of the pool lies above the view; moving its item up rebinds it.
    MyTableItemWidget *top = f.list.rows().first();
    const int index = top->index;
    void *moved = top->data;
    f.list.moveupPrivateData(moved);
    QCOMPARE(f.list.privateDataList().at(index - 1), moved);
    QCOMPARE(f.contentY(), y);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
}

void TestMyTableListWidget::deleteUnseenItemKeepsScrollPosition()
{
    Fixture f(100);
    for (int i = 0; i < 50; ++i)
        f.wheel(-120);
    QCOMPARE(f.contentY(), -1200);
    QVERIFY(!f.list.searchMyTableItemWidget(Item(0)));
    f.list.deletePrivateData(Item(0));
    QCOMPARE(f.list.count(), 99);
    QVERIFY(!f.list.privateDataList().contains(Item(0)));
    QCOMPARE(f.contentY(), -1200);
    QCOMPARE(f.list.verticalScrollBar()->value(), 1200);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
    // A pointer that is not in the list changes nothing.
    f.list.deletePrivateData(Item(5000));
    QCOMPARE(f.list.count(), 99);
    QCOMPARE(f.contentY(), -1200);
}

void TestMyTableListWidget::deleteVisibleItemRebindsFromThere()
{
    Fixture f(10);
    const int shownBefore = f.row(1)->shownData.size();
    f.list.deletePrivateData(Item(3));
    QCOMPARE(f.shownRows(), 9);
    QCOMPARE(f.row(3)->data, Item(4));
    QCOMPARE(f.row(8)->data, Item(9));
    QVERIFY(f.row(9)->isHidden());
    QCOMPARE(f.row(1)->shownData.size(), shownBefore);
    QCOMPARE(f.row(3)->shownCounts.last(), 9);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));

    // Shrinking below the view brings the content back to the top.
    Fixture g(12);
    g.list.updateMoveLayout(-1000, true);
    QCOMPARE(g.contentY(), -320);
    for (int i = 11; i >= 4; --i)
        g.list.deletePrivateData(Item(i));
    QCOMPARE(g.contentY(), 0);
    QVERIFY2(CheckInvariant(g.list).isEmpty(), qPrintable(CheckInvariant(g.list)));
}

void TestMyTableListWidget::prependShowsTheNewItemFirst()
{
    Fixture f(3);
    f.list.prependPrivateData(Item(99));
    QCOMPARE(f.row(0)->data, Item(99));
    QCOMPARE(f.row(1)->data, Item(0));
    QCOMPARE(f.row(3)->data, Item(2));
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
}

void TestMyTableListWidget::clearUnbindsAndHidesEverything()
{
    Fixture f(100);
    QVERIFY(!f.list.verticalScrollBar()->isHidden());
    f.list.clear();
    QCOMPARE(f.list.count(), 0);
    QCOMPARE(f.shownRows(), 0);
    for (MyTableItemWidget *row : f.list.rows()) {
        QCOMPARE(row->index, -1);
        QCOMPARE(row->data, nullptr);
        QCOMPARE(static_cast<TestRow *>(row)->resets, QList<bool>{false});
    }
    QVERIFY(f.list.verticalScrollBar()->isHidden());
    f.wheel(-120);
    QCOMPARE(f.contentY(), 0);
}

void TestMyTableListWidget::sliderReleasedAtEndShowsLastItemAtBottom()
{
    Fixture f(100);
    QScrollBar *bar = f.list.verticalScrollBar();
    QCOMPARE(bar->maximum(), 100 * RowHeight - 400);
    bar->setValue(bar->maximum());
    QCOMPARE(f.contentY(), 0); // dragging alone does not move the content
    emit bar->sliderReleased();
    TestRow *last = f.rowShowing(99);
    QVERIFY(last);
    QVERIFY(!last->isHidden());
    QCOMPARE(last->y() + f.contentY() + RowHeight, 400);
    QCOMPARE(last->shownData.last(), Item(99));
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
}

void TestMyTableListWidget::barClickMovesTheContent()
{
    Fixture f(100);
    f.list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(f.contentY(), -400);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
}

void TestMyTableListWidget::hundredThousandItemsCostOnlyThePool()
{
    Fixture f(0);
    for (int i = 0; i < 100000; ++i)
        f.list.addPrivateData(Item(i));
    QWidget *content = f.list.contentWidget();
    QCOMPARE(content->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), PoolSize);
    QCOMPARE(f.shownRows(), PoolSize);

    QScrollBar *bar = f.list.verticalScrollBar();
    bar->setValue(bar->maximum());
    f.list.scrollBar_verticalReleased();
    QVERIFY(f.rowShowing(99999));
    for (int i = 0; i < 20; ++i)
        f.wheel(120);
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
    bar->setValue(bar->maximum() / 2);
    f.list.scrollBar_verticalReleased();
    QVERIFY2(CheckInvariant(f.list).isEmpty(), qPrintable(CheckInvariant(f.list)));
    QCOMPARE(content->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), PoolSize);
}

void TestMyTableListWidget::searchFindsOnlyBoundData()
{
    Fixture f(100);
    QCOMPARE(f.list.searchMyTableItemWidget(Item(2)), f.row(2));
    QCOMPARE(f.list.searchMyTableItemWidget(Item(80)), nullptr);
    QCOMPARE(f.list.searchMyTableItemWidget(nullptr), nullptr);
}

void TestMyTableListWidget::refreshesWriteTheCount()
{
    Fixture f(3);
    QList<MyTableItemWidget *> announced;
    connect(&f.list, &MyTableListWidget::loadDataSingal, this,
            [&](MyTableItemWidget *row) { announced << row; });
    f.list.FlushText();
    QCOMPARE(announced.size(), 3); // bound rows only
    QCOMPARE(f.row(0)->shownCounts.last(), 3);
    QCOMPARE(f.row(5)->shownData.size(), 0);

    announced.clear();
    f.list.flushTableItemsToUIShow();
    QCOMPARE(announced.size(), PoolSize);
    QCOMPARE(f.row(5)->shownData, QList<void *>{nullptr});
    QCOMPARE(f.row(5)->shownCounts, QList<int>{3});

    announced.clear();
    f.list.uddateDataShow(f.row(1));
    f.list.uddateDataShow(nullptr);
    QCOMPARE(announced, QList<MyTableItemWidget *>{f.row(1)});
}

void TestMyTableListWidget::stepDuringRefreshIsDropped()
{
    Fixture f(100);
    bool asked = false;
    // ShowData runs under the list's lock: a scroll step from there must be
    // dropped, not wait for a lock that its own caller holds.
    f.row(0)->onShow = [&] {
        asked = true;
        f.list.updateMoveLayout(-100, true);
    };
    f.list.FlushText();
    QVERIFY(asked);
    QCOMPARE(f.contentY(), 0);
    f.row(0)->onShow = nullptr;
    f.list.updateMoveLayout(-100, true);
    QCOMPARE(f.contentY(), -100);
}

QTEST_MAIN(TestMyTableListWidget)
#include "tst_mytablelistwidget.moc"
