// Date arithmetic: each function against a table of valid and refused inputs, the calendar walks
// against Qt's calendar over four decades, and the two local-time functions in Seoul and across
// New York's daylight-saving changes.
#include "testzone.h"
#include "datetimeutil.h"
#include "filetime.h"
#include "testtime.h"

#include <QDate>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

constexpr ULONGLONG kDay = ZU_TICKS_PER_DAY;
constexpr ULONGLONG kHour = ZU_TICKS_PER_HOUR;
constexpr ULONGLONG kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

using zutest::st;

// Ticks of a wall-clock value, without any zone.
ULONGLONG ticks(int y, int mo, int d, int h = 0, int mi = 0)
{
    const SYSTEMTIME t = st(y, mo, d, h, mi);
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&t, &ft)) << y << "-" << mo << "-" << d;
    return ZuFileTimeToU64(ft);
}
FILETIME ft(int y, int mo, int d, int h = 0, int mi = 0) { return ZuU64ToFileTime(ticks(y, mo, d, h, mi)); }

// Seoul has kept UTC+9 without daylight saving since 1988.
FILETIME kst(int y, int mo, int d, int h = 0, int mi = 0) { return ZuU64ToFileTime(ticks(y, mo, d, h, mi) - 9 * kHour); }

// A value no function may leave in an output it refuses to fill.
constexpr ULONGLONG kSentinel = 0x0123456789ABCDEFULL;
SYSTEMTIME sentinelSt() { return st(1111, 11, 11, 11, 11, 11, 111, 5); }

// Day of week, Sunday = 0, by Qt's calendar.
int qtDow(const QDate& d) { return d.dayOfWeek() % 7; }

