// lunar.h - the Korean lunar (lunisolar) calendar: conversion between Gregorian dates and Korean
// lunar dates for the lunar years 1881 to 2043, that is the Gregorian dates 1881-01-30 (lunar
// 1881-01-01) to 2044-01-29 (the last day of lunar 2043). Outside that range every conversion
// fails. The month table is the officially published Korean calendar (KASI); see lunar.cpp.
//
// A lunar year has 12 ordinary months of 29 or 30 days and at most one leap month ("윤달"), which
// repeats the ordinary month before it. A lunar date is carried by the suite's date types as if it
// were a solar date: lunar 2004-08-15 is held as the COleDateTime or FILETIME of 2004-08-15.
//
// The four suite functions carry no leap-month flag: a day of a leap month is reported with the
// number of the month it repeats (2004-03-21, day 1 of the leap month after the 2nd, gives lunar
// 2004-02-01), and a lunar month number given to them always means the ordinary month (lunar
// 2004-02-01 gives 2004-02-20).
//
// Limits of the stand-in types: a lunar day 30 of the 2nd month, and a lunar 2nd-month day 29 in a
// year whose Gregorian February has 28 days, have no solar date to stand in for them, so
// FromSunToMoon fails on the solar days that fall there (about 220 days of the table). Code that
// only needs the numbers (captions, holiday lookup) should call ZuSunToMoon, which has no such gap.
//
// Lunar day overflow: a lunar day is only checked to lie in 1..30, not against its month, so day
// 30 of a 29-day month gives the solar day after that month's 29th (the first day of the next
// lunar month). Recurring lunar dates rely on this.
//
// All functions return 1 on success and 0 on failure, leave their arguments and outputs untouched
// on failure, keep no state and are thread-safe.
#pragma once

#include "oledatetime.h"
#include "wintypes.h"

// The lunar years of the table.
constexpr int ZU_LUNAR_FIRST_YEAR = 1881;
constexpr int ZU_LUNAR_LAST_YEAR = 2043;

// A Gregorian date (its year, month and day; the time is ignored) -> the lunar date at 00:00.
// Fails for an invalid or null date, outside the table, and for the lunar dates of the
// stand-in limit above.
int FromSunToMoon(COleDateTime& date);
// A lunar date held as a date (ordinary month, day 1..30 with overflow) -> the Gregorian date at
// 00:00. Fails for an invalid or null date and for lunar years outside the table.
int FromMoonToSun(COleDateTime& date);

// The FILETIME forms work on wall-clock dates and do NO time-zone conversion, in either direction:
// the value's calendar date (the time of day is dropped, not rounded) is converted and the result
// is stored as that date at 00:00 wall clock. Records store UTC, so each caller converts between
// UTC and local time exactly once, itself (FileTimeToLocalFileTime before, LocalFileTimeToFileTime
// after, where it needs them). Failure as for the COleDateTime forms.
int FromSunToMoon(FILETIME& date);
int FromMoonToSun(FILETIME& date);

// Suite-internal helpers, exported for the suite's own programs and tools; the four functions
// above are built on them.
//
// Gregorian y-m-d -> lunar *ly-*lm-*ld, with *leap true when the day lies in a leap month (*lm is
// then the number of the month that the leap month repeats). Fails for an impossible date and
// outside the table. Any output pointer may be null.
int ZuSunToMoon(int y, int m, int d, int* ly, int* lm, int* ld, bool* leap);
// Lunar ly-lm-ld -> Gregorian *y-*m-*d; leap asks for the leap month that repeats month lm. Fails
// for a year outside the table, a month outside 1..12, a day outside 1..30, and a leap month the
// year does not have. Day overflow as described above. Any output pointer may be null.
int ZuMoonToSun(int ly, int lm, int ld, bool leap, int* y, int* m, int* d);
