// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Cost of one scroll step of the paged list (a wheel notch, 24 pixels) with a
// short and a very long list. The step must cost the same whatever the length.
//
// Two settings: a list whose window has not been painted yet measures the
// list's own work (recycling, binding, moving widgets); a painted one adds
// what Qt does for every move of a visible widget (scrolling the backing
// store), which a real scroll pays as well.
//
// Usage: bench_listscroll  (runs headless; QT_QPA_PLATFORM defaults to offscreen)
// Each setting measures the short list and the long one side by side.

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

#include "bench/benchsupport.h"
#include "widgets/mytablelistwidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

constexpr int RowHeight = 60;
constexpr int PoolSize = 30;
constexpr int WheelStep = 24; // one notch: 120 / 5
constexpr int StepsEachWay = 200;
constexpr int Runs = 15;

// A row that does what a real row does on binding: write a text.
class BenchRow : public MyTableItemWidget
{
public:
    explicit BenchRow(QWidget *parent) : MyTableItemWidget(parent), name(new QLabel(this))
    {
        name->setGeometry(10, 10, 400, 30);
    }
    void ShowData() override
    {
        if (data)
            name->setText(QStringLiteral("voice %1.mp3").arg(reinterpret_cast<quintptr>(data)));
    }

private:
    QLabel *name;
};

struct Result
{
    double medianMicroseconds;
    int rowWidgets;
};

// Scrolls StepsEachWay steps down and as many back up, Runs times; returns
// the median cost of one step.
Result MeasureSteps(int items, bool startMidList, bool painted)
{
    MyTableListWidget list;
    list.resize(1100, 602);
    list.rowHeight = RowHeight;
    list.Layout();
    for (int k = 0; k < PoolSize; ++k) {
        auto *row = new BenchRow(list.contentWidget());
        row->setGeometry(10, -120, 1080, RowHeight);
        list.addMyTableItemWidget(row);
    }
    for (int i = 0; i < items; ++i)
        list.addPrivateData(reinterpret_cast<void *>(quintptr(i + 1)));
    list.show();
    if (startMidList)
        list.updateMoveLayout(-(items / 2) * RowHeight, true);
    if (painted)
        QApplication::processEvents();

    std::vector<double> perStep;
    for (int run = 0; run <= Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (int s = 0; s < StepsEachWay; ++s)
            list.updateMoveLayout(-WheelStep, true);
        for (int s = 0; s < StepsEachWay; ++s)
            list.updateMoveLayout(WheelStep, true);
        const double microseconds = timer.nsecsElapsed() / 1000.0 / (2 * StepsEachWay);
        if (run > 0) // the first run warms caches and is not counted
            perStep.push_back(microseconds);
    }
    std::sort(perStep.begin(), perStep.end());
    const int rowWidgets =
        list.contentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size();
    return {perStep[perStep.size() / 2], rowWidgets};
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::PreferOffscreen();
    QApplication app(argc, argv);
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));

    // Equal within noise: the run-to-run spread of one setting is a few per cent.
    const double tolerance = 0.10;
    struct Case
    {
        const char *name;
        bool midList;
        bool painted;
    };
    const Case cases[] = {
        {"List scroll step, unpainted, 100,000 vs 100 jobs", false, false},
        {"List scroll step, unpainted, 100,000 jobs from the middle vs 100 jobs", true, false},
        {"List scroll step, painted view, 100,000 vs 100 jobs", false, true},
        {"List scroll step, painted view, 100,000 jobs from the middle vs 100 jobs", true, true},
    };
    int rowWidgets = 0;
    for (const Case &c : cases) {
        const Result shortList = MeasureSteps(100, false, c.painted);
        const Result longList = MeasureSteps(100000, c.midList, c.painted);
        rowWidgets = longList.rowWidgets;
        const double ratio = longList.medianMicroseconds / shortList.medianMicroseconds;
        BenchSupport::Row(QStringLiteral("%1 (median of %2 runs of %3 steps)")
                              .arg(QLatin1String(c.name))
                              .arg(Runs)
                              .arg(2 * StepsEachWay),
                          QStringLiteral("%1 us").arg(longList.medianMicroseconds, 0, 'f', 2),
                          QStringLiteral("%1 us").arg(shortList.medianMicroseconds, 0, 'f', 2),
                          BenchSupport::PercentChange(ratio), QStringLiteral("equal within noise (10 %)"),
                          qAbs(ratio - 1.0) <= tolerance);
    }
    BenchSupport::Row(QStringLiteral("Row widgets of a list of 100,000 jobs"), QString::number(rowWidgets),
                      QString::number(PoolSize), QStringLiteral("the pool only"),
                      QStringLiteral("the pool of 30"), rowWidgets == PoolSize);
    return 0;
}
