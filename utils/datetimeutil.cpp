// datetimeutil.cpp - calendar arithmetic on top of the platform's conversions (filetime.h): every
// date goes through SystemTimeToFileTime / FileTimeToSystemTime, which validate the fields, and
// month lengths come only after the month has been checked.
#include "datetimeutil.h"

#include "civildate.h"
#include "filetime.h"

namespace {

// The largest FILETIME the platform accepts.
constexpr ULONGLONG kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

SYSTEMTIME midnight(WORD year, WORD month, WORD day)
{
    SYSTEMTIME st;
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    return st;
}

// Ticks of the date's year, month and day at 00:00:00.000; false for an impossible date.
bool midnightTicks(WORD year, WORD month, WORD day, ULONGLONG& ticks)
{
    const SYSTEMTIME st = midnight(year, month, day);
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return false;
    ticks = ZuFileTimeToU64(ft);
    return true;
}

// start and start + length - 1 tick into the given outputs (each may be null).
void writeRange(ULONGLONG start, ULONGLONG length, FILETIME* startOut, FILETIME* endOut)
{
    if (startOut)
        *startOut = ZuU64ToFileTime(start);
    if (endOut)
        *endOut = ZuU64ToFileTime(start + length - 1);
}

// The fields of a date at midnight with its day of week filled in, and its ticks; false when the
// date is not one the platform accepts.
bool completeDate(WORD year, WORD month, WORD day, SYSTEMTIME& out, ULONGLONG* ticks = nullptr)
{
    const SYSTEMTIME st = midnight(year, month, day);
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft) || !FileTimeToSystemTime(&ft, &out))
        return false;
    if (ticks)
        *ticks = ZuFileTimeToU64(ft);
    return true;
}

// The local calendar fields of a UTC time.
bool localDate(const FILETIME& utc, SYSTEMTIME& out)
{
    FILETIME local;
    return FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &out);
}

}  // namespace

int IsLeapYear(WORD year)
{
    return ZuIsLeapYear(year) ? 1 : 0;
}

int AddFileTime(FILETIME* time, LONGLONG delta)
{
    if (!time)
        return 0;
    // Unsigned arithmetic: the carry between the halves and a wrap are both well defined.
    *time = ZuU64ToFileTime(ZuFileTimeToU64(*time) + static_cast<ULONGLONG>(delta));
    return 1;
}

LONGLONG DiffFileTime(FILETIME first, FILETIME second)
{
    return static_cast<LONGLONG>(ZuFileTimeToU64(second) - ZuFileTimeToU64(first));
}

int GetDayDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end)
{
    ULONGLONG v = 0;
    if (!start || !midnightTicks(date.wYear, date.wMonth, date.wDay, v))
        return 0;
    writeRange(v, ZU_TICKS_PER_DAY, start, end);
    return 1;
}

int GetWeekDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end, WORD firstDayOfWeek)
{
    if (firstDayOfWeek > 1 || date.wDayOfWeek > 6)
        return 0;
    ULONGLONG v = 0;
    if (!midnightTicks(date.wYear, date.wMonth, date.wDay, v))
        return 0;
    const ULONGLONG back = static_cast<ULONGLONG>((date.wDayOfWeek + 7 - firstDayOfWeek) % 7) * ZU_TICKS_PER_DAY;
    if (back > v)
        return 0;  // the week would start before 1601-01-01
    writeRange(v - back, 7 * ZU_TICKS_PER_DAY, start, end);
    return 1;
}

int GetMonthDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end, int grid)
{
    SYSTEMTIME first;
    ULONGLONG v = 0;
    if (!completeDate(date.wYear, date.wMonth, 1, first, &v))
        return 0;
    if (grid) {
        // The month view's grid starts on the Sunday on or before the first.
        const ULONGLONG back = first.wDayOfWeek * ZU_TICKS_PER_DAY;
        if (back > v)
            return 0;
        writeRange(v - back, 42 * ZU_TICKS_PER_DAY, start, end);
    } else {
        writeRange(v, static_cast<ULONGLONG>(ZuDaysInMonth(first.wYear, first.wMonth)) * ZU_TICKS_PER_DAY, start, end);
    }
    return 1;
}

int GetNextNDay(SYSTEMTIME date, SYSTEMTIME* out, int n, int forward)
{
    FILETIME ft;
    if (!out || !SystemTimeToFileTime(&date, &ft))
        return 0;
    // The step is taken only when the result stays within 0 .. kMaxFileTime; more days than that
    // range holds are refused before they are turned into ticks, which could overflow.
    const ULONGLONG v = ZuFileTimeToU64(ft);
    const bool later = (n >= 0) == (forward != 0);
    const ULONGLONG days = static_cast<ULONGLONG>(n < 0 ? -static_cast<LONGLONG>(n) : n);
    if (days > kMaxFileTime / ZU_TICKS_PER_DAY)
        return 0;
    const ULONGLONG step = days * ZU_TICKS_PER_DAY;
    if (later ? step > kMaxFileTime - v : step > v)
        return 0;
    const FILETIME moved = ZuU64ToFileTime(later ? v + step : v - step);
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&moved, &st))
        return 0;
    *out = st;
    return 1;
}

