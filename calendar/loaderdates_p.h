// loaderdates_p.h - the date steps of the calendar's loader (private to recordcache.cpp and the
// item expansions): ticks of a FILETIME, the local time of a stored UTC one, local midnights and
// lunar dates placed on their solar ones. All wall-clock values are local FILETIMEs.
#pragma once

#include "filetime.h"
#include "lunar.h"

namespace zuload {

constexpr ULONGLONG kMinute = ZU_TICKS_PER_MINUTE;
constexpr ULONGLONG kDay = ZU_TICKS_PER_DAY;

inline ULONGLONG ticks(const FILETIME& ft)
{
    return ZuFileTimeToU64(ft);
}

inline FILETIME fromTicks(ULONGLONG v)
{
    return ZuU64ToFileTime(v);
}

// The local time of a stored UTC time; the stored value itself when it does not convert.
inline FILETIME toLocal(const FILETIME& utc)
{
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&utc, &local))
        return utc;
    return local;
}

inline SYSTEMTIME fields(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

inline bool localMidnight(int year, int month, int day, FILETIME& out)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    return SystemTimeToFileTime(&st, &out);
}

// A lunar date held as a wall-clock FILETIME -> the wall-clock solar date with the same time of
// day; false when it does not convert.
inline bool lunarToSolar(const FILETIME& lunar, FILETIME& solar, int& lunarMonth, int& lunarDay)
{
    const SYSTEMTIME st = fields(lunar);
    int y = 0, m = 0, d = 0;
    if (!ZuMoonToSun(st.wYear, st.wMonth, st.wDay, false, &y, &m, &d))
        return false;
    FILETIME midnight{};
    if (!localMidnight(y, m, d, midnight))
        return false;
    lunarMonth = st.wMonth;
    lunarDay = st.wDay;
    solar = fromTicks(ticks(midnight) + ticks(lunar) % kDay);
    return true;
}

}  // namespace zuload
