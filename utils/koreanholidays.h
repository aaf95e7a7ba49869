// koreanholidays.h - the Korean public holidays of each year by the rules in force that year, for
// 1990 to 2043 (2043 is the last year of the lunar table, lunar.h). For other years nothing is
// known here and the calendar falls back on its stored table of fixed days.
//
// What a day is called and whether it is a red day follow the "관공서의 공휴일에 관한 규정"
// (Presidential Decree on the Public Holidays of Government Offices) as it stood each year, the
// election days of the 공직선거법 (Public Official Election Act) and the temporary holidays the
// government declared. Every rule, its years and where it comes from are listed at the top of
// koreanholidays.cpp, with the dates that come from memory and should be checked against the
// decree's amendment history (국가법령정보센터, law.go.kr) and the Korea Astronomy and Space
// Science Institute's published calendars.
//
// A year's list holds one entry a day, in date order:
//   - every public holiday: the fixed and lunar days, the day before and the day after 설날 and
//     추석, substitute days ("대체공휴일"), election days and temporary holidays (red);
//   - the days that the decree no longer lists but that are still named in the calendar
//     (식목일 from 2006, 제헌절 from 2008): named, not red.
// Two holidays of one day share its entry, their names joined by ", " ("어린이날, 석가탄신일" on
// 2025-05-05). Sundays are red days of their own and are not listed.
//
// The lists are built once, on first use, from the rules; every function is thread-safe.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <vector>

// The years the rules cover.
constexpr int ZU_HOLIDAY_FIRST_YEAR = 1990;
constexpr int ZU_HOLIDAY_LAST_YEAR = 2043;

struct ZuPublicHoliday {
    WORD year = 0;
    WORD month = 0;
    WORD day = 0;
    CString name;     // as the calendar's caption shows it
    bool red = true;  // a public holiday; false for a named day the decree no longer lists
};

// True for the years from ZU_HOLIDAY_FIRST_YEAR to ZU_HOLIDAY_LAST_YEAR.
bool ZuHolidayRulesCover(int year);

// The named days of a covered year in date order (see above); empty for a year not covered.
const std::vector<ZuPublicHoliday>& ZuHolidaysOfYear(int year);

// The entry of one day, or null when the day has none or its year is not covered.
const ZuPublicHoliday* ZuHolidayOn(int year, int month, int day);

// The election day of a term that ends on endY-endM-endD, as 공직선거법 제34조 fixes it: the
// first Wednesday on or after the day daysBefore days before the term's end (70 for the president,
// 50 for the National Assembly, 30 for the local councils and heads), moved to the next week's
// Wednesday when that Wednesday, the day before or the day after is a public holiday of the
// year (its holidays other than computed election days). Used for the elections of the years after
// the table of known dates; exported so that its tests can check it on the known ones. Returns 0
// for a term end whose election would fall outside the covered years.
int ZuTermElectionDay(int endY, int endM, int endD, int daysBefore, int* y, int* m, int* d);
