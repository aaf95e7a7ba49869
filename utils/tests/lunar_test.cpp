// Tests of the Korean lunar calendar. Expected dates were worked out from the published month
// table with an independent date library, not with this code.
#include "lunar.h"

#include "filetime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace std::chrono;

struct Ymd {
    int y, m, d;
    bool operator==(const Ymd&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Ymd& v)
{
    return os << v.y << '-' << v.m << '-' << v.d;
}

sys_days toDays(Ymd v)
{
    return sys_days(year(v.y) / month(static_cast<unsigned>(v.m)) / day(static_cast<unsigned>(v.d)));
}

Ymd fromDays(sys_days t)
{
    const year_month_day ymd(t);
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

const Ymd kFirstDay{1881, 1, 30};
const Ymd kLastDay{2044, 1, 29};

// A lunar date with its leap flag.
struct Lunar {
    int y, m, d;
    bool leap;
    bool operator==(const Lunar&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Lunar& v)
{
    return os << v.y << '-' << (v.leap ? "leap " : "") << v.m << '-' << v.d;
}

bool sunToMoon(Ymd s, Lunar* out)
{
    return ZuSunToMoon(s.y, s.m, s.d, &out->y, &out->m, &out->d, &out->leap) == 1;
}

bool moonToSun(Lunar l, Ymd* out)
{
    return ZuMoonToSun(l.y, l.m, l.d, l.leap, &out->y, &out->m, &out->d) == 1;
}

FILETIME fileTime(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    SYSTEMTIME st;
    st.wYear = WORD(y);
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    st.wHour = WORD(h);
    st.wMinute = WORD(mi);
    st.wSecond = WORD(s);
    st.wMilliseconds = WORD(ms);
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return ft;
}

// The month codes of a lunar year as the conversions see them, in the table's encoding, from the
// day numbers of each month's first day.
std::vector<int> monthCodesOf(int ly)
{
    struct Start {
        sys_days first;
        bool leap;
    };
    std::vector<Start> starts;
    for (int m = 1; m <= 12; ++m) {
        for (bool leap : {false, true}) {
            Ymd s;
            if (moonToSun({ly, m, 1, leap}, &s))
                starts.push_back({toDays(s), leap});
        }
    }
    Ymd next = kLastDay;
    if (ly < ZU_LUNAR_LAST_YEAR) {
        EXPECT_TRUE(moonToSun({ly + 1, 1, 1, false}, &next));
    }
    const sys_days end = toDays(next) + days(ly < ZU_LUNAR_LAST_YEAR ? 0 : 1);
    std::vector<int> codes;
    for (size_t i = 0; i < starts.size(); ++i) {
        const auto length = ((i + 1 < starts.size() ? starts[i + 1].first : end) - starts[i].first).count();
        codes.push_back(int(length) - (starts[i].leap ? 26 : 28));
    }
    if (codes.size() == 12)
        codes.push_back(0);
    return codes;
}

} // namespace

// The embedded table against rows of the published table file.
TEST(LunarTable, RowsMatchPublishedCalendar)
{
    struct Row {
        int year;
        std::vector<int> codes;
    };
    const Row rows[] = {
        {1881, {1, 2, 1, 2, 1, 2, 2, 3, 2, 2, 1, 2, 1}},
        {1882, {1, 2, 1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 0}},
        {2004, {1, 2, 3, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2}},
        {2005, {1, 2, 1, 2, 1, 2, 2, 1, 2, 2, 1, 1, 0}},
        {2017, {1, 2, 1, 2, 1, 3, 2, 1, 2, 1, 2, 2, 2}},
        {2033, {1, 2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 3, 2}},
        {2043, {1, 2, 1, 1, 2, 1, 1, 2, 2, 1, 2, 2, 0}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(monthCodesOf(row.year), row.codes) << row.year;
}

// Every day of the table, in order: each converts, the lunar date steps by one day through months
// of 29 or 30 days (a leap month right after the month it repeats), years have 12 ordinary months
// and at most one leap month, and the leap-aware conversion back gives the same day.
TEST(LunarTable, EveryDayConvertsContinuouslyAndRoundTrips)
{
    Lunar prev{};
    int monthLength = 0, ordinaryMonths = 0, leapMonths = 0, yearLength = 0, years = 0;
    int failures = 0;
    for (sys_days t = toDays(kFirstDay); t <= toDays(kLastDay) && failures < 5; t += days(1)) {
        const Ymd solar = fromDays(t);
        Lunar l;
        if (!sunToMoon(solar, &l)) {
            ADD_FAILURE() << solar << " does not convert";
            ++failures;
            continue;
        }
        Ymd back;
        if (!moonToSun(l, &back) || !(back == solar)) {
            ADD_FAILURE() << solar << " -> " << l << " -> " << back;
            ++failures;
        }
        if (t == toDays(kFirstDay)) {
            EXPECT_EQ(l, (Lunar{1881, 1, 1, false}));
        } else if (l.d == prev.d + 1 && l.y == prev.y && l.m == prev.m && l.leap == prev.leap) {
            // same month
        } else {
            // A new month starts: the one that ended had 29 or 30 days.
            const bool ok = l.d == 1 && prev.d == monthLength && (monthLength == 29 || monthLength == 30)
                && ((l.y == prev.y && !l.leap && l.m == prev.m + 1)  // next ordinary month
                    || (l.y == prev.y && l.leap && !prev.leap && l.m == prev.m)  // its leap month
                    || (l.y == prev.y + 1 && l.m == 1 && !l.leap && prev.m == 12));  // new year
            if (!ok) {
                ADD_FAILURE() << "jump from " << prev << " to " << l << " on " << solar;
                ++failures;
            }
            if (l.y != prev.y) {
                EXPECT_EQ(ordinaryMonths, 12) << prev.y;
                EXPECT_LE(leapMonths, 1) << prev.y;
                EXPECT_TRUE(yearLength >= 353 && yearLength <= 385) << prev.y << ": " << yearLength;
                ++years;
                ordinaryMonths = leapMonths = yearLength = 0;
            }
        }
        if (l.d == 1)
            (l.leap ? leapMonths : ordinaryMonths) += 1;
        monthLength = l.d;
        ++yearLength;
        prev = l;
    }
    EXPECT_EQ(prev, (Lunar{2043, 12, 30, false}));
    EXPECT_EQ(years + 1, 163);
}

// Known days: the published calendar's New Year (Seollal) and Chuseok (8/15) for a spread of years,
// the ends of the table, days in and around leap months, 29 February and 31 December.
TEST(LunarConversion, KnownDates)
{
    struct Case {
        Ymd solar;
        Lunar lunar;
    };
    const Case cases[] = {
        {{1881, 1, 30}, {1881, 1, 1, false}},  // first day of the table
        {{2044, 1, 29}, {2043, 12, 30, false}},  // last day
        {{1881, 10, 7}, {1881, 8, 15, false}},
        {{1900, 1, 31}, {1900, 1, 1, false}},
        {{1900, 9, 8}, {1900, 8, 15, false}},
        {{1950, 2, 17}, {1950, 1, 1, false}},
        {{1950, 9, 26}, {1950, 8, 15, false}},
        {{1988, 2, 18}, {1988, 1, 1, false}},
        {{1988, 9, 25}, {1988, 8, 15, false}},
        {{2000, 2, 5}, {2000, 1, 1, false}},
        {{2000, 9, 12}, {2000, 8, 15, false}},
        {{2004, 1, 22}, {2004, 1, 1, false}},
        {{2004, 9, 28}, {2004, 8, 15, false}},
        {{2005, 2, 9}, {2005, 1, 1, false}},
        {{2006, 1, 29}, {2006, 1, 1, false}},  // after 2005's last month of 29 days
        {{2006, 10, 6}, {2006, 8, 15, false}},
        {{2017, 1, 28}, {2017, 1, 1, false}},
        {{2017, 10, 4}, {2017, 8, 15, false}},
        {{2024, 2, 10}, {2024, 1, 1, false}},
        {{2024, 9, 17}, {2024, 8, 15, false}},
        {{2043, 2, 10}, {2043, 1, 1, false}},
        {{2043, 9, 17}, {2043, 8, 15, false}},
        // leap months: first and last days, and the ordinary month after
        {{2004, 2, 20}, {2004, 2, 1, false}},
        {{2004, 3, 21}, {2004, 2, 1, true}},
        {{2004, 4, 18}, {2004, 2, 29, true}},
        {{2004, 4, 19}, {2004, 3, 1, false}},
        {{1881, 8, 25}, {1881, 7, 1, true}},
        {{1881, 9, 22}, {1881, 7, 29, true}},
        {{1881, 9, 23}, {1881, 8, 1, false}},
        {{2017, 6, 24}, {2017, 5, 1, true}},
        {{2020, 5, 23}, {2020, 4, 1, true}},
        {{2033, 12, 22}, {2033, 11, 1, true}},  // a leap 11th month running into the next solar year
        {{2034, 1, 19}, {2033, 11, 29, true}},
        {{2034, 1, 20}, {2033, 12, 1, false}},
        // 29 February, the 28th in a century year, and 31 December in leap and common years
        {{2004, 2, 29}, {2004, 2, 10, false}},
        {{2000, 2, 29}, {2000, 1, 25, false}},
        {{1900, 2, 28}, {1900, 1, 29, false}},
        {{1900, 3, 1}, {1900, 2, 1, false}},
        {{1881, 12, 31}, {1881, 11, 11, false}},
        {{1899, 12, 31}, {1899, 11, 29, false}},
        {{1900, 12, 31}, {1900, 11, 10, false}},
        {{2000, 12, 31}, {2000, 12, 6, false}},
        {{2004, 12, 31}, {2004, 11, 20, false}},
        {{2043, 12, 31}, {2043, 12, 1, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.solar));
        Lunar l{};
        ASSERT_TRUE(sunToMoon(c.solar, &l));
        EXPECT_EQ(l, c.lunar);
        Ymd s{};
        ASSERT_TRUE(moonToSun(c.lunar, &s));
        EXPECT_EQ(s, c.solar);

        // The suite's forms: no leap flag, a leap-month day reported with the month it repeats.
        COleDateTime date(c.solar.y, c.solar.m, c.solar.d, 0, 0, 0);
        ASSERT_EQ(FromSunToMoon(date), 1);
        EXPECT_EQ((Ymd{date.GetYear(), date.GetMonth(), date.GetDay()}), (Ymd{c.lunar.y, c.lunar.m, c.lunar.d}));
        FILETIME ft = fileTime(c.solar.y, c.solar.m, c.solar.d);
        ASSERT_EQ(FromSunToMoon(ft), 1);
        EXPECT_EQ(ZuFileTimeToU64(ft), ZuFileTimeToU64(fileTime(c.lunar.y, c.lunar.m, c.lunar.d)));
        if (!c.lunar.leap) {
            ASSERT_EQ(FromMoonToSun(date), 1);
            EXPECT_EQ((Ymd{date.GetYear(), date.GetMonth(), date.GetDay()}), c.solar);
            ASSERT_EQ(FromMoonToSun(ft), 1);
            EXPECT_EQ(ZuFileTimeToU64(ft), ZuFileTimeToU64(fileTime(c.solar.y, c.solar.m, c.solar.d)));
        }
    }
}

// A lunar month number without a leap flag always means the ordinary month.
TEST(LunarConversion, MonthNumberMeansOrdinaryMonth)
{
    COleDateTime date(2004, 3, 21, 0, 0, 0);  // day 1 of the leap month after the 2nd
    ASSERT_EQ(FromSunToMoon(date), 1);
    EXPECT_EQ(date, COleDateTime(2004, 2, 1, 0, 0, 0));
    ASSERT_EQ(FromMoonToSun(date), 1);
    EXPECT_EQ(date, COleDateTime(2004, 2, 20, 0, 0, 0));  // the ordinary 2nd month

    Ymd s;
    ASSERT_TRUE(moonToSun({2004, 2, 1, true}, &s));
    EXPECT_EQ(s, (Ymd{2004, 3, 21}));
}

// A lunar day past its month's end runs on into the next month, ordinary or leap.
TEST(LunarConversion, DayPastMonthEndRunsIntoNextMonth)
{
    struct Case {
        Lunar lunar;
        Ymd solar;
    };
    const Case cases[] = {
        {{2004, 1, 30, false}, {2004, 2, 20}},  // 29-day 1st month -> day 1 of the 2nd
        {{2004, 2, 30, true}, {2004, 4, 19}},  // 29-day leap month -> day 1 of the 3rd
        {{2005, 12, 30, false}, {2006, 1, 29}},  // 29-day last month -> next New Year
        {{2004, 2, 30, false}, {2004, 3, 20}},  // a real day 30 is not an overflow
    };
    for (const Case& c : cases) {
        Ymd s;
        ASSERT_TRUE(moonToSun(c.lunar, &s)) << c.lunar;
        EXPECT_EQ(s, c.solar) << c.lunar;
    }
    COleDateTime date(2004, 1, 30, 0, 0, 0);
    ASSERT_EQ(FromMoonToSun(date), 1);
    EXPECT_EQ(date, COleDateTime(2004, 2, 20, 0, 0, 0));
}

TEST(LunarConversion, RefusesDatesOutsideTableOrCalendar)
{
    const Ymd badSolar[] = {
        {1881, 1, 29}, {2044, 1, 30}, {1850, 1, 1}, {2100, 1, 1}, {2004, 2, 30}, {2005, 2, 29},
        {2004, 4, 31}, {2004, 13, 1}, {2004, 0, 10}, {2004, 5, 0}, {INT_MIN, 1, 1}, {INT_MAX, 12, 31},
        {2004, INT_MAX, 1}, {2004, 1, INT_MIN},
    };
    for (const Ymd& s : badSolar) {
        Lunar l{7, 7, 7, true};
        EXPECT_EQ(ZuSunToMoon(s.y, s.m, s.d, &l.y, &l.m, &l.d, &l.leap), 0) << s;
        EXPECT_EQ(l, (Lunar{7, 7, 7, true})) << s;
    }
    const Lunar badLunar[] = {
        {1880, 12, 1, false}, {2044, 1, 1, false}, {2004, 13, 1, false}, {2004, 0, 1, false},
        {2004, 1, 31, false}, {2004, 1, 0, false}, {2004, 1, -1, false},
        {2005, 2, 1, true},  // 2005 has no leap month
        {2004, 3, 1, true},  // 2004's leap month repeats the 2nd, not the 3rd
        {2004, 1, 1, true}, {2004, 12, 1, true}, {INT_MIN, 1, 1, false}, {INT_MAX, 1, 1, false},
        {2004, INT_MAX, 1, false}, {2004, 1, INT_MAX, false},
    };
    for (const Lunar& l : badLunar) {
        Ymd s{7, 7, 7};
        EXPECT_EQ(ZuMoonToSun(l.y, l.m, l.d, l.leap, &s.y, &s.m, &s.d), 0) << l;
        EXPECT_EQ(s, (Ymd{7, 7, 7})) << l;
    }

    // The suite's forms leave their argument as it was.
    const auto refuses = [](const Ymd& v, int (*dateForm)(COleDateTime&), int (*fileTimeForm)(FILETIME&)) {
        COleDateTime date(v.y, v.m, v.d, 10, 30, 0);
        const COleDateTime before = date;
        EXPECT_EQ(dateForm(date), 0) << v;
        EXPECT_EQ(date, before) << v;
        FILETIME ft = fileTime(v.y, v.m, v.d, 10, 30);
        const ULONGLONG ticks = ZuFileTimeToU64(ft);
        EXPECT_EQ(fileTimeForm(ft), 0) << v;
        EXPECT_EQ(ZuFileTimeToU64(ft), ticks) << v;
    };
    for (const Ymd& solar : {Ymd{1881, 1, 29}, Ymd{2044, 1, 30}, Ymd{1601, 1, 1}, Ymd{9999, 12, 31}})
        refuses(solar, FromSunToMoon, FromSunToMoon);
    for (const Ymd& lunar : {Ymd{1880, 12, 29}, Ymd{2044, 1, 1}, Ymd{1601, 1, 1}, Ymd{9999, 12, 31}})
        refuses(lunar, FromMoonToSun, FromMoonToSun);
    COleDateTime invalid(2004, 2, 20, 0, 0, 0);
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_EQ(FromSunToMoon(invalid), 0);
    EXPECT_EQ(FromMoonToSun(invalid), 0);
    FILETIME huge = ZuU64ToFileTime(0x8000000000000000ULL);
    EXPECT_EQ(FromSunToMoon(huge), 0);
    EXPECT_EQ(ZuFileTimeToU64(huge), 0x8000000000000000ULL);
}

// Lunar 02-30, and 02-29 of a year whose February has 28 days, cannot be held as a solar date:
// the suite's forms fail there and leave their argument, while the helper still converts.
TEST(LunarConversion, LunarDaysWithoutStandInDate)
{
    struct Case {
        Ymd solar;
        Lunar lunar;
    };
    const Case cases[] = {
        {{2004, 3, 20}, {2004, 2, 30, false}},
        {{2005, 4, 7}, {2005, 2, 29, false}},
    };
    for (const Case& c : cases) {
        Lunar l{};
        ASSERT_TRUE(sunToMoon(c.solar, &l));
        EXPECT_EQ(l, c.lunar);
        COleDateTime date(c.solar.y, c.solar.m, c.solar.d, 0, 0, 0);
        EXPECT_EQ(FromSunToMoon(date), 0);
        EXPECT_EQ(date, COleDateTime(c.solar.y, c.solar.m, c.solar.d, 0, 0, 0));
        FILETIME ft = fileTime(c.solar.y, c.solar.m, c.solar.d);
        EXPECT_EQ(FromSunToMoon(ft), 0);
        EXPECT_EQ(ZuFileTimeToU64(ft), ZuFileTimeToU64(fileTime(c.solar.y, c.solar.m, c.solar.d)));
    }
}

// Whole years through the COleDateTime forms: solar -> lunar -> solar gives the same day, except
// that a leap-month day comes back in the ordinary month it repeats, and the days without a
// stand-in date fail.
TEST(LunarConversion, WholeYearsRoundTripThroughDateForms)
{
    for (int y : {1881, 1900, 2004, 2043}) {
        int leapDays = 0, gaps = 0;
        const Ymd from = y == 1881 ? kFirstDay : Ymd{y, 1, 1};
        for (sys_days t = toDays(from); t <= toDays({y, 12, 31}); t += days(1)) {
            const Ymd s = fromDays(t);
            Lunar l{};
            ASSERT_TRUE(sunToMoon(s, &l)) << s;
            COleDateTime date(s.y, s.m, s.d, 0, 0, 0);
            if (l.m == 2 && (l.d == 30 || (l.d == 29 && !ZuIsLeapYear(l.y)))) {
                EXPECT_EQ(FromSunToMoon(date), 0) << s;
                ++gaps;
                continue;
            }
            ASSERT_EQ(FromSunToMoon(date), 1) << s;
            ASSERT_EQ(FromMoonToSun(date), 1) << s;
            Ymd expected = s;
            if (l.leap) {
                ASSERT_TRUE(moonToSun({l.y, l.m, l.d, false}, &expected));
                EXPECT_LT(toDays(expected), t);
                ++leapDays;
            }
            EXPECT_EQ((Ymd{date.GetYear(), date.GetMonth(), date.GetDay()}), expected) << s;
        }
        EXPECT_EQ(leapDays, y == 2043 ? 0 : 29) << y;  // leap months of 29 days in 1881, 1900, 2004
        EXPECT_LE(gaps, 2) << y;
    }
}

TEST(LunarConversion, DateFormDropsTimeOfDay)
{
    COleDateTime date(2004, 9, 28, 23, 59, 59);
    ASSERT_EQ(FromSunToMoon(date), 1);
    EXPECT_EQ(date, COleDateTime(2004, 8, 15, 0, 0, 0));
    date = COleDateTime(2004, 8, 15, 13, 45, 0);
    ASSERT_EQ(FromMoonToSun(date), 1);
    EXPECT_EQ(date, COleDateTime(2004, 9, 28, 0, 0, 0));
}

// Sets TZ for one test and puts the old value back.
class LunarFileTime : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("TZ", GetParam(), 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_hadOld)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string m_old;
    bool m_hadOld = false;
};

// The FILETIME forms convert the wall-clock date they hold and store the result at 00:00 wall
// clock, whatever the zone: no shift to or from UTC in either direction.
TEST_P(LunarFileTime, KeepsWallClockDateWithoutZoneShift)
{
    struct Case {
        FILETIME in;
        FILETIME out;
        bool toLunar;
    };
    const Case cases[] = {
        {fileTime(2004, 9, 28), fileTime(2004, 8, 15), true},
        {fileTime(2004, 9, 28, 23, 59, 59, 999), fileTime(2004, 8, 15), true},
        {fileTime(2004, 3, 21, 0, 30), fileTime(2004, 2, 1), true},
        {fileTime(1881, 1, 30, 12), fileTime(1881, 1, 1), true},
        {fileTime(2004, 8, 15), fileTime(2004, 9, 28), false},
        {fileTime(2004, 8, 15, 23, 59, 59, 999), fileTime(2004, 9, 28), false},
        {fileTime(2006, 1, 1, 9), fileTime(2006, 1, 29), false},
        {fileTime(2043, 12, 30, 1), fileTime(2044, 1, 29), false},
    };
    for (const Case& c : cases) {
        FILETIME ft = c.in;
        ASSERT_EQ(c.toLunar ? FromSunToMoon(ft) : FromMoonToSun(ft), 1) << ZuFileTimeToU64(c.in);
        EXPECT_EQ(ZuFileTimeToU64(ft), ZuFileTimeToU64(c.out)) << ZuFileTimeToU64(c.in);
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, LunarFileTime, ::testing::Values("Asia/Seoul", "America/Los_Angeles"),
    [](const auto& info) { return std::string(info.param).substr(0, std::string(info.param).find('/')); });
