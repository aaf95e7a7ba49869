// Time functions: calendar arithmetic against Qt's calendar, refusal of bad input, local time in
// Seoul and across New York's daylight-saving changes, and the replaceable clock.
#include "testzone.h"
#include "filetime.h"
#include "lasterror.h"
#include "testtime.h"

#include <QDate>
#include <QDateTime>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using TzGuard = ZuTzGuard;

// Restores the system clock when a test that replaced it ends.
struct ClockGuard {
    ~ClockGuard() { ZuSetClock({}); }
};

using zutest::st;

ULONGLONG ticksOf(const SYSTEMTIME& t)
{
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&t, &ft));
    return ZuFileTimeToU64(ft);
}

SYSTEMTIME fieldsOf(ULONGLONG ticks)
{
    const FILETIME ft = ZuU64ToFileTime(ticks);
    SYSTEMTIME t;
    EXPECT_TRUE(FileTimeToSystemTime(&ft, &t));
    return t;
}

std::optional<ULONGLONG> toLocal(ULONGLONG utc)
{
    const FILETIME in = ZuU64ToFileTime(utc);
    FILETIME out;
    if (!FileTimeToLocalFileTime(&in, &out))
        return std::nullopt;
    return ZuFileTimeToU64(out);
}

std::optional<ULONGLONG> toUtc(ULONGLONG local)
{
    const FILETIME in = ZuU64ToFileTime(local);
    FILETIME out;
    if (!LocalFileTimeToFileTime(&in, &out))
        return std::nullopt;
    return ZuFileTimeToU64(out);
}

