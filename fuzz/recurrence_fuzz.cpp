// libFuzzer target for the recurrence BLOB reader: the input is parsed as an appointment and as
// a task pattern, then described, counted, asked for n-th dates, walked (bounded) both ways,
// positioned, and written; a pattern that writes must read back and write the same bytes again.
//
// Build: CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZUPIMS_FUZZ=ON
//        -DBUILD_TESTING=OFF -DZUPIMS_BENCH=OFF && cmake --build build-fuzz --target recurrence_fuzz
// Run:   build-fuzz/bin/recurrence_fuzz -max_total_time=60 [corpus folder]
#include "cedbdatabase.h"
#include "filetime.h"
#include "recurrencepattern.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

FILETIME minutesToFileTime(ULONGLONG minutes) { return ZuU64ToFileTime(minutes * ZU_TICKS_PER_MINUTE); }

// 2004-03-01 and 2004-04-01 in minutes since 1601.
constexpr ULONGLONG kMarch2004 = 212042880;
constexpr ULONGLONG kApril2004 = kMarch2004 + 31 * 1440;

void exercise(const std::uint8_t* data, size_t size, UINT kind)
{
    CEBLOB blob{static_cast<DWORD>(size), const_cast<BYTE*>(data)};
    CRecurrencePattern p(blob, 0, kind);

    CString text;
    p.RecurPatternToStr(text);
    long count = 0;
    p.GetOccurrences(&count);
    p.GetOccurrences(&count, minutesToFileTime(kMarch2004), minutesToFileTime(kApril2004));
    long minutes = 0;
    SYSTEMTIME st;
    for (long n : {1L, 2L, 3L, 12L, 10000L, 2000000L, LONG_MAX}) {
        p.GetPatternEndDate(&minutes, n);
        p.GetPatternEndDate(&st, n);
    }

    // A bounded walk forwards and back, then positioning on a month and past everything.
    FILETIME f;
    int steps = 0;
    for (int ok = p.SeekFirstRecurTime(&f); ok && steps < 64; ok = p.SeekNextRecurTime(&f))
        ++steps;
    for (int ok = 1; ok && steps > 0; --steps)
        ok = p.SeekPrevRecurTime(&f);
    p.SeekLastRecurTime(&f);
    p.SeekPrevRecurTime(&f);
    if (p.SeekRecurTimeFrom(&f, minutesToFileTime(kMarch2004)))
        p.SeekNextRecurTime(&f);
    p.SeekRecurTimeFrom(&f, ZuU64ToFileTime(~0ULL));

    // Write, read back, write again: the same bytes.
    CEBLOB first{};
    if (!p.GetRecurPattern(&first))
        return;
    CRecurrencePattern again(first, 1, kind);
    CEBLOB second{};
    if (!again.GetRecurPattern(&second) || second.dwCount != first.dwCount
        || std::memcmp(second.lpb, first.lpb, first.dwCount) != 0)
        std::abort();
    LocalFree(second.lpb);
    LocalFree(first.lpb);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    exercise(data, size, 1);
    exercise(data, size, 4);
    return 0;
}
