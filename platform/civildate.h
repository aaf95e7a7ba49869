// civildate.h - the proleptic Gregorian calendar (also before 1582) on one day number: days since
// 1970-01-01, negative before it. FILETIME, DATE, the recurrence pattern and the date utilities
// take their dates, weekdays and month lengths from here; a caller with another epoch (1601-01-01
// for FILETIME, 1899-12-30 for DATE) subtracts that epoch's day number, e.g.
// ZuDaysFromCivil(y, m, d) - ZuDaysFromCivil(1601, 1, 1).
//
// The functions check nothing; the callers check their fields and ranges first. They hold for
// years within +-10^12 and day numbers within +-4 * 10^18. Months are 1..12. A day outside the
// month counts on from the month's first day (day 0 is the last day of the month before, day 32
// of January is 1 February), so ZuDaysFromCivil(y, m, 1) + n - 1 and ZuDaysFromCivil(y, m, n)
// agree.
//
//   ZuDaysFromCivil(1970, 1, 1) == 0       ZuCivilFromDays(-134774) == {1601, 1, 1}
//   ZuWeekdayFromDays(0) == 4 (Thursday)   ZuDaysInMonth(2100, 2) == 28
#pragma once

// Year, month 1..12, day 1..31.
struct ZuCivilDate {
    long long year;
    int month;
    int day;
};

// Every fourth year is a leap year, but a century year only when 400 divides it (2000 yes, 2100 no).
constexpr bool ZuIsLeapYear(long long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days in the month, or 0 for a month outside 1..12.
constexpr int ZuDaysInMonth(long long year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    if (month == 2)
        return ZuIsLeapYear(year) ? 29 : 28;
    // 31 in odd months up to July, in even ones from August.
    return 30 + ((month + month / 8) & 1);
}

// The day number of a date. The year counts from 1 March (so the leap day ends it) in 400-year
// eras of 146,097 days.
constexpr long long ZuDaysFromCivil(long long year, int month, int day)
{
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);                    // 0..399
    const auto mp = static_cast<unsigned>(month > 2 ? month - 3 : month + 9);  // 0 = March
    const unsigned monthStart = (153 * mp + 2) / 5;                           // 0..337
    const long long doe = static_cast<long long>(yoe * 365 + yoe / 4 - yoe / 100 + monthStart) + day - 1;
    return era * 146097 + doe - 719468;  // 719,468 days from 0000-03-01 to 1970-01-01
}

// The date of a day number.
constexpr ZuCivilDate ZuCivilFromDays(long long days)
{
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);                      // 0..146096
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // 0..399
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                  // 0..365, from 1 March
    const unsigned mp = (5 * doy + 2) / 153;                                       // 0 = March
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<long long>(yoe) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The weekday of a day number, Sunday = 0 .. Saturday = 6. 1970-01-01 was a Thursday; the
// count is moved by a multiple of 7 onto non-negative values (for any day number above -4e18),
// so that an unsigned remainder gives it.
constexpr int ZuWeekdayFromDays(long long days)
{
    constexpr long long kShift = 7 * (1LL << 59);
    return static_cast<int>(static_cast<unsigned long long>(days + 4 + kShift) % 7);
}
