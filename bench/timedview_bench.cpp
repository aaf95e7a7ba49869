// timedview_bench - the hour grids' layout: the overlap placer alone on 1,000 mutually
// overlapping appointments of one day, and the week view placing and painting the boxes of a week
// of the benchmarks' full store (benchstore.h), 2026-06-17's week, in process on the offscreen
// platform at the handheld's size. Run by hand:
//   build/bin/timedview_bench
#include "benchstore.h"

#include "filetime.h"
#include "widgets/overlapplacer.h"
#include "widgets/zuweekview.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include "loadwatcher.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <memory>

namespace {

void BM_PlaceThousandMutual(benchmark::State& state)
{
    SYSTEMTIME day{};
    day.wYear = 2026;
    day.wMonth = 6;
    day.wDay = 17;
    FILETIME ft{};
    SystemTimeToFileTime(&day, &ft);
    const ULONGLONG start = ZuFileTimeToU64(ft);
    std::vector<OverlapEntry> entries;
    for (int i = 0; i < 1000; ++i)
        entries.push_back({i, 1000, start + 9 * ZU_TICKS_PER_HOUR, start + 10 * ZU_TICKS_PER_HOUR + i * ZU_TICKS_PER_SECOND});
    COverlapPlacer placer;
    for (auto _ : state)
        benchmark::DoNotOptimize(placer.Place(entries, start, 10).data());
}

struct Week {
    CZuCalendarDoc doc;
    CZuWeekView view{&doc};
    zubench::LoadWatcher watcher;

    Week()
    {
        doc.SetPersistent(false);
        SYSTEMTIME day{};
        day.wYear = 2026;
        day.wMonth = 6;
        day.wDay = 17;
        doc.SetViewType(ZU_VIEW_WEEK, false);
        doc.SetCurrentDate(day);
        view.installEventFilter(&watcher);
        view.OnInitialUpdate();
        view.resize(240, 247);
        doc.RequestLoad(&view);
        watcher.waitPast(0, 10000);
    }
};

std::unique_ptr<Week> g_week;  // goes before the application

void BM_WeekViewPlaceAndPaint(benchmark::State& state)
{
    zubench::store();
    if (!g_week)
        g_week = std::make_unique<Week>();
    QImage image(g_week->view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        ZuMessageEvent loaded(WM_ITEMS_LOADED, 0, 0);
        QCoreApplication::sendEvent(&g_week->view, &loaded);
        g_week->view.render(&image);
    }
    state.counters["boxes"] = double(g_week->view.Boxes().size());
}

}  // namespace

BENCHMARK(BM_PlaceThousandMutual)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekViewPlaceAndPaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_week.reset();
    return 0;
}
