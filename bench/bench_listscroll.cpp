// Cost of one scroll step of the paged list (a wheel notch, 24 pixels) with a
// short and a very long list. The step must cost the same whatever the length.
//
// Two settings: a list whose window has not been painted yet measures the
// list's own work (recycling, binding, moving widgets); a painted one adds
// what Qt does for every move of a visible widget (scrolling the backing
// store), which a real scroll pays as well.
//
// Usage: bench_listscroll  (runs headless; QT_QPA_PLATFORM defaults to offscreen)

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));

    struct Case
    {
        const char *name;
        int items;
        bool midList;
        bool painted;
    };
    const Case cases[] = {
        {"list scroll step, 100 items", 100, false, false},
        {"list scroll step, 100000 items", 100000, false, false},
        {"list scroll step, 100000 items, mid-list", 100000, true, false},
        {"list scroll step, painted view, 100 items", 100, false, true},
        {"list scroll step, painted view, 100000 items", 100000, false, true},
        {"list scroll step, painted view, 100000 items, mid-list", 100000, true, true},
    };
    std::printf("figure | median of %d runs of %d steps\n", Runs, 2 * StepsEachWay);
    int rowWidgets = 0;
    for (const Case &c : cases) {
        const Result result = MeasureSteps(c.items, c.midList, c.painted);
        std::printf("%s | %.2f us\n", c.name, result.medianMicroseconds);
        if (c.items == 100000)
            rowWidgets = result.rowWidgets;
    }
    std::printf("row widgets, 100000 items | %d\n", rowWidgets);
    return 0;
}
