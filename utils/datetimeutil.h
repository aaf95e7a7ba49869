// datetimeutil.h - the suite's calendar arithmetic on SYSTEMTIME and FILETIME: the time ranges a
// day, week or month view covers, stepping a date by days, months or years, the n-th weekday of a
// month, the week number of a date, leap years, and comparing dates by month and day alone.
//
// Limits:
//   - Gregorian calendar only (proleptic before 1582); dates must lie in the range the platform's
//     conversions accept (SystemTimeToFileTime: years 1601 to 30827). A result that would leave
//     that range (a week or month grid starting before 1601-01-01, a step past 30827) fails.
//   - No time-zone conversion happens except in CompareFileTimeIgnoreYear and SetFileTimeCurYear:
//     elsewhere a SYSTEMTIME becomes a FILETIME of the same wall-clock value.
//   - Every function that returns int answers 1 on success and 0 on failure. A failure leaves the
//     outputs untouched; bad fields (month 0 or 13, day 0 or 32, year 0, day of week 7) and null
//     pointers are refused, never dereferenced or used as an index.
//   - Ranges are closed at both ends: end = start + length - 1 tick, so a range never overlaps the
//     next one.
//   - No state is kept; every function may be called from any thread (the two local-time
//     functions read the process's time zone, TZ).
#pragma once

#include "wintypes.h"

// Day-of-week mask bits: bit d (1 << d) stands for day of week d, Sunday = 0.
constexpr WORD ZU_MASK_SUNDAY = 0x01;
constexpr WORD ZU_MASK_MONDAY = 0x02;
constexpr WORD ZU_MASK_TUESDAY = 0x04;
constexpr WORD ZU_MASK_WEDNESDAY = 0x08;
constexpr WORD ZU_MASK_THURSDAY = 0x10;
constexpr WORD ZU_MASK_FRIDAY = 0x20;
constexpr WORD ZU_MASK_SATURDAY = 0x40;

// 1 for a Gregorian leap year (divisible by 400, or by 4 but not by 100), else 0.
int IsLeapYear(WORD year);

// *time += delta, as 64-bit arithmetic with carry (wrapping like the unsigned 64-bit value it is;
// the result is not checked against the valid FILETIME range). 0 for a null pointer.
int AddFileTime(FILETIME* time, LONGLONG delta);

// second - first in ticks, signed (two's-complement 64-bit difference).
LONGLONG DiffFileTime(FILETIME first, FILETIME second);

// The day of date: *start = the date at 00:00:00.000, *end = *start + 1 day - 1 tick. The time of
// day of date is ignored. start must be given; end may be null (then not written). 0 when start is
// null or the date is not a valid one.
int GetDayDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end);

// The week containing date: *start = midnight of the firstDayOfWeek on or before the date, *end =
// *start + 7 days - 1 tick. firstDayOfWeek is 0 (Sunday) or 1 (Monday). The day of week is taken
// from date.wDayOfWeek as the caller passes it, not recomputed: the caller must pass the correct
// one (0 to 6). Either pointer may be null and is then not written. 0 for another firstDayOfWeek,
// a wDayOfWeek above 6, an invalid date, or a week starting before 1601-01-01.
int GetWeekDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end, WORD firstDayOfWeek);

// The month containing date (its day and time are ignored).
//   grid != 0: the month view's six-week grid: *start = the Sunday on or before the first (the day
//              of week is computed here), *end = *start + 42 days - 1 tick;
//   grid == 0: *start = the first at 00:00, *end = *start + (days in the month) days - 1 tick.
// Either pointer may be null and is then not written. 0 when the year or month is invalid, or the
// grid would start before 1601-01-01 (January 1601).
int GetMonthDuration(SYSTEMTIME date, FILETIME* start, FILETIME* end, int grid);

// *out = date moved by n days, forward (forward != 0) or backward, its time of day kept, with the
// correct day of week. A negative n moves the other way. 0 when out is null, date is not a valid
// date and time, or the result leaves the platform's range.
int GetNextNDay(SYSTEMTIME date, SYSTEMTIME* out, int n, int forward);

// *out = date moved by one month, forward or backward, at 00:00:00.000 with the correct day of
// week. The day is clamped to the target month's length (31 January 2004 -> 29 February 2004;
// 31 March 2003 backward -> 28 February 2003). 0 when out is null, the date is invalid, or the
// result leaves the years 1601 to 30827.
int GetNextMonth(SYSTEMTIME date, SYSTEMTIME* out, int forward);

// *out = date moved by one year, forward or backward, at 00:00:00.000 with the correct day of
// week; the month stays and the day is clamped to the month's length in the target year
// (29 February 2004 -> 28 February 2005). Failures as GetNextMonth.
int GetNextYear(SYSTEMTIME date, SYSTEMTIME* out, int forward);

// The nth day of the month matching dayMask (bit d = day of week d; Sunday 1 to Saturday 64).
// f is the first day of the month (1 to 7) whose day of week is in the mask; nth 1 to 4 gives
// f + 7 * (nth - 1), nth 5 ("last") gives f + 28 when that is within the month, else f + 21.
// With several days in the mask the steps are whole weeks from f.
// *out receives year, month, that day and time 00:00:00.000, but its wDayOfWeek is the day of week
// of the FIRST of the month, not of the day found.
// 0 (out untouched) when out is null, month is outside 1..12, nth outside 1..5, dayMask is 0 or
// above 64 (so 127, "every day", is refused), or the year is outside 1601..30827.
int GetNthDayOfWeek(SYSTEMTIME* out, WORD year, WORD month, WORD nth, WORD dayMask);

// The week number of a day within its month. w is the day of the month's first firstDayOfWeek
// (0 = Sunday to 6 = Saturday); days before w are week 1 and from w on the week is
// (day - w) / 7 + 2. A month whose first is itself a firstDayOfWeek therefore starts with week 2.
// 0 when firstDayOfWeek is above 6, the month or year is invalid, or the day is not in the month.
int GetNthWeekOfDate(WORD year, WORD month, WORD day, WORD firstDayOfWeek);

// Compares two UTC times by their LOCAL month and day alone (year and time of day ignored;
// 29 February sorts between 28 February and 1 March): 1 when *a is later in the year than *b,
// 0 on the same month and day, -1 otherwise. A null pointer or a value that has no local date
// (at or above 0x8000000000000000) sorts before every valid one; two such compare equal.
long CompareFileTimeIgnoreYear(const FILETIME* a, const FILETIME* b);

// Moves a UTC time into the year of reference: *time = the UTC value of local midnight on the
// local month and day of *time in the local year of reference. Used to place a birthday or an
// anniversary into the year being shown.
// 29 February in a reference year that is not a leap year becomes 28 February, the day the
// calendar shows such a birthday on in common years.
// 0 (time untouched) for a null pointer, or when *time or reference has no local date or the
// result would leave the platform's range (a reference in the year 30828).
int SetFileTimeCurYear(FILETIME* time, FILETIME reference);
