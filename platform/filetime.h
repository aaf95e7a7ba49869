// filetime.h - the handheld platform's time functions: FILETIME <-> SYSTEMTIME, UTC <-> local
// time through the system time zone, and the current time through a clock the tests can replace.
//
// A FILETIME counts 100-nanosecond ticks since 1601-01-01 00:00. Values at or above
// 0x8000000000000000 are refused everywhere, as the handheld did; the largest accepted value is
// 30828-09-14 02:48:05.4775807. SYSTEMTIME carries milliseconds, so ticks below a millisecond
// are dropped (not rounded) on the way to a SYSTEMTIME.
//
// Every BOOL function returns TRUE or FALSE, leaves its output untouched on FALSE, sets
// ERROR_INVALID_PARAMETER as the last error on FALSE, and never crashes on a null pointer or a
// field out of range.
//
// Local time follows the C library's time zone (TZ honoured; it is re-read on every call, so a
// test may switch zones with setenv + tzset), with the offset in force at that instant:
// historical offsets (local mean time before a zone adopted standard time) and daylight saving
// included. Instants outside what the C library can convert take the offset of the nearest
// instant it can.
//
// Local wall-clock times that do not name exactly one instant convert as follows, in
// LocalFileTimeToFileTime:
//   - in a gap (clocks jump forward, e.g. 2021-03-14 02:30 in New York), the time is read with
//     the offset in force before the gap, so it lands after the gap, later by the gap's length
//     (02:30 EST = 07:30 UTC = 03:30 EDT);
//   - in an overlap (clocks fall back, e.g. 2021-11-07 01:30 in New York), the earlier of the two
//     instants is taken, which is again the one read with the offset in force before the change
//     (01:30 EDT = 05:30 UTC).
// The rule looks at the zone's offsets 16 hours either side of the wall-clock time; should a zone
// change twice within that window (rare in the time zone data), a time between the two changes
// may be read with the offset of the nearer one.
//
// All functions are thread-safe.
#pragma once

#include "civildate.h"  // ZuIsLeapYear, ZuDaysInMonth and the day numbers of dates
#include "wintypes.h"

#include <functional>

constexpr ULONGLONG ZU_TICKS_PER_MILLISECOND = 10000ULL;
constexpr ULONGLONG ZU_TICKS_PER_SECOND = 10000000ULL;
constexpr ULONGLONG ZU_TICKS_PER_MINUTE = 600000000ULL;
constexpr ULONGLONG ZU_TICKS_PER_HOUR = 36000000000ULL;
constexpr ULONGLONG ZU_TICKS_PER_DAY = 864000000000ULL;
// 4501-01-01 00:00, which the suite stores for "no date".
constexpr ULONGLONG ZU_NO_DATE_FILETIME = 0x0CB34557A3DD4000ULL;
// 1970-01-01 00:00 as a FILETIME.
constexpr ULONGLONG ZU_UNIX_EPOCH_FILETIME = 116444736000000000ULL;

inline ULONGLONG ZuFileTimeToU64(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME ZuU64ToFileTime(ULONGLONG v)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(v & 0xFFFFFFFFULL);
    ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
    return ft;
}

// -1, 0 or 1 as *a is before, equal to or after *b (a null pointer sorts first).
inline int CompareFileTime(const FILETIME* a, const FILETIME* b)
{
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    const ULONGLONG x = ZuFileTimeToU64(*a);
    const ULONGLONG y = ZuFileTimeToU64(*b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Whether the fields make a date and time SystemTimeToFileTime accepts: year 1601..30827,
// month 1..12, day within the month, hour < 24, minute < 60, second < 60, milliseconds < 1000.
// wDayOfWeek is not looked at.
bool ZuIsValidSystemTime(const SYSTEMTIME& st);

// Fields -> ticks; FALSE when ZuIsValidSystemTime says no. wDayOfWeek is ignored.
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);
// Ticks -> fields, with wDayOfWeek (Sunday = 0); FALSE for values >= 0x8000000000000000.
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);

// UTC -> local wall clock, by the zone's offset at that instant. FALSE when either value would
// leave the accepted range (e.g. 1601-01-01 00:00 UTC in a zone west of Greenwich).
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
// Local wall clock -> UTC, with the gap and overlap rule of the file comment. FALSE as above.
BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc);

// The current time, UTC and local, to the millisecond, from the clock below.
void GetSystemTime(SYSTEMTIME* st);
void GetLocalTime(SYSTEMTIME* st);

// The clock every "now" of the suite reads: returns the current UTC time as a FILETIME. An
// empty function restores the system clock. Swapping the clock is safe while other threads read
// it; a reader that already took the old clock finishes with it.
void ZuSetClock(std::function<FILETIME()> utcNow);
// A clock that always answers the given UTC time.
void ZuSetFixedClock(const FILETIME& utcNow);
// The current UTC time from the clock.
FILETIME ZuUtcNow();
