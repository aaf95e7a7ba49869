// testtime.h - SYSTEMTIME and FILETIME values for tests and benchmarks, written as they read.
// Header-only and free of the test framework, so the benchmarks use it too.
#pragma once

#include "filetime.h"
#include "wintypes.h"

#include <cstdio>
#include <cstdlib>

namespace zutest {

// Year, month, day, then optionally hour, minute, second, millisecond and day of week.
inline SYSTEMTIME st(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0, int dow = 0)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDayOfWeek = static_cast<WORD>(dow);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}

// A wall-clock time as a FILETIME, no zone conversion. Fields SystemTimeToFileTime refuses are
// a mistake in the caller: the program stops with the date it was given.
inline FILETIME wall(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    const SYSTEMTIME t = st(y, mo, d, h, mi, s);
    FILETIME out{};
    if (!SystemTimeToFileTime(&t, &out)) {
        std::fprintf(stderr, "zutest::wall: no such time %d-%d-%d %d:%d:%d\n", y, mo, d, h, mi, s);
        std::abort();
    }
    return out;
}

}  // namespace zutest
