// testtime.h - SYSTEMTIME values for tests, written as they read.
#pragma once

#include "wintypes.h"

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

}  // namespace zutest