// Ticks of a UTC date and time as Qt computes them.
ULONGLONG qtTicks(int y, int mo, int d, int h, int mi, int s, int ms)
{
    const QDateTime dt(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
    return ZU_UNIX_EPOCH_FILETIME + static_cast<ULONGLONG>(dt.toMSecsSinceEpoch() * 10000);
}

TEST(FileTime, KnownInstants)
{
    EXPECT_EQ(ticksOf(st(1601, 1, 1)), 0u);
    EXPECT_EQ(ticksOf(st(1970, 1, 1)), ZU_UNIX_EPOCH_FILETIME);
    EXPECT_EQ(ticksOf(st(4501, 1, 1)), ZU_NO_DATE_FILETIME);
    EXPECT_EQ(ticksOf(st(1601, 1, 2)), ZU_TICKS_PER_DAY);
    EXPECT_EQ(ticksOf(st(1601, 1, 1, 0, 1)), ZU_TICKS_PER_MINUTE);

    // The largest FILETIME still converts; one past it is refused.
    const SYSTEMTIME max = fieldsOf(0x7FFFFFFFFFFFFFFFULL);
    EXPECT_EQ(max.wYear, 30828);
    EXPECT_EQ(max.wMonth, 9);
    EXPECT_EQ(max.wDay, 14);
    EXPECT_EQ(max.wHour, 2);
    EXPECT_EQ(max.wMinute, 48);
    EXPECT_EQ(max.wSecond, 5);
    EXPECT_EQ(max.wMilliseconds, 477);
    for (ULONGLONG bad : {0x8000000000000000ULL, 0xFFFFFFFFFFFFFFFFULL}) {
        const FILETIME ft = ZuU64ToFileTime(bad);
        SYSTEMTIME out = st(2000, 1, 1);
        EXPECT_FALSE(FileTimeToSystemTime(&ft, &out));
        EXPECT_EQ(out.wYear, 2000) << "output must stay untouched";
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

// Every 13th day from 1601 to 30827 against Qt's proleptic calendar: fields, weekday and ticks.
TEST(FileTime, CalendarAgreesWithQtOverWholeRange)
{
    const QDate first(1601, 1, 1);
    const QDate last(30827, 12, 31);
    int checked = 0;
    for (QDate d = first; d <= last; d = d.addDays(13)) {
        const int ms = static_cast<int>((checked * 7919LL) % 86400000);
        const SYSTEMTIME in = st(d.year(), d.month(), d.day(), ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
        const ULONGLONG ticks = ticksOf(in);
        ASSERT_EQ(ticks, qtTicks(d.year(), d.month(), d.day(), in.wHour, in.wMinute, in.wSecond, in.wMilliseconds))
            << d.toString(Qt::ISODate).toStdString();
        const SYSTEMTIME out = fieldsOf(ticks);
        ASSERT_EQ(out.wYear, in.wYear);
        ASSERT_EQ(out.wMonth, in.wMonth);
        ASSERT_EQ(out.wDay, in.wDay);
        ASSERT_EQ(out.wHour, in.wHour);
        ASSERT_EQ(out.wMinute, in.wMinute);
        ASSERT_EQ(out.wSecond, in.wSecond);
        ASSERT_EQ(out.wMilliseconds, in.wMilliseconds);
        ASSERT_EQ(out.wDayOfWeek, d.dayOfWeek() % 7) << d.toString(Qt::ISODate).toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 800000);
}

TEST(FileTime, DayOfWeek)
{
    struct Case {
        SYSTEMTIME t;
        int dayOfWeek;
    };
    const Case cases[] = {
        {st(1601, 1, 1), 1},   {st(1752, 9, 14), 4},  {st(1899, 12, 30), 6}, {st(1900, 3, 1), 4},
        {st(1970, 1, 1), 4},   {st(2000, 2, 29), 2},  {st(2021, 3, 14), 0},  {st(2024, 12, 31, 23, 59, 59, 999), 2},
        {st(4501, 1, 1), 6},   {st(30827, 12, 31), 5},
    };
    for (const Case& c : cases) {
        SYSTEMTIME in = c.t;
        in.wDayOfWeek = 3;  // ignored on the way in
        EXPECT_EQ(fieldsOf(ticksOf(in)).wDayOfWeek, c.dayOfWeek) << in.wYear << "-" << in.wMonth << "-" << in.wDay;
    }
}

TEST(FileTime, InvalidSystemTimesAreRefused)
{
    const SYSTEMTIME invalid[] = {
        st(1600, 12, 31),           st(30828, 1, 1),         st(0, 1, 1),           st(2021, 0, 1),
        st(2021, 13, 1),            st(2021, 1, 0),          st(2021, 1, 32),       st(2021, 4, 31),
        st(2021, 2, 29),            st(2100, 2, 29),         st(1900, 2, 29),       st(2021, 1, 1, 24),
        st(2021, 1, 1, 0, 60),      st(2021, 1, 1, 0, 0, 60), st(2021, 1, 1, 0, 0, 0, 1000), st(65535, 65535, 65535, 65535),
    };
    for (const SYSTEMTIME& t : invalid) {
        FILETIME out = ZuU64ToFileTime(42);
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(SystemTimeToFileTime(&t, &out)) << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour;
        EXPECT_EQ(ZuFileTimeToU64(out), 42u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_FALSE(ZuIsValidSystemTime(t));
    }
    const SYSTEMTIME valid[] = {
        st(1601, 1, 1),  st(30827, 12, 31, 23, 59, 59, 999), st(2000, 2, 29), st(2024, 2, 29), st(2021, 4, 30),
        st(2021, 12, 31, 23, 59, 59, 999),
    };
    for (const SYSTEMTIME& t : valid)
        EXPECT_TRUE(ZuIsValidSystemTime(t)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;

    FILETIME ft;
    SYSTEMTIME out;
    const SYSTEMTIME ok = st(2021, 1, 1);
    EXPECT_FALSE(SystemTimeToFileTime(nullptr, &ft));
    EXPECT_FALSE(SystemTimeToFileTime(&ok, nullptr));
    EXPECT_FALSE(FileTimeToSystemTime(nullptr, &out));
    EXPECT_FALSE(FileTimeToSystemTime(&ft, nullptr));
    EXPECT_FALSE(FileTimeToLocalFileTime(nullptr, &ft));
    EXPECT_FALSE(LocalFileTimeToFileTime(&ft, nullptr));
}

TEST(FileTime, HelpersAndCompare)
{
    const FILETIME ft = ZuU64ToFileTime(0x0123456789ABCDEFULL);
    EXPECT_EQ(ft.dwHighDateTime, 0x01234567u);
    EXPECT_EQ(ft.dwLowDateTime, 0x89ABCDEFu);
    EXPECT_EQ(ZuFileTimeToU64(ft), 0x0123456789ABCDEFULL);
    EXPECT_EQ(ZU_TICKS_PER_DAY, 24 * 60 * ZU_TICKS_PER_MINUTE);

    // The high half decides before the low half.
    const FILETIME a = ZuU64ToFileTime(0x00000001FFFFFFFFULL);
    const FILETIME b = ZuU64ToFileTime(0x0000000200000000ULL);
    EXPECT_EQ(CompareFileTime(&a, &b), -1);
    EXPECT_EQ(CompareFileTime(&b, &a), 1);
    EXPECT_EQ(CompareFileTime(&a, &a), 0);
}

TEST(FileTime, LocalTimeInSeoul)
{
    TzGuard tz("Asia/Seoul");
    const ULONGLONG utc = ticksOf(st(2021, 12, 31, 20, 15, 30, 250));
    const auto local = toLocal(utc + 1234);  // sub-millisecond ticks travel along
    ASSERT_TRUE(local);
    EXPECT_EQ(*local, ticksOf(st(2022, 1, 1, 5, 15, 30, 250)) + 1234);
    EXPECT_EQ(toUtc(*local), utc + 1234);

    // Korea kept daylight saving in 1988 (+10) and used +8:30 in the winter of 1955: the offset of
    // the instant counts, not today's.
    EXPECT_EQ(toLocal(ticksOf(st(1988, 7, 1, 12))), ticksOf(st(1988, 7, 1, 22)));
    EXPECT_EQ(toLocal(ticksOf(st(1955, 1, 15, 12))), ticksOf(st(1955, 1, 15, 20, 30)));
    EXPECT_EQ(toUtc(ticksOf(st(1988, 7, 1, 22))), ticksOf(st(1988, 7, 1, 12)));
    // The move from +8:30 to +9 skipped 1961-08-10 00:00..00:30; 00:15 reads at +8:30.
    EXPECT_EQ(toUtc(ticksOf(st(1961, 8, 10, 0, 15))), ticksOf(st(1961, 8, 9, 15, 45)));
}

TEST(FileTime, NewYorkDaylightSavingChanges)
{
    TzGuard tz("America/New_York");
    struct Case {
        SYSTEMTIME local;
        SYSTEMTIME utc;
        const char* what;
    };
    const Case toUtcCases[] = {
        {st(2021, 1, 15, 12), st(2021, 1, 15, 17), "winter, EST"},
        {st(2021, 7, 15, 12), st(2021, 7, 15, 16), "summer, EDT"},
        {st(2021, 3, 14, 1, 59, 59), st(2021, 3, 14, 6, 59, 59), "last second before the gap"},
        {st(2021, 3, 14, 2, 0), st(2021, 3, 14, 7, 0), "gap start reads as EST"},
        {st(2021, 3, 14, 2, 30), st(2021, 3, 14, 7, 30), "gap: EST, i.e. 03:30 EDT"},
        {st(2021, 3, 14, 3, 0), st(2021, 3, 14, 7, 0), "first time after the gap"},
        {st(2021, 11, 7, 0, 59), st(2021, 11, 7, 4, 59), "before the overlap"},
        {st(2021, 11, 7, 1, 0), st(2021, 11, 7, 5, 0), "overlap start, first pass"},
        {st(2021, 11, 7, 1, 30), st(2021, 11, 7, 5, 30), "overlap: the earlier instant (EDT)"},
        {st(2021, 11, 7, 2, 0), st(2021, 11, 7, 7, 0), "after the overlap"},
    };
    for (const Case& c : toUtcCases)
        EXPECT_EQ(toUtc(ticksOf(c.local)), ticksOf(c.utc)) << c.what;

    // The gap time lands an hour later on the wall clock.
    EXPECT_EQ(toLocal(*toUtc(ticksOf(st(2021, 3, 14, 2, 30)))), ticksOf(st(2021, 3, 14, 3, 30)));
    // Both passes through the overlap show 01:30.
    EXPECT_EQ(toLocal(ticksOf(st(2021, 11, 7, 5, 30))), ticksOf(st(2021, 11, 7, 1, 30)));
    EXPECT_EQ(toLocal(ticksOf(st(2021, 11, 7, 6, 30))), ticksOf(st(2021, 11, 7, 1, 30)));
    // Outside gaps, UTC -> local -> UTC is exact, second by second around the changes.
    for (ULONGLONG base : {ticksOf(st(2021, 3, 14, 6)), ticksOf(st(2021, 11, 7, 5))}) {
        for (ULONGLONG t = base; t < base + 3 * ZU_TICKS_PER_HOUR; t += 17 * ZU_TICKS_PER_SECOND) {
            const auto local = toLocal(t);
            ASSERT_TRUE(local);
            if (t < ticksOf(st(2021, 11, 7, 6)) || t >= ticksOf(st(2021, 11, 7, 7))) {  // not the second pass
                ASSERT_EQ(toUtc(*local), t);
            }
        }
    }
}

TEST(FileTime, DayLongGapInApia)
{
    // Samoa skipped 2011-12-30 entirely (-10 -> +14): a time on that day is read at -10 and
    // shows up a day later.
    TzGuard tz("Pacific/Apia");
    const auto utc = toUtc(ticksOf(st(2011, 12, 30, 12)));
    ASSERT_TRUE(utc);
    EXPECT_EQ(*utc, ticksOf(st(2011, 12, 30, 22)));
    EXPECT_EQ(toLocal(*utc), ticksOf(st(2011, 12, 31, 12)));
}

TEST(FileTime, EdgesOfTheRange)
{
    for (const char* zone : {"Asia/Seoul", "America/New_York", "UTC"}) {
        TzGuard tz(zone);
        // The "no date" value and instants far from the C library's comfort zone convert both ways.
        for (ULONGLONG t : {ZU_NO_DATE_FILETIME, ticksOf(st(1601, 1, 3)), ticksOf(st(1700, 6, 1, 12)),
                            ticksOf(st(9999, 12, 31, 23, 59, 59)), ticksOf(st(30827, 6, 1))}) {
            const auto local = toLocal(t);
            ASSERT_TRUE(local) << zone << " " << t;
            EXPECT_EQ(toUtc(*local), t) << zone << " " << t;
        }
        const auto noDateUtc = toUtc(ZU_NO_DATE_FILETIME);
        ASSERT_TRUE(noDateUtc);
        EXPECT_EQ(toLocal(*noDateUtc), ZU_NO_DATE_FILETIME) << zone;
        // Offsets far in the future follow the zone's current rule.
        if (std::string(zone) == "Asia/Seoul") {
            EXPECT_EQ(*toLocal(ZU_NO_DATE_FILETIME) - ZU_NO_DATE_FILETIME, 9 * ZU_TICKS_PER_HOUR);
        }
        const FILETIME bad = ZuU64ToFileTime(0x8000000000000000ULL);
        FILETIME out;
        EXPECT_FALSE(FileTimeToLocalFileTime(&bad, &out));
        EXPECT_FALSE(LocalFileTimeToFileTime(&bad, &out));
    }
    // Shifting past either end of the range is refused, not wrapped.
    {
        TzGuard tz("America/New_York");
        EXPECT_FALSE(toLocal(0));
        EXPECT_FALSE(toUtc(0x7FFFFFFFFFFFFFFFULL));
    }
    {
        TzGuard tz("Asia/Seoul");
        EXPECT_FALSE(toLocal(0x7FFFFFFFFFFFFFFFULL));
        EXPECT_FALSE(toUtc(0));
    }
}

TEST(FileTime, ReplaceableClock)
{
    ClockGuard restore;
    TzGuard tz("Asia/Seoul");
    ZuSetFixedClock(ZuU64ToFileTime(ticksOf(st(2021, 12, 31, 20, 15, 30, 250)) + 9999));
    SYSTEMTIME utc;
    SYSTEMTIME local;
    GetSystemTime(&utc);
    GetLocalTime(&local);
    EXPECT_EQ(utc.wYear, 2021);
    EXPECT_EQ(utc.wHour, 20);
    EXPECT_EQ(utc.wMilliseconds, 250);
    EXPECT_EQ(utc.wDayOfWeek, 5);
    EXPECT_EQ(local.wYear, 2022);
    EXPECT_EQ(local.wMonth, 1);
    EXPECT_EQ(local.wDay, 1);
    EXPECT_EQ(local.wHour, 5);
    EXPECT_EQ(local.wDayOfWeek, 6);

    // A moving clock is asked on every call.
    ULONGLONG next = ticksOf(st(2021, 1, 1));
    ZuSetClock([&next] {
        next += ZU_TICKS_PER_MINUTE;
        return ZuU64ToFileTime(next);
    });
    GetSystemTime(&utc);
    EXPECT_EQ(utc.wMinute, 1);
    GetSystemTime(&utc);
    EXPECT_EQ(utc.wMinute, 2);

    // An empty function brings the system clock back.
    ZuSetClock({});
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto sysTicks = ZU_UNIX_EPOCH_FILETIME + static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) * 10;
    const ULONGLONG clockTicks = ZuFileTimeToU64(ZuUtcNow());
    EXPECT_LT(clockTicks > sysTicks ? clockTicks - sysTicks : sysTicks - clockTicks, 5 * ZU_TICKS_PER_SECOND);
}

TEST(FileTime, ClockSwapsWhileOtherThreadsRead)
{
    ClockGuard restore;
    const ULONGLONG a = ticksOf(st(2020, 1, 1));
    const ULONGLONG b = ticksOf(st(2030, 1, 1));
    ZuSetFixedClock(ZuU64ToFileTime(a));
    std::atomic<bool> stop{false};
    std::atomic<int> strange{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const ULONGLONG t = ZuFileTimeToU64(ZuUtcNow());
                SYSTEMTIME local;
                GetLocalTime(&local);
                if ((t != a && t != b) || (local.wYear != 2020 && local.wYear != 2030))
                    ++strange;
            }
        });
    }
    for (int i = 0; i < 2000; ++i)
        ZuSetFixedClock(ZuU64ToFileTime(i % 2 ? a : b));
    stop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(strange.load(), 0);
}

}  // namespace
