// civildate.h: the edge dates of the suite's ranges and stored constants, and every day from
// 800 BC to the last FILETIME year against the C++ library's calendar.
#include "civildate.h"

#include "filetime.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

static_assert(ZuDaysFromCivil(1970, 1, 1) == 0);
static_assert(ZuCivilFromDays(-134774).year == 1601);
static_assert(ZuWeekdayFromDays(0) == 4);

struct Edge {
    int y, m, d;
    long long days;  // since 1970-01-01
    int weekday;     // Sunday = 0
    const char* what;
};

const Edge kEdges[] = {
    {100, 1, 1, -683003, 5, "first COleDateTime day"},
    {1601, 1, 1, -134774, 1, "FILETIME epoch"},
    {1899, 12, 30, -25569, 6, "DATE epoch"},
    {1970, 1, 1, 0, 4, "day 0"},
    {2000, 2, 29, 11016, 2, "leap day of a century leap year"},
    {2100, 2, 28, 47540, 0, "end of February of a century common year"},
    {4500, 12, 31, 924428, 5, "last day a recurrence reaches"},
    {4501, 1, 1, 924429, 6, "the stored \"no date\""},
    {9999, 12, 31, 2932896, 5, "last COleDateTime day"},
};

TEST(CivilDate, EdgeDatesTheirDayNumbersAndWeekdays)
{
    for (const Edge& e : kEdges) {
        SCOPED_TRACE(e.what);
        EXPECT_EQ(ZuDaysFromCivil(e.y, e.m, e.d), e.days);
        const ZuCivilDate c = ZuCivilFromDays(e.days);
        EXPECT_EQ(c.year, e.y);
        EXPECT_EQ(c.month, e.m);
        EXPECT_EQ(c.day, e.d);
        EXPECT_EQ(ZuWeekdayFromDays(e.days), e.weekday);
    }
    // Far from 1970 the weekdays still repeat every seven days (1969-12-28 was a Sunday).
    EXPECT_EQ(ZuWeekdayFromDays(-4 - 7 * 100000000000000000LL), 0);
    EXPECT_EQ(ZuWeekdayFromDays(-4 + 7 * 100000000000000000LL), 0);
    // The stored constants, from the day numbers and their epochs.
    const long long fileTimeEpoch = ZuDaysFromCivil(1601, 1, 1);
    EXPECT_EQ(static_cast<ULONGLONG>(ZuDaysFromCivil(4501, 1, 1) - fileTimeEpoch) * ZU_TICKS_PER_DAY, ZU_NO_DATE_FILETIME);
    EXPECT_EQ((ZuDaysFromCivil(4500, 12, 31) - fileTimeEpoch) * 1440 + 23 * 60 + 59, 0x5AE980DF);
    EXPECT_EQ(static_cast<ULONGLONG>(-fileTimeEpoch) * ZU_TICKS_PER_DAY, ZU_UNIX_EPOCH_FILETIME);
    EXPECT_EQ(ZuDaysFromCivil(10000, 1, 1) - ZuDaysFromCivil(1899, 12, 30), 2958466);
}

TEST(CivilDate, LeapYearsAndMonthLengths)
{
    struct Year {
        int year;
        bool leap;
    };
    for (const Year& c : {Year{1600, true}, Year{1700, false}, Year{1900, false}, Year{2000, true}, Year{2004, true},
             Year{2100, false}, Year{2023, false}, Year{0, true}, Year{-4, true}, Year{-100, false}, Year{-1, false}}) {
        EXPECT_EQ(ZuIsLeapYear(c.year), c.leap) << c.year;
        EXPECT_EQ(ZuDaysInMonth(c.year, 2), c.leap ? 29 : 28) << c.year;
    }
    const int common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(ZuDaysInMonth(2023, m), common[m - 1]) << m;
    EXPECT_EQ(ZuDaysInMonth(2023, 0), 0);
    EXPECT_EQ(ZuDaysInMonth(2023, 13), 0);
    EXPECT_EQ(ZuDaysInMonth(2023, -1), 0);
}

TEST(CivilDate, DaysOutsideTheMonthCountOn)
{
    EXPECT_EQ(ZuDaysFromCivil(2004, 1, 32), ZuDaysFromCivil(2004, 2, 1));
    EXPECT_EQ(ZuDaysFromCivil(2004, 3, 0), ZuDaysFromCivil(2004, 2, 29));
    EXPECT_EQ(ZuDaysFromCivil(2003, 3, 0), ZuDaysFromCivil(2003, 2, 28));
    EXPECT_EQ(ZuDaysFromCivil(2004, 12, 32), ZuDaysFromCivil(2005, 1, 1));
    EXPECT_EQ(ZuDaysFromCivil(2004, 1, 0), ZuDaysFromCivil(2003, 12, 31));
    EXPECT_EQ(ZuDaysFromCivil(2004, 2, 31 + 365), ZuDaysFromCivil(2005, 3, 2));
}

TEST(CivilDate, EveryDayAgreesWithTheStandardCalendar)
{
    using namespace std::chrono;
    const long long first = ZuDaysFromCivil(-800, 1, 1);
    const long long end = ZuDaysFromCivil(30828, 1, 1);
    ASSERT_EQ(first, sys_days(year(-800) / January / 1).time_since_epoch().count());
    ASSERT_EQ(end, sys_days(year(30828) / January / 1).time_since_epoch().count());
    long long expectedYear = -800;
    for (long long n = first; n < end; ++n) {
        const ZuCivilDate c = ZuCivilFromDays(n);
        const year_month_day ref{sys_days(days(n))};
        if (c.year != static_cast<int>(ref.year()) || c.month != static_cast<int>(static_cast<unsigned>(ref.month()))
            || c.day != static_cast<int>(static_cast<unsigned>(ref.day()))) {
            FAIL() << "day " << n << ": " << c.year << "-" << c.month << "-" << c.day;
        }
        if (ZuDaysFromCivil(c.year, c.month, c.day) != n)
            FAIL() << "day " << n << " does not round-trip";
        if (ZuWeekdayFromDays(n) != static_cast<int>(weekday(sys_days(days(n))).c_encoding()))
            FAIL() << "weekday of day " << n;
        if (c.month == 1 && c.day == 1) {
            if (c.year != expectedYear || ZuIsLeapYear(c.year) != ref.year().is_leap())
                FAIL() << "year " << c.year;
            ++expectedYear;
        }
        if (c.day == 1
            && ZuDaysInMonth(c.year, c.month)
                != static_cast<int>(static_cast<unsigned>(year_month_day_last(ref.year(), month_day_last(ref.month())).day())))
            FAIL() << "length of " << c.year << "-" << c.month;
    }
    EXPECT_EQ(expectedYear, 30828);
}

}  // namespace
