// COleDateTime and COleDateTimeSpan: impossible dates, the negative-DATE quirk, arithmetic over
// month, year and leap boundaries, status rules, Format, and SYSTEMTIME / FILETIME round trips
// without any time-zone shift.
#include "filetime.h"
#include "oledatetime.h"
#include "testtime.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

struct ClockGuard {
    ~ClockGuard() { ZuSetClock({}); }
};

using zutest::st;

std::string str(const CString& s)
{
    return s.toUtf8();
}

std::string text(const COleDateTime& d)
{
    return str(d.Format());
}

TEST(OleDateTime, DefaultAndFields)
{
    const COleDateTime zero;
    EXPECT_EQ(zero.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(zero.m_dt, 0.0);
    EXPECT_EQ(text(zero), "1899-12-30 00:00:00");

    const COleDateTime d(2021, 3, 14, 2, 30, 45);
    EXPECT_EQ(d.GetYear(), 2021);
    EXPECT_EQ(d.GetMonth(), 3);
    EXPECT_EQ(d.GetDay(), 14);
    EXPECT_EQ(d.GetHour(), 2);
    EXPECT_EQ(d.GetMinute(), 30);
    EXPECT_EQ(d.GetSecond(), 45);
    EXPECT_EQ(d.GetDayOfWeek(), 1);  // Sunday
    EXPECT_EQ(d.GetDayOfYear(), 73);
    EXPECT_DOUBLE_EQ(COleDateTime(2000, 1, 1, 12, 0, 0).m_dt, 36526.5);
    EXPECT_EQ(COleDateTime(36526.75).Format(), CString(L"2000-01-01 18:00:00"));
}

TEST(OleDateTime, DayOfWeekAndYearAgreeWithQt)
{
    for (QDate q(100, 1, 1); q <= QDate(9999, 12, 31); q = q.addDays(11)) {
        const COleDateTime d(q.year(), q.month(), q.day(), 13, 0, 0);
        ASSERT_EQ(d.GetDayOfWeek(), q.dayOfWeek() % 7 + 1) << q.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(d.GetDayOfYear(), q.dayOfYear());
        ASSERT_EQ(d.GetYear(), q.year());
        ASSERT_EQ(d.GetMonth(), q.month());
        ASSERT_EQ(d.GetDay(), q.day());
    }
}

TEST(OleDateTime, ImpossibleDatesAreInvalid)
{
    struct Case {
        int y, mo, d, h, mi, s;
    };
    const Case invalid[] = {
        {2021, 2, 29, 0, 0, 0}, {2020, 2, 30, 0, 0, 0}, {1900, 2, 29, 0, 0, 0}, {2021, 4, 31, 0, 0, 0},
        {2021, 13, 1, 0, 0, 0}, {2021, 0, 1, 0, 0, 0},  {2021, 1, 0, 0, 0, 0},  {2021, 1, 1, 24, 0, 0},
        {2021, 1, 1, 25, 0, 0}, {2021, 1, 1, 0, 60, 0}, {2021, 1, 1, 0, 0, 60}, {2021, 1, 1, -1, 0, 0},
        {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0}, {-5, 1, 1, 0, 0, 0},    {2021, -1, -1, 0, 0, 0},
    };
    for (const Case& c : invalid) {
        COleDateTime d(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << c.y << "-" << c.mo << "-" << c.d << " " << c.h;
        EXPECT_EQ(d.GetYear(), AFX_OLE_DATETIME_ERROR);
        EXPECT_EQ(d.GetDayOfWeek(), AFX_OLE_DATETIME_ERROR);
        EXPECT_EQ(str(d.Format()), "Invalid DateTime");
        SYSTEMTIME out = st(2000, 1, 1);
        EXPECT_FALSE(d.GetAsSystemTime(out));
        EXPECT_EQ(out.wYear, 2000);
    }
    const Case valid[] = {
        {2020, 2, 29, 0, 0, 0}, {2000, 2, 29, 0, 0, 0},    {2021, 4, 30, 23, 59, 59},
        {100, 1, 1, 0, 0, 0},   {9999, 12, 31, 23, 59, 59}, {1899, 12, 30, 0, 0, 0},
    };
    for (const Case& c : valid) {
        const COleDateTime d(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(d.GetStatus(), COleDateTime::valid) << c.y << "-" << c.mo << "-" << c.d;
        EXPECT_EQ(d.GetYear(), c.y);
        EXPECT_EQ(d.GetSecond(), c.s);
    }

    // Set* report the outcome and an invalid value recovers on the next good set.
    COleDateTime d;
    EXPECT_NE(d.SetDate(2021, 2, 29), 0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(d.SetDate(2021, 2, 28), 0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
    EXPECT_NE(d.SetTime(24, 0, 0), 0);
    EXPECT_EQ(d.SetTime(18, 0, 0), 0);
    EXPECT_DOUBLE_EQ(d.m_dt, 0.75);

    // DATE values out of range or not numbers, and SYSTEMTIMEs with bad fields.
    for (double bad : {-657435.0, 2958466.0, 1e300, double(NAN), double(INFINITY)})
        EXPECT_EQ(COleDateTime(bad).GetStatus(), COleDateTime::invalid) << bad;
    EXPECT_EQ(COleDateTime(-657434.0).GetYear(), 100);
    EXPECT_EQ(COleDateTime(2958465.5).GetYear(), 9999);
    EXPECT_EQ(COleDateTime(st(2021, 2, 29)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(st(2021, 2, 1, 0, 0, 0, 1000)).GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTime, NegativeDatesCountTimeForward)
{
    // The integer part counts days back from 1899-12-30, the fraction counts time from midnight.
    EXPECT_EQ(text(COleDateTime(-1.25)), "1899-12-29 06:00:00");
    EXPECT_EQ(text(COleDateTime(-1.75)), "1899-12-29 18:00:00");
    EXPECT_EQ(text(COleDateTime(-0.25)), "1899-12-30 06:00:00");
    EXPECT_EQ(COleDateTime(-0.25), COleDateTime(0.25));
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
    EXPECT_DOUBLE_EQ(COleDateTime(1800, 1, 1, 12, 0, 0).m_dt, -36522.5);
    EXPECT_DOUBLE_EQ(COleDateTime(100, 1, 1, 0, 0, 0).m_dt, -657434.0);

    // Ordering follows time, not the raw DATE value: -1.75 (18:00) is after -1.25 (06:00).
    EXPECT_LT(COleDateTime(-1.25), COleDateTime(-1.75));
    EXPECT_LT(COleDateTime(-1.75), COleDateTime(0.0));

    // Arithmetic across 1899-12-30 walks through the quirk.
    const COleDateTime evening = COleDateTime() - COleDateTimeSpan(0.25);
    EXPECT_EQ(text(evening), "1899-12-29 18:00:00");
    EXPECT_DOUBLE_EQ(evening.m_dt, -1.75);
    const COleDateTime morning = evening + COleDateTimeSpan(0, 12, 0, 0);
    EXPECT_DOUBLE_EQ(morning.m_dt, 0.25);
    EXPECT_DOUBLE_EQ((COleDateTime(-1.25) - COleDateTime(0.25)).m_span, -1.0);
    EXPECT_DOUBLE_EQ((COleDateTime(1899, 12, 30, 6, 0, 0) - COleDateTime(-2.5)).m_span, 1.75);
}

TEST(OleDateTime, ArithmeticAcrossBoundaries)
{
    struct Case {
        COleDateTime start;
        COleDateTimeSpan span;
        const char* expected;
    };
    const Case cases[] = {
        {COleDateTime(2021, 1, 31, 10, 0, 0), COleDateTimeSpan(1.0), "2021-02-01 10:00:00"},
        {COleDateTime(2020, 2, 28, 0, 0, 0), COleDateTimeSpan(1.0), "2020-02-29 00:00:00"},
        {COleDateTime(2021, 2, 28, 0, 0, 0), COleDateTimeSpan(1.0), "2021-03-01 00:00:00"},
        {COleDateTime(2000, 2, 28, 0, 0, 0), COleDateTimeSpan(1.0), "2000-02-29 00:00:00"},
        {COleDateTime(2100, 2, 28, 0, 0, 0), COleDateTimeSpan(1.0), "2100-03-01 00:00:00"},
        {COleDateTime(1900, 2, 28, 0, 0, 0), COleDateTimeSpan(1.0), "1900-03-01 00:00:00"},
        {COleDateTime(2020, 12, 31, 23, 0, 0), COleDateTimeSpan(0, 2, 0, 0), "2021-01-01 01:00:00"},
        {COleDateTime(2021, 1, 1, 0, 0, 0), COleDateTimeSpan(0, 0, 0, -1), "2020-12-31 23:59:59"},
        {COleDateTime(2020, 3, 1, 0, 0, 0), COleDateTimeSpan(-1.0), "2020-02-29 00:00:00"},
        {COleDateTime(2020, 1, 1, 0, 0, 0), COleDateTimeSpan(366, 0, 0, 0), "2021-01-01 00:00:00"},
        {COleDateTime(2021, 3, 14, 9, 0, 0), COleDateTimeSpan(0, 0, 90, 0), "2021-03-14 10:30:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(c.start + c.span), c.expected) << text(c.start);

    // Many small steps stay on the second: 24 hours one at a time is a day.
    COleDateTime d(2021, 3, 13, 0, 0, 0);
    for (int i = 0; i < 24 * 365; ++i)
        d += COleDateTimeSpan(1.0 / 24);
    EXPECT_EQ(d, COleDateTime(2022, 3, 13, 0, 0, 0));
    d -= COleDateTimeSpan(365.0);
    EXPECT_EQ(d, COleDateTime(2021, 3, 13, 0, 0, 0));

    EXPECT_DOUBLE_EQ((COleDateTime(2020, 3, 1, 0, 0, 0) - COleDateTime(2020, 2, 1, 0, 0, 0)).m_span, 29.0);
    EXPECT_DOUBLE_EQ((COleDateTime(2021, 3, 1, 0, 0, 0) - COleDateTime(2021, 2, 1, 0, 0, 0)).m_span, 28.0);
    EXPECT_DOUBLE_EQ((COleDateTime(2021, 1, 1, 0, 0, 0) - COleDateTime(2021, 1, 1, 6, 0, 0)).m_span, -0.25);

    // Leaving 100..9999 gives invalid.
    EXPECT_EQ((COleDateTime(9999, 12, 31, 23, 59, 59) + COleDateTimeSpan(0, 0, 0, 1)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((COleDateTime(100, 1, 1, 0, 0, 0) - COleDateTimeSpan(0, 0, 0, 1)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((COleDateTime(2021, 1, 1, 0, 0, 0) + COleDateTimeSpan(1e7)).GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTime, StatusRules)
{
    COleDateTime valid(2021, 1, 1, 0, 0, 0);
    COleDateTime invalid(2021, 2, 30, 0, 0, 0);
    COleDateTime null;
    null.SetStatus(COleDateTime::null);
    COleDateTimeSpan day(1.0);
    COleDateTimeSpan badSpan(1.0);
    badSpan.SetStatus(COleDateTimeSpan::invalid);
    COleDateTimeSpan nullSpan;
    nullSpan.SetStatus(COleDateTimeSpan::null);

    EXPECT_EQ((valid + day).GetStatus(), COleDateTime::valid);
    EXPECT_EQ((invalid + day).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((valid + badSpan).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((valid - badSpan).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((null + day).GetStatus(), COleDateTime::null);
    EXPECT_EQ((valid + nullSpan).GetStatus(), COleDateTime::null);
    EXPECT_EQ((invalid + nullSpan).GetStatus(), COleDateTime::null) << "null wins over invalid";
    EXPECT_EQ((valid - invalid).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((invalid - null).GetStatus(), COleDateTimeSpan::null);
    EXPECT_EQ((day + badSpan).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((badSpan + nullSpan).GetStatus(), COleDateTimeSpan::null);
    EXPECT_EQ((-nullSpan).GetStatus(), COleDateTimeSpan::null);
    EXPECT_EQ((day / 0.0).GetStatus(), COleDateTimeSpan::invalid);

    EXPECT_EQ(str(null.Format()), "");
    EXPECT_EQ(null.GetHour(), AFX_OLE_DATETIME_ERROR);
    FILETIME ft;
    EXPECT_FALSE(null.GetAsFileTime(ft));

    // A valid status over a DATE poked out of range still refuses to break down.
    COleDateTime poked;
    poked.m_dt = 1e9;
    EXPECT_EQ(poked.GetYear(), AFX_OLE_DATETIME_ERROR);

    // Ordering needs two valid sides; equality needs equal statuses.
    EXPECT_FALSE(valid < invalid);
    EXPECT_FALSE(invalid < valid);
    EXPECT_FALSE(invalid <= invalid);
    EXPECT_TRUE(invalid == COleDateTime(2021, 13, 1, 0, 0, 0));
    EXPECT_TRUE(valid != invalid);
    EXPECT_TRUE(null != invalid);
    EXPECT_TRUE(valid <= valid);
    EXPECT_TRUE(valid < valid + day);
    EXPECT_TRUE(valid + day >= valid);
}

TEST(OleDateTime, RoundsToSecondWhenBreakingDown)
{
    const COleDateTime late(st(2021, 12, 31, 23, 59, 59, 600));
    EXPECT_EQ(text(late), "2022-01-01 00:00:00");
    EXPECT_EQ(late.GetDayOfYear(), 1);
    // ... while the conversions keep the milliseconds.
    SYSTEMTIME out;
    ASSERT_TRUE(late.GetAsSystemTime(out));
    EXPECT_EQ(out.wYear, 2021);
    EXPECT_EQ(out.wSecond, 59);
    EXPECT_EQ(out.wMilliseconds, 600);
    EXPECT_EQ(text(COleDateTime(st(2021, 12, 31, 23, 59, 59, 499))), "2021-12-31 23:59:59");
    EXPECT_NE(late, COleDateTime(2022, 1, 1, 0, 0, 0)) << "comparison sees the milliseconds";
    // The last half second of 9999 would round past the range.
    EXPECT_EQ(COleDateTime(st(9999, 12, 31, 23, 59, 59, 499)).GetStatus(), COleDateTime::valid);
    EXPECT_EQ(COleDateTime(st(9999, 12, 31, 23, 59, 59, 500)).GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTime, SystemTimeAndFileTimeRoundTripsWithoutZoneShift)
{
    // The test process runs in Seoul (+9); none of this may move by nine hours.
    const SYSTEMTIME cases[] = {
        st(2021, 3, 14, 2, 30, 0, 123), st(1601, 1, 1), st(4501, 1, 1), st(9999, 12, 31, 23, 59, 59, 499),
        st(2000, 2, 29, 12, 0, 0, 999), st(1969, 12, 31, 23, 59, 59, 1),
    };
    for (const SYSTEMTIME& in : cases) {
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&in, &ft));
        const COleDateTime fromSt(in);
        const COleDateTime fromFt(ft);
        EXPECT_EQ(fromSt, fromFt);
        FILETIME back;
        ASSERT_TRUE(fromFt.GetAsFileTime(back));
        EXPECT_EQ(ZuFileTimeToU64(back), ZuFileTimeToU64(ft)) << in.wYear;
        SYSTEMTIME backSt;
        ASSERT_TRUE(fromFt.GetAsSystemTime(backSt));
        SYSTEMTIME withDow;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &withDow));
        EXPECT_EQ(backSt.wYear, in.wYear);
        EXPECT_EQ(backSt.wMonth, in.wMonth);
        EXPECT_EQ(backSt.wDay, in.wDay);
        EXPECT_EQ(backSt.wHour, in.wHour);
        EXPECT_EQ(backSt.wMinute, in.wMinute);
        EXPECT_EQ(backSt.wSecond, in.wSecond);
        EXPECT_EQ(backSt.wMilliseconds, in.wMilliseconds);
        EXPECT_EQ(backSt.wDayOfWeek, withDow.wDayOfWeek);
    }
    EXPECT_EQ(text(COleDateTime(ZuU64ToFileTime(ZU_NO_DATE_FILETIME))), "4501-01-01 00:00:00");
    FILETIME spring;
    const SYSTEMTIME springSt = st(2021, 3, 14, 2, 30);
    ASSERT_TRUE(SystemTimeToFileTime(&springSt, &spring));
    EXPECT_EQ(text(COleDateTime(spring)), "2021-03-14 02:30:00");

    // Ticks below a millisecond are dropped, as FileTimeToSystemTime drops them.
    COleDateTime d;
    d = ZuU64ToFileTime(ZU_NO_DATE_FILETIME + 9999);
    FILETIME back;
    ASSERT_TRUE(d.GetAsFileTime(back));
    EXPECT_EQ(ZuFileTimeToU64(back), ZU_NO_DATE_FILETIME);

    // FILETIMEs the type cannot hold, and dates a FILETIME cannot hold.
    EXPECT_EQ(COleDateTime(ZuU64ToFileTime(0x8000000000000000ULL)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(ZuU64ToFileTime(0x7FFFFFFFFFFFFFFFULL)).GetStatus(), COleDateTime::invalid);
    FILETIME untouched = ZuU64ToFileTime(42);
    EXPECT_FALSE(COleDateTime(1600, 12, 31, 23, 59, 59).GetAsFileTime(untouched));
    EXPECT_EQ(ZuFileTimeToU64(untouched), 42u);
    SYSTEMTIME early;
    ASSERT_TRUE(COleDateTime(100, 1, 1, 0, 0, 0).GetAsSystemTime(early));
    EXPECT_EQ(early.wYear, 100);
}

TEST(OleDateTime, CurrentTimeIsLocal)
{
    ClockGuard restore;
    SYSTEMTIME utc = st(2021, 12, 31, 20, 15, 30, 250);
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &ft));
    ZuSetFixedClock(ft);
    const COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(text(now), "2022-01-01 05:15:30");  // the tests run in Seoul, +9
    SYSTEMTIME out;
    ASSERT_TRUE(now.GetAsSystemTime(out));
    EXPECT_EQ(out.wMilliseconds, 250);
}

TEST(OleDateTime, Format)
{
    const COleDateTime pm(2021, 3, 7, 14, 5, 9);
    const COleDateTime midnight(2009, 12, 1, 0, 30, 0);
    struct Case {
        const COleDateTime& d;
        const wchar_t* format;
        const char* expected;
    };
    const Case cases[] = {
        {pm, L"%Y/%m/%d %H:%M:%S", "2021/03/07 14:05:09"},
        {pm, L"%y %j %I%p", "21 066 02PM"},
        {pm, L"%A %a %B %b", "Sunday Sun March Mar"},
        {pm, L"%#m/%#d %#H:%M", "3/7 14:05"},
        {pm, L"100%% %q %", "100% %q %"},
        {pm, L"%#", "%#"},
        {pm, L"", ""},
        {midnight, L"%I:%M %p %a %b", "12:30 AM Tue Dec"},
        {midnight, L"%y", "09"},
        {COleDateTime(100, 1, 1, 0, 0, 0), L"%Y %y %j", "0100 00 001"},
        {COleDateTime(2020, 12, 31, 12, 0, 0), L"%j %I %p", "366 12 PM"},
        {COleDateTime(2021, 1, 1, 0, 0, 0), L"%Y년 %#m월 %#d일", "2021년 1월 1일"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(c.d.Format(c.format)), c.expected) << str(CString(c.format));
    EXPECT_EQ(str(pm.Format(nullptr)), "");
}

TEST(OleDateTimeSpan, PartsAndTotals)
{
    struct Case {
        COleDateTimeSpan span;
        long days, hours, minutes, seconds;
        double totalDays, totalHours, totalMinutes, totalSeconds;
    };
    const Case cases[] = {
        {COleDateTimeSpan(1, 12, 0, 0), 1, 12, 0, 0, 1, 36, 2160, 129600},
        {COleDateTimeSpan(-1.5), -1, -12, 0, 0, -1, -36, -2160, -129600},
        {COleDateTimeSpan(0, 25, 61, 61), 1, 2, 2, 1, 1, 26, 1562, 93721},
        {COleDateTimeSpan(0, 0, 0, -90), 0, 0, -1, -30, 0, 0, -1, -90},
        {COleDateTimeSpan(0.4999 / 86400), 0, 0, 0, 0, 0, 0, 0, 0},
        {COleDateTimeSpan(59.6 / 86400), 0, 0, 1, 0, 0, 0, 1, 60},
        {COleDateTimeSpan(-59.6 / 86400), 0, 0, -1, 0, 0, 0, -1, -60},
        {COleDateTimeSpan(1.0 / 24 + 1.0 / 24 + 1.0 / 24), 0, 3, 0, 0, 0, 3, 180, 10800},
    };
    for (const Case& c : cases) {
        const COleDateTimeSpan& s = c.span;
        EXPECT_EQ(s.GetStatus(), COleDateTimeSpan::valid);
        EXPECT_EQ(s.GetDays(), c.days) << s.m_span;
        EXPECT_EQ(s.GetHours(), c.hours) << s.m_span;
        EXPECT_EQ(s.GetMinutes(), c.minutes) << s.m_span;
        EXPECT_EQ(s.GetSeconds(), c.seconds) << s.m_span;
        EXPECT_EQ(s.GetTotalDays(), c.totalDays) << s.m_span;
        EXPECT_EQ(s.GetTotalHours(), c.totalHours) << s.m_span;
        EXPECT_EQ(s.GetTotalMinutes(), c.totalMinutes) << s.m_span;
        EXPECT_EQ(s.GetTotalSeconds(), c.totalSeconds) << s.m_span;
    }
    COleDateTimeSpan bad(1.0);
    bad.SetStatus(COleDateTimeSpan::invalid);
    EXPECT_EQ(bad.GetDays(), 0);
    EXPECT_EQ(bad.GetTotalSeconds(), 0.0);
}

TEST(OleDateTimeSpan, Operators)
{
    const COleDateTimeSpan hour(0, 1, 0, 0);
    EXPECT_EQ(hour * 24, COleDateTimeSpan(1.0));
    EXPECT_EQ(COleDateTimeSpan(1.0) / 24, hour);
    EXPECT_EQ(hour + hour, COleDateTimeSpan(0, 2, 0, 0));
    EXPECT_EQ(hour - hour * 3, -(hour * 2));
    EXPECT_EQ(COleDateTimeSpan(1.0 / 24 + 1.0 / 24), COleDateTimeSpan(2.0 / 24)) << "compared to the millisecond";
    EXPECT_LT(-hour, hour);
    EXPECT_GT(hour * 2, hour);
    EXPECT_LE(hour, hour);
    EXPECT_GE(hour, hour);
    COleDateTimeSpan s = hour;
    s += hour;
    s *= 3;
    s /= 2;
    s -= hour;
    EXPECT_EQ(s, COleDateTimeSpan(0, 2, 0, 0));

    // Spans past the width of the date range are invalid, also when made by arithmetic.
    EXPECT_EQ(COleDateTimeSpan(COleDateTimeSpan::kMaxDays).GetStatus(), COleDateTimeSpan::valid);
    EXPECT_EQ(COleDateTimeSpan(COleDateTimeSpan::kMaxDays + 1).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((COleDateTimeSpan(3e6) * 2).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ(COleDateTimeSpan(NAN).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((COleDateTime(9999, 12, 31, 23, 59, 59) - COleDateTime(100, 1, 1, 0, 0, 0)).GetStatus(),
              COleDateTimeSpan::valid);
    COleDateTimeSpan set;
    EXPECT_NE(set.SetDateTimeSpan(4000000, 0, 0, 0), 0);
    EXPECT_EQ(set.SetDateTimeSpan(2, -48, 0, 0), 0);
    EXPECT_EQ(set.m_span, 0.0);
}

}  // namespace
