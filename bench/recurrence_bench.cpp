// Recurrence benchmarks: what the calendar's loading thread does for a month view (position each
// of 500 recurring patterns on the month and walk its occurrences in it), and the counting and
// n-th occurrence formulas for small and large n, which must cost the same.
//
// Run by hand: build/bin/recurrence_bench. The month walk should stay well under 1 ms.
#include "cedbdatabase.h"
#include "filetime.h"
#include "recurrencebuilders.h"
#include "recurrencepattern.h"
#include "testtime.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using zutest::wall;

// 500 appointment patterns of every kind, started between 1990 and 2003, half of them without
// end, the others ending by count or by a date in 2004-2010; stored as BLOBs the way records
// hold them.
std::vector<std::vector<BYTE>> mixedBlobs()
{
    std::mt19937 rng(500);
    const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::vector<BYTE>> blobs;
    while (blobs.size() < 500) {
        CRecurrencePattern p(1);
        const int kind = static_cast<int>(blobs.size() % 6);
        // Each draw in its own statement, in the same order every time, so the set of patterns
        // stays the same.
        zutest::RecurrenceShape shape{};
        switch (kind) {
        case 0: shape = zutest::daily(pick(1, 3)); break;
        case 1: shape = zutest::weekdays(); break;
        case 2: {
            const long n = pick(1, 2);
            shape = zutest::weekly(n, pick(1, 127));
            break;
        }
        case 3: {
            const long n = pick(1, 3);
            shape = zutest::monthly(n, pick(1, 31));
            break;
        }
        case 4: {
            const long n = pick(1, 2);
            const long instance = pick(1, 5);
            shape = zutest::monthlyNth(n, instance, 1L << pick(0, 6));
            break;
        }
        default: {
            const bool byDay = pick(0, 1);
            const long n = pick(1, 2);
            const long month = pick(1, 12);
            const long day = pick(1, 28);
            const long instance = pick(1, 5);
            const long mask = 1L << pick(0, 6);
            shape = byDay ? zutest::yearly(n, month, day) : zutest::yearlyNth(n, month, instance, mask);
            break;
        }
        }
        zutest::putShape(p, shape, wall(pick(1990, 2003), pick(1, 12), pick(1, 28)));
        p.put_StartTime(pick(0, 23) * 60);
        p.put_Duration(60);
        switch (pick(0, 3)) {
        case 0: p.put_Occurrences(pick(50, 5000)); break;
        case 1: p.put_PatternEndDate(wall(pick(2004, 2010), pick(1, 12), 1)); break;
        default: p.put_NoEndDate(1); break;
        }
        CEBLOB blob{};
        if (!p.GetRecurPattern(&blob))
            continue;  // e.g. a count that ended before its first existing date
        blobs.emplace_back(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
    }
    return blobs;
}

const FILETIME kMonthStart = wall(2004, 3, 1);
const ULONGLONG kMonthEnd = ZuFileTimeToU64(wall(2004, 4, 1)) - 1;

// One month of one pattern, as the loader walks it.
int walkMonth(CRecurrencePattern& p)
{
    int items = 0;
    FILETIME occurrence;
    for (int ok = p.SeekRecurTimeFrom(&occurrence, kMonthStart); ok && ZuFileTimeToU64(occurrence) <= kMonthEnd;
         ok = p.SeekNextRecurTime(&occurrence))
        ++items;
    return items;
}

void BM_MonthOf500PatternsWalk(benchmark::State& state)
{
    std::vector<CRecurrencePattern> patterns;
    patterns.reserve(500);
    for (std::vector<BYTE>& b : mixedBlobs())
        patterns.emplace_back(CEBLOB{static_cast<DWORD>(b.size()), b.data()}, 1, 1);
    int items = 0;
    for (auto _ : state) {
        items = 0;
        for (CRecurrencePattern& p : patterns)
            items += walkMonth(p);
        benchmark::DoNotOptimize(items);
    }
    state.counters["occurrences"] = items;
}
BENCHMARK(BM_MonthOf500PatternsWalk)->Unit(benchmark::kMicrosecond);

// The same with each pattern parsed from its BLOB first, as every load does.
void BM_MonthOf500PatternsParseAndWalk(benchmark::State& state)
{
    std::vector<std::vector<BYTE>> blobs = mixedBlobs();
    int items = 0;
    for (auto _ : state) {
        items = 0;
        for (std::vector<BYTE>& b : blobs) {
            CRecurrencePattern p(CEBLOB{static_cast<DWORD>(b.size()), b.data()}, 1, 1);
            items += walkMonth(p);
        }
        benchmark::DoNotOptimize(items);
    }
    state.counters["occurrences"] = items;
}
BENCHMARK(BM_MonthOf500PatternsParseAndWalk)->Unit(benchmark::kMicrosecond);

CRecurrencePattern kindPattern(int kind)
{
    CRecurrencePattern p(1);
    const zutest::RecurrenceShape shapes[3] = {zutest::daily(1), zutest::monthly(1, 31), zutest::yearly(1, 2, 29)};
    zutest::putShape(p, shapes[kind < 2 ? kind : 2], wall(1601, 1, 1));
    return p;
}

// n-th occurrence: daily, monthly on the 31st, yearly on 29 February, for n = 10 and n = 10,000
// (yearly: 2,500, the most years a pattern from 1601 has before 4500).
void BM_NthOccurrence(benchmark::State& state)
{
    CRecurrencePattern p = kindPattern(static_cast<int>(state.range(0)));
    const long n = static_cast<long>(state.range(1));
    long minutes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.GetPatternEndDate(&minutes, n));
        benchmark::DoNotOptimize(minutes);
    }
}
BENCHMARK(BM_NthOccurrence)->ArgNames({"kind", "n"})->Args({0, 10})->Args({0, 10000})->Args({1, 10})->Args({1, 10000})->Args({2, 10})->Args({2, 2500});

// Counting from the start to the n-th occurrence's date.
void BM_Count(benchmark::State& state)
{
    CRecurrencePattern p = kindPattern(static_cast<int>(state.range(0)));
    const long n = static_cast<long>(state.range(1));
    FILETIME start;
    FILETIME end{};
    p.get_PatternStartDate(&start);
    // The n-th slot's date, or the next one that exists (a 31 April has none).
    for (long k = n; ZuFileTimeToU64(end) == 0 && k < n + 100; ++k)
        p.GetPatternEndDate(&end, k);
    long count = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.GetOccurrences(&count, start, end));
        benchmark::DoNotOptimize(count);
    }
    state.counters["count"] = count;
}
BENCHMARK(BM_Count)->ArgNames({"kind", "n"})->Args({0, 10})->Args({0, 10000})->Args({1, 10})->Args({1, 10000})->Args({2, 10})->Args({2, 2500});

} // namespace

BENCHMARK_MAIN();
