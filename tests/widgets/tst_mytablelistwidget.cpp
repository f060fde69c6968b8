// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <algorithm>
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
        if (onShow)
            onShow();
    }
    QList<void *> shownData;
    std::function<void()> onShow;
};

void *Item(int i)
{
    return reinterpret_cast<void *>(quintptr(i + 1));
}

// A list with a viewport of 400 pixels (the list is 2 taller) and a pool of 30 rows.
struct Fixture
{
    explicit Fixture(int items)
    {
        list.resize(300, 402);
        list.rowHeight = RowHeight;
        list.Layout();
        for (int k = 0; k < PoolSize; ++k)
            list.addMyTableItemWidget(new TestRow(list.contentWidget()));
        for (int i = 0; i < items; ++i)
            list.addPrivateData(Item(i));
    }

    TestRow *row(int k) const { return static_cast<TestRow *>(list.rows().at(k)); }
    TestRow *rowShowing(int i) { return static_cast<TestRow *>(list.searchMyTableItemWidget(Item(i))); }
    int contentY() const { return list.contentWidget()->y(); }
    QScrollBar *bar() const { return list.verticalScrollBar(); }
    int shownRows() const
    {
        return int(
            std::count_if(list.rows().begin(), list.rows().end(), [](QWidget *r) { return !r->isHidden(); }));
    }
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
// and come last, the bound rows cover the view, and a shown scroll bar stands
// where the content does.
QString BrokenInvariant(const MyTableListWidget &list)
{
    const QList<void *> &data = list.privateDataList();
    const int top = -list.contentWidget()->y();
    int first = -1, last = -1;
    bool unboundSeen = false;
    for (MyTableItemWidget *row : list.rows()) {
        if (!row->data) {
            if (row->index != -1 || !row->isHidden())
                return QStringLiteral("unbound row is not reset and hidden");
            unboundSeen = true;
        } else if (unboundSeen || row->isHidden() || (first >= 0 && row->index != last + 1) ||
                   uint(row->index) >= uint(data.size()) || data.at(row->index) != row->data ||
                   row->y() != row->index * list.rowHeight) {
            return QStringLiteral("row of %1 out of order, hidden or misplaced").arg(row->index);
        } else {
            first = first < 0 ? row->index : first;
            last = row->index;
        }
    }
    const int lastVisible =
        qMin(data.size() - 1, (top + list.viewportWidget()->height() - 1) / list.rowHeight);
    if (!data.isEmpty() && (first > top / list.rowHeight || last < lastVisible))
        return QStringLiteral("rows %1 to %2 leave a gap in the view at %3").arg(first).arg(last).arg(top);
    if (!list.verticalScrollBar()->isHidden() && list.verticalScrollBar()->value() != top)
        return QStringLiteral("scroll bar away from the content at %1").arg(top);
    return QString();
}

} // namespace

#define VERIFY_INVARIANT(list) QVERIFY2(BrokenInvariant(list).isEmpty(), qPrintable(BrokenInvariant(list)))

class TestMyTableListWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    }

    void wheelAndScrollBar_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("moved");
        QTest::addColumn<bool>("barShown");
        QTest::addRow("5 items fit") << 5 << -120 << 0 << false;
        QTest::addRow("7 items reach past the view: bar") << 7 << -120 << -20 << true;
        QTest::addRow("a notch up moves 24") << 100 << 120 << 24 << true;
    }
    void wheelAndScrollBar()
    {
        QFETCH(int, items);
        QFETCH(int, delta);
        QFETCH(int, moved);
        QFETCH(bool, barShown);
        Fixture f(items);
        QCOMPARE(f.shownRows(), qMin(items, PoolSize));
        QCOMPARE(!f.bar()->isHidden(), barShown); // as soon as the rows are there
        if (items > PoolSize)
            f.list.updateMoveLayout(-1000, true);
        const int start = f.contentY();
        f.wheel(delta);
        QCOMPARE(f.contentY() - start, moved);
        QCOMPARE(!f.bar()->isHidden(), barShown);
        VERIFY_INVARIANT(f.list);
        if (items < PoolSize) // rows are bound when their item arrives; scrolling rebinds none
            QCOMPARE(f.row(items - 1)->shownData, QList<void *>{Item(items - 1)});
    }

    // However the wheel reports a turn, the same turn back returns to the top.
    void wheelThereAndBack_data()
    {
        QTest::addColumn<QList<int>>("down");
        QTest::addColumn<QList<int>>("up");
        const auto times = [](int count, QList<int> steps) {
            QList<int> all;
            while (count-- > 0)
                all += steps;
            return all;
        };
        QTest::addRow("three notches down, four up") << times(3, {-120}) << times(4, {120});
        QTest::addRow("fine steps down, notches up") << times(24, {-15}) << times(4, {120});
        QTest::addRow("notches down, fine steps up") << times(3, {-120}) << times(32, {15});
        QTest::addRow("uneven halves") << times(3, {-57, -63}) << times(4, {57, 63});
    }
    void wheelThereAndBack()
    {
        QFETCH(QList<int>, down);
        QFETCH(QList<int>, up);
        Fixture f(16);
        for (int step : down)
            f.wheel(step);
        QVERIFY(f.contentY() < 0);
        for (int step : up)
            f.wheel(step);
        QCOMPARE(f.contentY(), 0);
        VERIFY_INVARIANT(f.list);
    }

    // Random wheel steps, jumps, moves, slider releases and deletions, checked after each.
    void randomUseKeepsTheInvariant_data()
    {
        QTest::addColumn<int>("items");
        QTest::addRow("fewer than the pool") << 20;
        QTest::addRow("just above the pool") << 31;
        QTest::addRow("a hundred thousand") << 100000;
    }
    void randomUseKeepsTheInvariant()
    {
        QFETCH(int, items);
        Fixture f(items);
        QRandomGenerator random(items);
        for (int step = 0; step < 400; ++step) {
            const int kind = random.bounded(20);
            const int y = f.contentY();
            void *item = Item(random.bounded(items));
            if (kind < 10) {
                f.wheel(random.bounded(2) ? 120 : -120);
            } else if (kind < 14) {
                f.list.updateMoveLayout(random.bounded(-3 * items, 3 * items) * RowHeight, true);
            } else if (kind < 18) {
                random.bounded(2) ? f.list.moveupPrivateData(item) : f.list.movedownPrivateData(item);
                QCOMPARE(f.contentY(), y); // a move rebinds rows wherever they are, and keeps the view
            } else if (kind < 19) {
                f.bar()->setValue(random.bounded(f.bar()->maximum() + 1));
                f.list.scrollBar_verticalReleased();
            } else {
                f.list.deletePrivateData(item); // shrinks the list, down to below the view
            }
            VERIFY_INVARIANT(f.list);
        }
        QCOMPARE(
            f.list.contentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(),
            PoolSize);
    }

    void moveFirstUpLastDown()
    {
        Fixture f(5);
        f.list.moveupPrivateData(Item(0));
        f.list.movedownPrivateData(Item(4));
        QCOMPARE(f.list.privateDataList(), (QList<void *>{Item(0), Item(1), Item(2), Item(3), Item(4)}));
        f.list.moveupPrivateData(Item(2));
        f.list.movedownPrivateData(Item(0));
        QCOMPARE(f.list.privateDataList(), (QList<void *>{Item(2), Item(0), Item(1), Item(3), Item(4)}));
        QCOMPARE(f.row(2)->shownData.last(), Item(1));
        QCOMPARE(f.row(3)->shownData.size(), 1); // untouched rows are not refreshed
        VERIFY_INVARIANT(f.list);
    }

    void deleteKeepsTheScrollPosition()
    {
        Fixture f(100);
        for (int i = 0; i < 50; ++i)
            f.wheel(-120);
        QVERIFY(!f.rowShowing(0));
        f.list.deletePrivateData(Item(0));
        f.list.deletePrivateData(Item(5000)); // not in the list: changes nothing
        QCOMPARE(f.list.count(), 99);
        QVERIFY(!f.list.privateDataList().contains(Item(0)));
        QCOMPARE(f.contentY(), -1200);
        VERIFY_INVARIANT(f.list);

        f.list.clear();
        QCOMPARE(f.list.count(), 0);
        QVERIFY(f.bar()->isHidden());
        VERIFY_INVARIANT(f.list);
    }

    void sliderReleaseAndBarClicks()
    {
        Fixture f(100);
        f.bar()->setValue(f.bar()->maximum());
        QCOMPARE(f.contentY(), 0); // dragging alone does not move the content
        emit f.bar()->sliderReleased();
        TestRow *last = f.rowShowing(99);
        QVERIFY(last && !last->isHidden());
        QCOMPARE(last->y() + f.contentY() + RowHeight, 400);
        QCOMPARE(last->shownData.last(), Item(99));
        VERIFY_INVARIANT(f.list);
    }

    void scrollFromARefreshIsDropped()
    {
        Fixture f(10);
        // ShowData runs under the list's lock: a scroll step from there must be
        // dropped, not wait for a lock that its own caller holds.
        f.row(0)->onShow = [&] {
            f.list.updateMoveLayout(-100, true);
        };
        f.list.FlushText();
        QCOMPARE(f.row(0)->shownData.size(), 2);
        QCOMPARE(f.contentY(), 0);
        f.row(0)->onShow = nullptr;
        f.list.updateMoveLayout(-100, true);
        QCOMPARE(f.contentY(), -100);
    }
};

QTEST_MAIN(TestMyTableListWidget)
#include "tst_mytablelistwidget.moc"