int GetNextMonth(SYSTEMTIME date, SYSTEMTIME* out, int forward)
{
    // Checks year, month and day before any month length is looked up.
    SYSTEMTIME check;
    if (!out || !completeDate(date.wYear, date.wMonth, date.wDay, check))
        return 0;
    WORD year = date.wYear;
    WORD month = date.wMonth;
    WORD day = date.wDay;
    if (forward) {
        if (month == 12) {
            // January has 31 days like December: the day needs no clamping.
            ++year;
            month = 1;
        } else {
            ++month;
        }
    } else {
        if (month == 1) {
            --year;
            month = 12;
        } else {
            --month;
        }
    }
    const int length = ZuDaysInMonth(year, month);
    if (day > length)
        day = static_cast<WORD>(length);
    SYSTEMTIME st;
    if (!completeDate(year, month, day, st))
        return 0;  // past 30827 or before 1601
    *out = st;
    return 1;
}

int GetNextYear(SYSTEMTIME date, SYSTEMTIME* out, int forward)
{
    SYSTEMTIME check;
    if (!out || !completeDate(date.wYear, date.wMonth, date.wDay, check))
        return 0;
    const WORD year = static_cast<WORD>(forward ? date.wYear + 1 : date.wYear - 1);
    const int length = ZuDaysInMonth(year, date.wMonth);
    const WORD day = date.wDay > length ? static_cast<WORD>(length) : date.wDay;
    SYSTEMTIME st;
    if (!completeDate(year, date.wMonth, day, st))
        return 0;
    *out = st;
    return 1;
}

int GetNthDayOfWeek(SYSTEMTIME* out, WORD year, WORD month, WORD nth, WORD dayMask)
{
    if (!out || month < 1 || month > 12 || nth < 1 || nth > 5 || dayMask < 1 || dayMask > 64)
        return 0;
    SYSTEMTIME first;
    if (!completeDate(year, month, 1, first))
        return 0;
    // The first day of the month whose weekday is in the mask; the mask is non-zero, so at most
    // seven steps (Saturday wraps to Sunday).
    int bit = first.wDayOfWeek;
    int f = 1;
    while (!(dayMask & (1 << bit))) {
        bit = (bit + 1) % 7;
        ++f;
    }
    int day = f + 7 * (nth - 1);
    if (nth == 5 && day > ZuDaysInMonth(year, month))
        day -= 7;
    first.wDay = static_cast<WORD>(day);  // the day of week stays the first's
    *out = first;
    return 1;
}

int GetNthWeekOfDate(WORD year, WORD month, WORD day, WORD firstDayOfWeek)
{
    if (firstDayOfWeek > 6 || day < 1 || day > ZuDaysInMonth(year, month))
        return 0;
    SYSTEMTIME st;
    if (!GetNthDayOfWeek(&st, year, month, 1, static_cast<WORD>(1u << firstDayOfWeek)))
        return 0;
    const int w = st.wDay;
    return day < w ? 1 : (day - w) / 7 + 2;
}

long CompareFileTimeIgnoreYear(const FILETIME* a, const FILETIME* b)
{
    // Month and day as one number, as if both were placed into one leap year; -1 when there is no
    // local date.
    const auto key = [](const FILETIME* ft) -> long {
        SYSTEMTIME st;
        if (!ft || !localDate(*ft, st))
            return -1;
        return st.wMonth * 32L + st.wDay;
    };
    const long ka = key(a);
    const long kb = key(b);
    return ka > kb ? 1 : (ka < kb ? -1 : 0);
}

int SetFileTimeCurYear(FILETIME* time, FILETIME reference)
{
    SYSTEMTIME date;
    SYSTEMTIME ref;
    if (!time || !localDate(*time, date) || !localDate(reference, ref))
        return 0;
    WORD day = date.wDay;
    // A 29 February birthday falls on 28 February in common years.
    const int length = ZuDaysInMonth(ref.wYear, date.wMonth);
    if (day > length)
        day = static_cast<WORD>(length);
    const SYSTEMTIME local = midnight(ref.wYear, date.wMonth, day);
    FILETIME localFt;
    FILETIME utc;
    if (!SystemTimeToFileTime(&local, &localFt) || !LocalFileTimeToFileTime(&localFt, &utc))
        return 0;
    *time = utc;
    return 1;
}
