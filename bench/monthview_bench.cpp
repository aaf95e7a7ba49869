// monthview_bench - the month view on the benchmarks' full store (benchstore.h), in process, on
// the offscreen platform at the handheld's size, showing June 2026: a load handed over and
// painted, the grid rebuilt from the same items and painted, the paint alone, and a tap on the
// busiest day opening its popup. Run by hand:
//   build/bin/monthview_bench
#include "benchstore.h"

#include "filetime.h"
#include "widgets/dlgdayview.h"
#include "widgets/zumonthview.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include "loadwatcher.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include <memory>

namespace {

struct Program {
    CZuCalendarDoc doc;
    CZuMonthView view{&doc};
    zubench::LoadWatcher watcher;

    Program()
    {
        doc.SetPersistent(false);
        doc.SetViewStyle(ZU_STYLE_GRAPHIC);
        SYSTEMTIME day{};
        day.wYear = 2026;
        day.wMonth = 6;
        day.wDay = 17;
        doc.SetCurrentDate(day);
        doc.SetViewType(ZU_VIEW_MONTH, false);
        view.installEventFilter(&watcher);
        view.resize(240, 221);
        view.show();
        load();
    }
    // Asks for a load, runs the loop until the view had it, then paints it.
    void load()
    {
        const int before = watcher.seen;
        doc.RequestLoad(&view);
        watcher.waitPast(before);
        view.repaint();
    }
    int busiestCell() const
    {
        int best = 0;
        for (int i = 1; i < CZuMonthView::kCells; ++i)
            if (view.Cells().ItemsOf(i).size() > view.Cells().ItemsOf(best).size())
                best = i;
        return best;
    }
};

std::unique_ptr<Program> g_program;  // goes before the application

Program& program()
{
    zubench::store();
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

void BM_LoadAndPaint(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state)
        p.load();
    state.counters["items"] = static_cast<double>(p.view.Items().size());
}

void BM_HandOverAndPaint(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state) {
        ZuMessageEvent message(WM_ITEMS_LOADED, 0, 0);
        QCoreApplication::sendEvent(&p.view, &message);
        p.view.repaint();
    }
    state.counters["items"] = static_cast<double>(p.view.Items().size());
}

void BM_Paint(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state)
        p.view.repaint();
}

void BM_OpenDayPopup(benchmark::State& state)
{
    Program& p = program();
    const int cell = p.busiestCell();
    const QPoint at(15 + (cell % 7) * p.view.CellWidth() + 5, 16 + (cell / 7) * p.view.CellHeight() + 5);
    for (auto _ : state) {
        QTest::mouseClick(&p.view, Qt::LeftButton, {}, at);
        p.view.DayPopup()->repaint();
    }
    state.counters["lines"] = p.view.DayPopup()->LineCount();
}

}  // namespace

BENCHMARK(BM_LoadAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandOverAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDayPopup)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
