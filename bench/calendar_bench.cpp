// calendar_bench - loads of the calendar from a full store: 10,000 single appointments over five
// years (some all-day, lunar or private), 500 recurring appointments of every kind, 2,000 contacts
// with birthdays (a tenth lunar) and anniversaries, and 1,000 tasks (some recurring, some without
// dates). Measures a day, a week, a month and a month grid after the first load, and the first
// load (which reads the store) on its own.
//
// The store (benchstore.h) is built once in a temporary data folder (a few seconds), or in
// $ZUPIMS_BENCH_STORE when that names a folder, which is then kept (to time `zupim agenda` on the
// same data: ZUPIMS_HOME=that-folder zupim agenda --month 2026-06-17; a kept store is used again).
// Run by hand:
//   build/bin/calendar_bench
#include "benchstore.h"
#include "datetimeutil.h"
#include "itemloader.h"

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

using zubench::store;

LoadRequest request(int type, bool grid)
{
    SYSTEMTIME day{};
    day.wYear = 2026;
    day.wMonth = 6;
    day.wDay = 17;
    day.wDayOfWeek = 3;
    LoadRequest r;
    r.viewType = type;
    switch (type) {
    case ZU_VIEW_DAY: GetDayDuration(day, &r.rangeStart, &r.rangeEnd); break;
    case ZU_VIEW_WEEK: GetWeekDuration(day, &r.rangeStart, &r.rangeEnd, 0); break;
    default: GetMonthDuration(day, &r.rangeStart, &r.rangeEnd, grid ? 1 : 0); break;
    }
    return r;
}

void load(benchmark::State& state, int type, bool grid)
{
    store();
    CItemLoader loader;
    LoadResult result;
    std::atomic<bool> abort{false};
    const LoadRequest r = request(type, grid);
    loader.Load(r, result, abort);  // the first load reads the store
    for (auto _ : state) {
        loader.Load(r, result, abort);
        benchmark::DoNotOptimize(result.items.data());
    }
    state.counters["items"] = double(result.items.size());
}

void BM_LoadDay(benchmark::State& s) { load(s, ZU_VIEW_DAY, false); }
void BM_LoadWeek(benchmark::State& s) { load(s, ZU_VIEW_WEEK, false); }
void BM_LoadMonth(benchmark::State& s) { load(s, ZU_VIEW_MONTH, false); }
void BM_LoadMonthGrid(benchmark::State& s) { load(s, ZU_VIEW_MONTH, true); }

void BM_FirstLoadMonth(benchmark::State& state)
{
    store();
    LoadResult result;
    std::atomic<bool> abort{false};
    const LoadRequest r = request(ZU_VIEW_MONTH, false);
    for (auto _ : state) {
        CItemLoader loader;
        loader.Load(r, result, abort);
        benchmark::DoNotOptimize(result.items.data());
    }
}

}  // namespace

BENCHMARK(BM_LoadDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMonthGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstLoadMonth)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