::testing::AssertionResult sameDay(const SYSTEMTIME& got, const QDate& want)
{
    if (got.wYear == want.year() && got.wMonth == want.month() && got.wDay == want.day()
        && got.wDayOfWeek == qtDow(want) && got.wHour == 0 && got.wMinute == 0 && got.wSecond == 0
        && got.wMilliseconds == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got.wYear << "-" << got.wMonth << "-" << got.wDay << " "
                                         << got.wHour << ":" << got.wMinute << " dow " << got.wDayOfWeek
                                         << ", want " << want.toString(Qt::ISODate).toStdString()
                                         << " 00:00 dow " << qtDow(want);
}

bool sameSt(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek && a.wDay == b.wDay
        && a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond
        && a.wMilliseconds == b.wMilliseconds;
}

using TzGuard = ZuTzGuard;

TEST(DateTimeLeapYear, GregorianRule)
{
    const struct {
        int year;
        int leap;
    } cases[] = {{1900, 0}, {2000, 1}, {2004, 1}, {2003, 0}, {2100, 0}, {1600, 1}, {0, 1}, {65535, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(IsLeapYear(static_cast<WORD>(c.year)), c.leap) << c.year;
    for (int y = 1601; y <= 3000; ++y)
        ASSERT_EQ(IsLeapYear(static_cast<WORD>(y)), QDate::isLeapYear(y) ? 1 : 0) << y;
}

TEST(DateTimeFileTimeArithmetic, CarryBorrowAndSign)
{
    FILETIME t;
    t.dwLowDateTime = 0xFFFFFFFFu;
    t.dwHighDateTime = 0x00000001u;
    ASSERT_EQ(AddFileTime(&t, 1), 1);  // carry into the high half
    EXPECT_EQ(t.dwLowDateTime, 0u);
    EXPECT_EQ(t.dwHighDateTime, 2u);
    ASSERT_EQ(AddFileTime(&t, -1), 1);  // borrow back out of it
    EXPECT_EQ(t.dwLowDateTime, 0xFFFFFFFFu);
    EXPECT_EQ(t.dwHighDateTime, 1u);
    ASSERT_EQ(AddFileTime(&t, 3 * static_cast<LONGLONG>(kDay)), 1);
    EXPECT_EQ(ZuFileTimeToU64(t), 0x1FFFFFFFFULL + 3 * kDay);
    EXPECT_EQ(AddFileTime(nullptr, 1), 0);

    const FILETIME a = ft(2004, 2, 28);
    const FILETIME b = ft(2004, 3, 1);
    EXPECT_EQ(DiffFileTime(a, b), 2 * static_cast<LONGLONG>(kDay));
    EXPECT_EQ(DiffFileTime(b, a), -2 * static_cast<LONGLONG>(kDay));
    EXPECT_EQ(DiffFileTime(a, a), 0);
    FILETIME lo;
    lo.dwLowDateTime = 0xFFFFFFFFu;
    FILETIME hi;
    hi.dwHighDateTime = 1;
    EXPECT_EQ(DiffFileTime(lo, hi), 1);  // borrow across the halves
    EXPECT_EQ(DiffFileTime(hi, lo), -1);
    EXPECT_EQ(DiffFileTime(ZuU64ToFileTime(0), ZuU64ToFileTime(kMaxFileTime)), static_cast<LONGLONG>(kMaxFileTime));
}

TEST(DateTimeDayDuration, MidnightToLastTick)
{
    const SYSTEMTIME valid[] = {st(2004, 2, 29, 13, 45, 12, 999), st(2003, 12, 31, 23, 59, 59, 999),
                                st(1601, 1, 1), st(30827, 12, 31, 12)};
    for (const auto& d : valid) {
        FILETIME start, end;
        ASSERT_EQ(GetDayDuration(d, &start, &end), 1) << d.wYear;
        EXPECT_EQ(ZuFileTimeToU64(start), ticks(d.wYear, d.wMonth, d.wDay));
        EXPECT_EQ(ZuFileTimeToU64(end) + 1, ZuFileTimeToU64(start) + kDay);  // the next day's start
    }
    FILETIME start;
    EXPECT_EQ(GetDayDuration(st(2004, 2, 29, 8), &start, nullptr), 1);
    EXPECT_EQ(ZuFileTimeToU64(start), ticks(2004, 2, 29));

    const SYSTEMTIME invalid[] = {st(2004, 0, 1), st(2004, 13, 1), st(2004, 1, 0), st(2004, 1, 32),
                                  st(2003, 2, 29), st(0, 1, 1), st(1600, 12, 31)};
    for (const auto& d : invalid) {
        FILETIME s = ZuU64ToFileTime(kSentinel), e = ZuU64ToFileTime(kSentinel);
        EXPECT_EQ(GetDayDuration(d, &s, &e), 0) << d.wYear << "-" << d.wMonth << "-" << d.wDay;
        EXPECT_EQ(ZuFileTimeToU64(s), kSentinel);
        EXPECT_EQ(ZuFileTimeToU64(e), kSentinel);
    }
    FILETIME e = ZuU64ToFileTime(kSentinel);
    EXPECT_EQ(GetDayDuration(st(2004, 1, 1), nullptr, &e), 0);  // start must be given
    EXPECT_EQ(ZuFileTimeToU64(e), kSentinel);
}

TEST(DateTimeWeekDuration, StartsOnTheFirstDayOfWeek)
{
    const struct {
        SYSTEMTIME date;
        WORD firstDayOfWeek;
        QDate start;
    } valid[] = {
        {st(2004, 2, 29, 15, 0, 0, 0, 0), 0, QDate(2004, 2, 29)},  // a Sunday, weeks from Sunday
        {st(2004, 2, 29, 15, 0, 0, 0, 0), 1, QDate(2004, 2, 23)},  // a Sunday, weeks from Monday
        {st(2004, 3, 3, 0, 0, 0, 0, 3), 0, QDate(2004, 2, 29)},    // Wednesday across a month
        {st(2004, 3, 3, 0, 0, 0, 0, 3), 1, QDate(2004, 3, 1)},
        {st(2004, 1, 1, 0, 0, 0, 0, 4), 1, QDate(2003, 12, 29)},   // across a year
        {st(2004, 3, 6, 0, 0, 0, 0, 6), 0, QDate(2004, 2, 29)},    // Saturday ends a Sunday week
        {st(2004, 3, 1, 0, 0, 0, 0, 1), 1, QDate(2004, 3, 1)},     // Monday starts a Monday week
        {st(1601, 1, 1, 0, 0, 0, 0, 1), 1, QDate(1601, 1, 1)},     // the very first day, a Monday
        // The day of week is the caller's: a Wednesday passed as Sunday starts its own week.
        {st(2004, 3, 3, 0, 0, 0, 0, 0), 0, QDate(2004, 3, 3)},
    };
    for (const auto& c : valid) {
        FILETIME start, end;
        ASSERT_EQ(GetWeekDuration(c.date, &start, &end, c.firstDayOfWeek), 1) << c.start.toString().toStdString();
        EXPECT_EQ(ZuFileTimeToU64(start), ticks(c.start.year(), c.start.month(), c.start.day()));
        EXPECT_EQ(ZuFileTimeToU64(end), ZuFileTimeToU64(start) + 7 * kDay - 1);
    }
    FILETIME end;
    ASSERT_EQ(GetWeekDuration(st(2004, 2, 29), nullptr, &end, 1), 1);  // either pointer may be null
    EXPECT_EQ(ZuFileTimeToU64(end), ticks(2004, 3, 1) - 1);
    EXPECT_EQ(GetWeekDuration(st(2004, 2, 29), nullptr, nullptr, 0), 1);

    const struct {
        SYSTEMTIME date;
        WORD firstDayOfWeek;
    } invalid[] = {
        {st(2004, 2, 29), 2},
        {st(2004, 2, 29), 0xFFFF},
        {st(2004, 2, 29, 0, 0, 0, 0, 7), 0},      // no such day of week
        {st(2004, 13, 1, 0, 0, 0, 0, 0), 0},
        {st(2004, 1, 32, 0, 0, 0, 0, 0), 0},
        {st(0, 1, 1, 0, 0, 0, 0, 0), 0},
        {st(1601, 1, 1, 0, 0, 0, 0, 1), 0},       // the Sunday before it is 1600-12-31
        {st(1601, 1, 6, 0, 0, 0, 0, 6), 0},
    };
    for (const auto& c : invalid) {
        FILETIME s = ZuU64ToFileTime(kSentinel), e = ZuU64ToFileTime(kSentinel);
        EXPECT_EQ(GetWeekDuration(c.date, &s, &e, c.firstDayOfWeek), 0) << c.date.wYear << "-" << c.date.wMonth;
        EXPECT_EQ(ZuFileTimeToU64(s), kSentinel);
        EXPECT_EQ(ZuFileTimeToU64(e), kSentinel);
    }
}

TEST(DateTimeMonthDuration, MonthAndSixWeekGrid)
{
    FILETIME start, end;
    ASSERT_EQ(GetMonthDuration(st(2004, 2, 17, 10, 30), &start, &end, 0), 1);
    EXPECT_EQ(ZuFileTimeToU64(start), ticks(2004, 2, 1));
    EXPECT_EQ(ZuFileTimeToU64(end), ticks(2004, 2, 1) + 29 * kDay - 1);
    ASSERT_EQ(GetMonthDuration(st(2004, 2, 17), &start, &end, 1), 1);
    EXPECT_EQ(ZuFileTimeToU64(start), ticks(2004, 2, 1));  // 1 February 2004 is a Sunday
    EXPECT_EQ(ZuFileTimeToU64(end), ticks(2004, 3, 14) - 1);
    // The day field is replaced by the first, so a day out of range does not matter.
    ASSERT_EQ(GetMonthDuration(st(2003, 2, 31), &start, nullptr, 0), 1);
    EXPECT_EQ(ZuFileTimeToU64(start), ticks(2003, 2, 1));
    ASSERT_EQ(GetMonthDuration(st(1601, 1, 15), &start, &end, 0), 1);
    EXPECT_EQ(ZuFileTimeToU64(start), 0u);

    for (int y = 1990; y <= 2030; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const QDate first(y, m, 1);
            ASSERT_EQ(GetMonthDuration(st(y, m, 20), &start, &end, 0), 1);
            EXPECT_EQ(ZuFileTimeToU64(end) + 1 - ZuFileTimeToU64(start), first.daysInMonth() * kDay) << y << "-" << m;
            ASSERT_EQ(GetMonthDuration(st(y, m, 20), &start, &end, 1), 1);
            const QDate gridStart = QDate(1601, 1, 1).addDays(static_cast<qint64>(ZuFileTimeToU64(start) / kDay));
            EXPECT_EQ(ZuFileTimeToU64(start) % kDay, 0u);
            EXPECT_EQ(qtDow(gridStart), 0) << y << "-" << m;
            EXPECT_TRUE(gridStart <= first && first < gridStart.addDays(7)) << y << "-" << m;
            EXPECT_EQ(ZuFileTimeToU64(end) + 1 - ZuFileTimeToU64(start), 42 * kDay);
        }
    }

    const struct {
        SYSTEMTIME date;
        int grid;
    } invalid[] = {{st(2004, 0, 1), 0}, {st(2004, 13, 1), 1}, {st(0, 6, 1), 0}, {st(1600, 12, 1), 1},
                   {st(30828, 1, 1), 0}, {st(1601, 1, 1), 1}};  // the grid would start on 1600-12-31
    for (const auto& c : invalid) {
        FILETIME s = ZuU64ToFileTime(kSentinel), e = ZuU64ToFileTime(kSentinel);
        EXPECT_EQ(GetMonthDuration(c.date, &s, &e, c.grid), 0) << c.date.wYear << "-" << c.date.wMonth;
        EXPECT_EQ(ZuFileTimeToU64(s), kSentinel);
        EXPECT_EQ(ZuFileTimeToU64(e), kSentinel);
    }
}

TEST(DateTimeNextNDay, StepsKeepTheTimeOfDay)
{
    const struct {
        SYSTEMTIME date;
        int n;
        int forward;
        SYSTEMTIME want;
    } valid[] = {
        {st(2004, 2, 28, 13, 45, 30, 250), 1, 1, st(2004, 2, 29, 13, 45, 30, 250, 0)},
        {st(2004, 2, 28, 13, 45, 30, 250), 2, 1, st(2004, 3, 1, 13, 45, 30, 250, 1)},
        {st(2003, 2, 28, 23, 59), 1, 1, st(2003, 3, 1, 23, 59, 0, 0, 6)},
        {st(2004, 1, 1, 6), 1, 0, st(2003, 12, 31, 6, 0, 0, 0, 3)},
        {st(2004, 1, 1, 6), -1, 1, st(2003, 12, 31, 6, 0, 0, 0, 3)},  // negative n moves back
        {st(2004, 1, 1, 6), -366, 0, st(2005, 1, 1, 6, 0, 0, 0, 6)},
        {st(2004, 3, 15, 0, 0, 0, 0, 4), 0, 1, st(2004, 3, 15, 0, 0, 0, 0, 1)},  // day of week corrected
        {st(1601, 1, 2), 1, 0, st(1601, 1, 1, 0, 0, 0, 0, 1)},
    };
    for (const auto& c : valid) {
        SYSTEMTIME out = sentinelSt();
        ASSERT_EQ(GetNextNDay(c.date, &out, c.n, c.forward), 1) << c.date.wYear << "-" << c.date.wMonth << " " << c.n;
        EXPECT_TRUE(sameSt(out, c.want)) << out.wYear << "-" << out.wMonth << "-" << out.wDay << " dow " << out.wDayOfWeek;
    }

    const struct {
        SYSTEMTIME date;
        int n;
        int forward;
    } invalid[] = {
        {st(2004, 13, 1), 1, 1}, {st(2004, 0, 1), 1, 1},     {st(2003, 2, 29), 1, 1},
        {st(0, 1, 1), 1, 1},     {st(2004, 1, 1, 24), 1, 1}, {st(1601, 1, 1), 1, 0},  // before 1601
        {st(2004, 1, 1), INT_MAX, 1}, {st(2004, 1, 1), INT_MIN, 1}, {st(2004, 1, 1), INT_MIN, 0},
    };
    for (const auto& c : invalid) {
        SYSTEMTIME out = sentinelSt();
        EXPECT_EQ(GetNextNDay(c.date, &out, c.n, c.forward), 0) << c.date.wYear << "-" << c.date.wMonth << " " << c.n;
        EXPECT_TRUE(sameSt(out, sentinelSt()));
    }
    EXPECT_EQ(GetNextNDay(st(2004, 1, 1), nullptr, 1, 1), 0);
}

TEST(DateTimeNextMonth, ClampsTheDay)
{
    const struct {
        SYSTEMTIME date;
        int forward;
        QDate want;
    } valid[] = {
        {st(2004, 1, 31, 9, 30), 1, QDate(2004, 2, 29)},
        {st(2003, 3, 31), 0, QDate(2003, 2, 28)},
        {st(2003, 12, 31, 23, 59, 59, 999), 1, QDate(2004, 1, 31)},
        {st(2004, 3, 30), 0, QDate(2004, 2, 29)},
        {st(2004, 1, 31), 0, QDate(2003, 12, 31)},
        {st(2004, 5, 31), 1, QDate(2004, 6, 30)},
        {st(2004, 6, 15), 1, QDate(2004, 7, 15)},
    };
    for (const auto& c : valid) {
        SYSTEMTIME out;
        ASSERT_EQ(GetNextMonth(c.date, &out, c.forward), 1) << c.want.toString().toStdString();
        EXPECT_TRUE(sameDay(out, c.want));
    }
    // Qt's month step clamps the same way.
    for (QDate d(1999, 1, 1); d <= QDate(2005, 12, 31); d = d.addDays(1)) {
        SYSTEMTIME out;
        ASSERT_EQ(GetNextMonth(st(d.year(), d.month(), d.day()), &out, 1), 1);
        ASSERT_TRUE(sameDay(out, d.addMonths(1))) << d.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(GetNextMonth(st(d.year(), d.month(), d.day()), &out, 0), 1);
        ASSERT_TRUE(sameDay(out, d.addMonths(-1))) << d.toString(Qt::ISODate).toStdString();
    }

    const struct {
        SYSTEMTIME date;
        int forward;
    } invalid[] = {{st(2004, 0, 15), 1},  {st(2004, 13, 15), 0}, {st(2004, 1, 0), 1},   {st(2004, 1, 32), 1},
                   {st(2003, 2, 30), 0},  {st(0, 5, 1), 1},      {st(30827, 12, 1), 1}, {st(1601, 1, 31), 0}};
    for (const auto& c : invalid) {
        SYSTEMTIME out = sentinelSt();
        EXPECT_EQ(GetNextMonth(c.date, &out, c.forward), 0) << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
        EXPECT_TRUE(sameSt(out, sentinelSt()));
    }
    EXPECT_EQ(GetNextMonth(st(2004, 1, 1), nullptr, 1), 0);
}

TEST(DateTimeNextYear, ClampsTheLeapDay)
{
    const struct {
        SYSTEMTIME date;
        int forward;
        QDate want;
    } valid[] = {
        {st(2004, 2, 29, 18), 1, QDate(2005, 2, 28)},
        {st(2004, 2, 29), 0, QDate(2003, 2, 28)},
        {st(2003, 2, 28), 1, QDate(2004, 2, 28)},
        {st(2003, 12, 31, 12), 1, QDate(2004, 12, 31)},
        {st(1602, 1, 1), 0, QDate(1601, 1, 1)},
        {st(30826, 12, 31), 1, QDate(30827, 12, 31)},
    };
    for (const auto& c : valid) {
        SYSTEMTIME out;
        ASSERT_EQ(GetNextYear(c.date, &out, c.forward), 1) << c.want.toString().toStdString();
        EXPECT_TRUE(sameDay(out, c.want));
    }

    const struct {
        SYSTEMTIME date;
        int forward;
    } invalid[] = {{st(2004, 0, 1), 1},    {st(2004, 13, 1), 0}, {st(2004, 6, 0), 1},    {st(2004, 6, 31), 1},
                   {st(2003, 2, 29), 1},   {st(0, 1, 1), 1},     {st(30827, 1, 1), 1},   {st(1601, 6, 1), 0}};
    for (const auto& c : invalid) {
        SYSTEMTIME out = sentinelSt();
        EXPECT_EQ(GetNextYear(c.date, &out, c.forward), 0) << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
        EXPECT_TRUE(sameSt(out, sentinelSt()));
    }
    EXPECT_EQ(GetNextYear(st(2004, 1, 1), nullptr, 1), 0);
}

TEST(DateTimeNthDayOfWeek, WeekdaysOfAMonth)
{
    const struct {
        int year, month, nth, mask, day;
        const char* what;
    } valid[] = {
        {2022, 6, 5, ZU_MASK_FRIDAY, 24, "last Friday, first on the 3rd, 30 days: 3 + 28 does not fit"},
        {2023, 3, 5, ZU_MASK_FRIDAY, 31, "last Friday, first on the 3rd, 31 days"},
        {2022, 6, 1, ZU_MASK_FRIDAY, 3, "first Friday"},
        {2022, 6, 4, ZU_MASK_FRIDAY, 24, "fourth Friday"},
        {2004, 2, 5, ZU_MASK_SUNDAY, 29, "last Sunday of a leap February"},
        {2003, 2, 5, ZU_MASK_SATURDAY, 22, "last Saturday of a common February"},
        {2003, 2, 1, ZU_MASK_SATURDAY, 1, "the first itself"},
        {2003, 2, 1, ZU_MASK_SUNDAY, 2, "Saturday wraps to Sunday"},
        {2022, 6, 1, ZU_MASK_MONDAY | ZU_MASK_FRIDAY, 3, "several days: the first match"},
        {2022, 6, 2, ZU_MASK_MONDAY | ZU_MASK_FRIDAY, 10, "several days: whole weeks from it, not the Monday 6th"},
        {2022, 6, 1, ZU_MASK_WEDNESDAY | ZU_MASK_FRIDAY, 1, "several days, the first matches"},
    };
    for (const auto& c : valid) {
        SYSTEMTIME out = sentinelSt();
        ASSERT_EQ(GetNthDayOfWeek(&out, static_cast<WORD>(c.year), static_cast<WORD>(c.month), static_cast<WORD>(c.nth),
                                  static_cast<WORD>(c.mask)),
                  1)
            << c.what;
        const QDate first(c.year, c.month, 1);
        // Only the day is the found one: the day of week stays the first's.
        EXPECT_TRUE(sameSt(out, st(c.year, c.month, c.day, 0, 0, 0, 0, qtDow(first)))) << c.what << ": day " << out.wDay
                                                                                        << " dow " << out.wDayOfWeek;
    }
    // Single days against a count over Qt's calendar: nth 5 is the last one.
    for (int y = 1990; y <= 2030; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const QDate first(y, m, 1);
            for (int dow = 0; dow < 7; ++dow) {
                int days[5] = {};
                int count = 0;
                for (QDate d = first; d.month() == m; d = d.addDays(1))
                    if (qtDow(d) == dow)
                        days[count++] = d.day();
                for (int nth = 1; nth <= 5; ++nth) {
                    SYSTEMTIME out;
                    ASSERT_EQ(GetNthDayOfWeek(&out, static_cast<WORD>(y), static_cast<WORD>(m), static_cast<WORD>(nth),
                                              static_cast<WORD>(1 << dow)),
                              1);
                    ASSERT_EQ(out.wDay, nth == 5 ? days[count - 1] : days[nth - 1]) << y << "-" << m << " " << nth << "/" << dow;
                }
            }
        }
    }

    const struct {
        int year, month, nth, mask;
    } invalid[] = {
        // 65 (Sunday and Saturday) and 127 name real days but lie above 64.
        {2004, 2, 1, 0},   {2004, 2, 1, 127}, {2004, 2, 1, 65}, {2004, 2, 1, 128}, {2004, 2, 1, 0x8001},
        {2004, 2, 0, 1},   {2004, 2, 6, 1},   {2004, 0, 1, 1},  {2004, 13, 1, 1},  {0, 2, 1, 1},
        {1600, 12, 1, 1},  {30828, 1, 1, 1},
    };
    for (const auto& c : invalid) {
        SYSTEMTIME out = sentinelSt();
        EXPECT_EQ(GetNthDayOfWeek(&out, static_cast<WORD>(c.year), static_cast<WORD>(c.month), static_cast<WORD>(c.nth),
                                  static_cast<WORD>(c.mask)),
                  0)
            << c.year << "-" << c.month << " nth " << c.nth << " mask " << c.mask;
        EXPECT_TRUE(sameSt(out, sentinelSt()));
    }
    EXPECT_EQ(GetNthDayOfWeek(nullptr, 2004, 2, 1, 1), 0);
}

TEST(DateTimeNthWeekOfDate, WeekNumbers)
{
    const struct {
        int year, month, day, firstDayOfWeek, week;
    } valid[] = {
        // February 2004 starts on a Sunday: with Sunday weeks, its first day is already week 2.
        {2004, 2, 1, 0, 2}, {2004, 2, 7, 0, 2}, {2004, 2, 8, 0, 3}, {2004, 2, 29, 0, 6},
        // With Monday weeks the Sunday the 1st is week 1 and Monday the 2nd begins week 2.
        {2004, 2, 1, 1, 1}, {2004, 2, 2, 1, 2}, {2004, 2, 8, 1, 2}, {2004, 2, 9, 1, 3},
        // June 2022 starts on a Wednesday; its first Saturday is the 4th.
        {2022, 6, 3, 6, 1}, {2022, 6, 4, 6, 2}, {2022, 6, 30, 6, 5},
    };
    for (const auto& c : valid)
        EXPECT_EQ(GetNthWeekOfDate(static_cast<WORD>(c.year), static_cast<WORD>(c.month), static_cast<WORD>(c.day),
                                   static_cast<WORD>(c.firstDayOfWeek)),
                  c.week)
            << c.year << "-" << c.month << "-" << c.day << " first " << c.firstDayOfWeek;
    // The number goes up by one exactly on each firstDayOfWeek, counted over Qt's calendar.
    for (QDate d(2019, 1, 1); d <= QDate(2021, 12, 31); d = d.addDays(1)) {
        for (int fdw = 0; fdw < 2; ++fdw) {
            int week = 1;
            for (QDate e(d.year(), d.month(), 1); e <= d; e = e.addDays(1))
                week += qtDow(e) == fdw ? 1 : 0;
            ASSERT_EQ(GetNthWeekOfDate(static_cast<WORD>(d.year()), static_cast<WORD>(d.month()),
                                       static_cast<WORD>(d.day()), static_cast<WORD>(fdw)),
                      week)
                << d.toString(Qt::ISODate).toStdString() << " first " << fdw;
        }
    }

    const struct {
        int year, month, day, firstDayOfWeek;
    } invalid[] = {{2004, 2, 1, 7},  {2004, 2, 1, 40},  {2004, 2, 1, 0xFFFF}, {2004, 0, 1, 0}, {2004, 13, 1, 0},
                   {2004, 2, 0, 0},  {2004, 1, 32, 0},  {2003, 2, 29, 0},     {0, 1, 1, 0},    {1600, 1, 1, 0}};
    for (const auto& c : invalid)
        EXPECT_EQ(GetNthWeekOfDate(static_cast<WORD>(c.year), static_cast<WORD>(c.month), static_cast<WORD>(c.day),
                                   static_cast<WORD>(c.firstDayOfWeek)),
                  0)
            << c.year << "-" << c.month << "-" << c.day << " first " << c.firstDayOfWeek;
}

TEST(DateTimeLocalYear, CompareIgnoringTheYear)
{
    const FILETIME bad = ZuU64ToFileTime(0x8000000000000000ULL);
    const struct {
        FILETIME a, b;
        long want;
        const char* what;
    } cases[] = {
        {kst(1999, 3, 1), kst(2004, 2, 28), 1, "1 March is later than 28 February"},
        {kst(2004, 2, 28), kst(1999, 3, 1), -1, "and the other way"},
        {kst(1999, 5, 5, 8), kst(2021, 5, 5, 23, 59), 0, "same day in other years and hours"},
        {kst(2004, 2, 29), kst(2003, 2, 28), 1, "29 February after 28 February"},
        {kst(2004, 2, 29), kst(2003, 3, 1), -1, "29 February before 1 March"},
        {kst(2010, 12, 31), kst(2011, 1, 1), 1, "the year does not count"},
        // 2021-02-28 20:00 UTC is 1 March 05:00 in Seoul.
        {ft(2021, 2, 28, 20), kst(2000, 3, 1), 0, "the local date counts, not the UTC one"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareFileTimeIgnoreYear(&c.a, &c.b), c.want) << c.what;

    // No date sorts first.
    const FILETIME jan1 = kst(2004, 1, 1);
    EXPECT_EQ(CompareFileTimeIgnoreYear(nullptr, &jan1), -1);
    EXPECT_EQ(CompareFileTimeIgnoreYear(&jan1, nullptr), 1);
    EXPECT_EQ(CompareFileTimeIgnoreYear(nullptr, nullptr), 0);
    EXPECT_EQ(CompareFileTimeIgnoreYear(&bad, &jan1), -1);
    EXPECT_EQ(CompareFileTimeIgnoreYear(&jan1, &bad), 1);
    EXPECT_EQ(CompareFileTimeIgnoreYear(&bad, nullptr), 0);
}

TEST(DateTimeLocalYear, MoveIntoTheReferenceYear)
{
    const struct {
        FILETIME time, reference, want;
        const char* what;
    } cases[] = {
        {kst(1975, 5, 20, 15), kst(2024, 8, 1, 9), kst(2024, 5, 20), "local midnight in the reference year"},
        {kst(1996, 2, 29, 7), kst(2023, 6, 1), kst(2023, 2, 28), "29 February in a common year: 28 February"},
        {kst(1996, 2, 29, 7), kst(2024, 6, 1), kst(2024, 2, 29), "29 February in a leap year stays"},
        {kst(2000, 2, 28), kst(2024, 6, 1), kst(2024, 2, 28), "28 February stays in a leap year"},
        // 2020-12-31 16:00 UTC is 1 January 01:00 in Seoul; 2022-12-31 15:30 UTC is already 2023.
        {ft(2020, 12, 31, 16), ft(2022, 12, 31, 15, 30), kst(2023, 1, 1), "local date and local year"},
        {kst(2030, 12, 31, 23, 59), kst(1999, 1, 1), kst(1999, 12, 31), "back into an earlier year"},
    };
    for (const auto& c : cases) {
        FILETIME t = c.time;
        ASSERT_EQ(SetFileTimeCurYear(&t, c.reference), 1) << c.what;
        EXPECT_EQ(ZuFileTimeToU64(t), ZuFileTimeToU64(c.want)) << c.what;
    }

    const struct {
        FILETIME time, reference;
        const char* what;
    } invalid[] = {
        {ZuU64ToFileTime(0x8000000000000000ULL), kst(2024, 1, 1), "time out of range"},
        {kst(2000, 5, 5), ZuU64ToFileTime(0xFFFFFFFFFFFFFFFFULL), "reference out of range"},
        // 30827-12-31 15:00 UTC is already 30828 in Seoul, a year no SYSTEMTIME converts.
        {kst(2000, 5, 5), ft(30827, 12, 31, 15), "reference in 30828, past the last year"},
    };
    for (const auto& c : invalid) {
        FILETIME t = c.time;
        EXPECT_EQ(SetFileTimeCurYear(&t, c.reference), 0) << c.what;
        EXPECT_EQ(ZuFileTimeToU64(t), ZuFileTimeToU64(c.time)) << c.what;
    }
    EXPECT_EQ(SetFileTimeCurYear(nullptr, kst(2024, 1, 1)), 0);
}

TEST(DateTimeLocalYear, NewYorkAcrossDaylightSaving)
{
    // 2021-03-01 03:00 UTC is 28 February 22:00 in New York but 1 March 12:00 in Seoul.
    const FILETIME lateFeb = ft(2021, 3, 1, 3);
    const FILETIME feb28 = ft(2020, 2, 28, 18);
    const FILETIME july4 = ft(2021, 7, 5, 2);  // 4 July 22:00 EDT
    {
        TzGuard zone("America/New_York");
        EXPECT_EQ(CompareFileTimeIgnoreYear(&lateFeb, &feb28), 0);

        const struct {
            FILETIME time, reference;
            ULONGLONG want;
            const char* what;
        } cases[] = {
            // A summer birthday placed from a winter reference: midnight EDT is 04:00 UTC.
            {july4, ft(2023, 1, 15, 12), ticks(2023, 7, 4, 4), "summer day, winter reference"},
            // A winter day placed from a summer reference: midnight EST is 05:00 UTC.
            {ft(2020, 1, 10, 12), ft(2023, 7, 1, 12), ticks(2023, 1, 10, 5), "winter day, summer reference"},
            // The days the clocks change: both midnights exist, on either side of the change.
            {ft(2000, 3, 14, 17), ft(2021, 6, 1), ticks(2021, 3, 14, 5), "spring-forward day, still EST at midnight"},
            {ft(2000, 11, 7, 17), ft(2021, 6, 1), ticks(2021, 11, 7, 4), "fall-back day, still EDT at midnight"},
            // 2022-01-01 03:00 UTC is still 2021 in New York.
            {july4, ft(2022, 1, 1, 3), ticks(2021, 7, 4, 4), "the reference year is the local one"},
        };
        for (const auto& c : cases) {
            FILETIME t = c.time;
            ASSERT_EQ(SetFileTimeCurYear(&t, c.reference), 1) << c.what;
            EXPECT_EQ(ZuFileTimeToU64(t), c.want) << c.what;
        }
    }
    EXPECT_EQ(CompareFileTimeIgnoreYear(&lateFeb, &feb28), 1);  // Seoul again
}

}  // namespace
