// CRecurrencePattern: the stored BLOB pinned byte for byte, counts and n-th dates against a table
// and against a day-by-day reference built on Qt's calendar, the walk, the sentences, loading from
// and saving to records, a regression test for each fault that must not come back, and a
// corruption sweep over every golden BLOB. Dates are wall-clock values (the class converts no
// time zones).
#include "recurrencepattern.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recurrencebuilders.h"
#include "testhome.h"
#include "testtime.h"

#include <QDate>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr long long kTicksPerMinute = static_cast<long long>(ZU_TICKS_PER_MINUTE);
constexpr long kNoEndMinutes = 0x5AE980DF;  // 4500-12-31 23:59

using zutest::wall;
long long minutesOf(const FILETIME& f) { return static_cast<long long>(ZuFileTimeToU64(f)) / kTicksPerMinute; }
FILETIME fromMinutes(long long m) { return ZuU64ToFileTime(static_cast<ULONGLONG>(m) * ZU_TICKS_PER_MINUTE); }

// "2004-03-01", with " 09:00" when the time is not midnight.
std::string text(const FILETIME& f)
{
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&f, &st))
        return "?";
    char buf[32];
    if (st.wHour || st.wMinute)
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    else
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
    return buf;
}
std::string textOfMinutes(long long m) { return text(fromMinutes(m)); }

std::vector<BYTE> fromHex(const std::string& hex)
{
    std::vector<BYTE> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}
std::string toHex(const BYTE* p, size_t n)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}
CEBLOB blobOf(std::vector<BYTE>& bytes) { return CEBLOB{static_cast<DWORD>(bytes.size()), bytes.data()}; }

// The BLOB a pattern writes, as hex ("" when it cannot be written).
std::string written(CRecurrencePattern& p)
{
    CEBLOB out{};
    if (!p.GetRecurPattern(&out))
        return "";
    const std::string hex = toHex(out.lpb, out.dwCount);
    LocalFree(out.lpb);
    return hex;
}

DWORD le32(const std::string& hex, size_t offset)
{
    const std::vector<BYTE> b = fromHex(hex);
    DWORD v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | (offset + i < b.size() ? b[offset + i] : 0);
    return v;
}

// A pattern's shape, put together through the accessors in the order the wizard uses.
using Shape = zutest::RecurrenceShape;
using zutest::daily;
using zutest::monthly;
using zutest::monthlyNth;
using zutest::weekdays;
using zutest::weekly;
using zutest::yearly;
using zutest::yearlyNth;

void build(CRecurrencePattern& p, const Shape& s, const FILETIME& start)
{
    ASSERT_TRUE(zutest::putShape(p, s, start));
}
CRecurrencePattern make(const Shape& s, const FILETIME& start, UINT kind = 1)
{
    CRecurrencePattern p(kind);
    build(p, s, start);
    return p;
}

// The dates of a walk from SeekFirst, at most `limit` of them.
std::vector<std::string> walk(CRecurrencePattern& p, int limit = 100)
{
    std::vector<std::string> out;
    FILETIME f;
    for (int ok = p.SeekFirstRecurTime(&f); ok && static_cast<int>(out.size()) < limit; ok = p.SeekNextRecurTime(&f))
        out.push_back(text(f));
    return out;
}

// ---- Golden BLOBs ---------------------------------------------------------------------------

struct Golden {
    const char* summary;  // what the bytes say, in words
    UINT kind;
    const char* hex;
    std::function<void(CRecurrencePattern&)> fill;  // builds the same pattern through put_
};

const std::vector<Golden>& goldens()
{
    static const std::vector<Golden> g = {
        {"appointment 09:00-10:00, every 2 weeks on Monday and Wednesday from 2004-03-01, no end", 1,
            "043004300B20010000002049000002000000000000000A00000023200000000000000000000000000000000000008084A30CDF80E95A"
            "05030000050300001C020000580200000000",
            [](CRecurrencePattern& p) {
                build(p, weekly(2, 0x0A), wall(2004, 3, 1));
                p.put_StartTime(540);
                p.put_EndTime(600);
            }},
        {"appointment 22:00-01:00 (crosses midnight), every 3 days from 2004-03-01, 10 times (last 2004-03-28)", 1,
            "043004300A200000000000000000E010000000000000222000000A0000000000000000000000000000008084A30C601CA40C"
            "050300000503000028050000DC050000000000000000",
            [](CRecurrencePattern& p) {
                build(p, daily(3), wall(2004, 3, 1));
                p.put_Occurrences(10);
                p.put_StartTime(1320);
                p.put_EndTime(60);
            }},
        {"task, every weekday from Wednesday 2004-03-03 until 2004-03-31 (21 times)", 4,
            "043004300A2001000000C021000001000000000000003E0000002120000015000000000000000000000000000000C08FA30C402DA40C"
            "000000000000000000000000000000000000",
            [](CRecurrencePattern& p) {
                build(p, weekdays(), wall(2004, 3, 3));
                p.put_PatternEndDate(wall(2004, 3, 31));
            }},
        {"appointment 08:30-09:00, monthly on the 31st from 2004-01-31, 6 slots (last existing 2004-05-31)", 1,
            "043004300C20020000000000000001000000000000001F0000002220000006000000000000000000000000000000C0DBA20C6084A50C"
            "0503000005030000FE0100001C0200000000",
            [](CRecurrencePattern& p) {
                build(p, monthly(1, 31), wall(2004, 1, 31));
                p.put_Occurrences(6);
                p.put_StartTime(510);
                p.put_Duration(30);
            }},
        {"appointment 10:00-11:30, every 2 months on the second Tuesday from 2004-03-01, no end (74 bytes)", 1,
            "043004300C2003000000000000000200000000000000040000000200000023200000000000000000000000000000000000008084A30C"
            "DF80E95A050300000503000058020000B2020000",
            [](CRecurrencePattern& p) {
                build(p, monthlyNth(2, 2, 0x04), wall(2004, 3, 1));
                p.put_StartTime(600);
                p.put_EndTime(690);
            }},
        {"task, every 2 years on 5 May from 2004-01-10, 3 times (last 2008-05-05)", 4,
            "043004300D200200000000A302001800000000000000050000002220000003000000000000000000000000000000A065A20C400CC50C"
            "000000000000000000000000000000000000",
            [](CRecurrencePattern& p) {
                build(p, yearly(2, 5, 5), wall(2004, 1, 10));
                p.put_Occurrences(3);
            }},
        {"appointment all day, every year on the last Monday of May from 2004-01-01, no end (74 bytes)", 1,
            "043004300D200300000000A302000C00000000000000020000000500000023200000000000000000000000000000000000000033A20C"
            "DF80E95A050300000503000000000000A0050000",
            [](CRecurrencePattern& p) {
                build(p, yearlyNth(1, 5, 5, 0x02), wall(2004, 1, 1));
                p.put_StartTime(0);
                p.put_Duration(1440);
            }},
        {"task, every year on the first Sunday of October from 2004-01-01 until 2006-12-31 (3 times, last 2006-10-01)", 4,
            "043004300D2003000000A0FF05000C00000000000000010000000100000021200000030000000000000000000000000000000033A20C"
            "8042B80C0000000000000000000000000000",
            [](CRecurrencePattern& p) {
                build(p, yearlyNth(1, 10, 1, 0x01), wall(2004, 1, 1));
                p.put_PatternEndDate(wall(2006, 12, 31));
            }},
    };
    return g;
}

} // namespace

TEST(RecurrenceBlob, GoldenBlobsAreWrittenByteForByteAndReadBack)
{
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.summary);
        CRecurrencePattern built(g.kind);
        g.fill(built);
        EXPECT_EQ(written(built), g.hex);

        std::vector<BYTE> bytes = fromHex(g.hex);
        CRecurrencePattern read(blobOf(bytes), 1, g.kind);
        ASSERT_TRUE(read.IsValid());
        long a = 0, b = 0;
        for (auto get : {&CRecurrencePattern::get_RecurrenceType, &CRecurrencePattern::get_Interval,
                 &CRecurrencePattern::get_DayOfWeekMask, &CRecurrencePattern::get_Instance,
                 &CRecurrencePattern::get_MonthOfYear, &CRecurrencePattern::get_Occurrences}) {
            EXPECT_TRUE((read.*get)(&a));
            EXPECT_TRUE((built.*get)(&b));
            EXPECT_EQ(a, b);
        }
        EXPECT_EQ(read.get_DayOfMonth(&a), built.get_DayOfMonth(&b));
        EXPECT_EQ(a, b);
        EXPECT_EQ(read.GetEndDateType(), built.GetEndDateType());
        FILETIME fa, fb;
        read.get_PatternStartDate(&fa);
        built.get_PatternStartDate(&fb);
        EXPECT_EQ(text(fa), text(fb));
        if (read.GetEndDateType()) {
            read.get_PatternEndDate(&fa);
            built.get_PatternEndDate(&fb);
            EXPECT_EQ(text(fa), text(fb));
        }
        if (g.kind == 1) {
            for (auto get : {&CRecurrencePattern::get_StartTime, &CRecurrencePattern::get_Duration}) {
                (read.*get)(&a);
                (built.*get)(&b);
                EXPECT_EQ(a, b);
            }
        }
        // Round trip: what was read writes the same bytes, also through a copy.
        EXPECT_EQ(written(read), g.hex);
        CRecurrencePattern copy(read);
        EXPECT_EQ(written(copy), g.hex);
        EXPECT_EQ(walk(copy, 5), walk(built, 5));
    }
}

TEST(RecurrenceBlob, WeeklyExampleFieldByField)
{
    // Every 2 weeks on Monday and Wednesday from 2004-03-01.
    CRecurrencePattern p = make(weekly(2, 0x0A), wall(2004, 3, 1));
    const std::string hex = written(p);
    ASSERT_EQ(hex.size(), 72u * 2);
    EXPECT_EQ(le32(hex, 4) & 0xFFFF, 0x200Bu);   // frequency
    EXPECT_EQ(le32(hex, 6) & 0xFFFF, 1u);        // pattern kind: week
    EXPECT_EQ(le32(hex, 14), 2u);                // period
    EXPECT_EQ(hex.substr(22 * 2, 8), "0A000000"); // mask, low byte only
    EXPECT_EQ(le32(hex, 26), 0x2023u);           // end type right after the mask
    EXPECT_EQ(le32(hex, 46), static_cast<DWORD>(minutesOf(wall(2004, 3, 1))));

    // A task writes no times; an appointment of an nth kind grows to 74 bytes, a task does not.
    CRecurrencePattern task = make(monthlyNth(1, 2, 0x04), wall(2004, 3, 1), 4);
    EXPECT_EQ(written(task).size(), 72u * 2);
    CRecurrencePattern apt = make(monthlyNth(1, 2, 0x04), wall(2004, 3, 1), 1);
    EXPECT_EQ(written(apt).size(), 74u * 2);
}

TEST(RecurrenceBlob, EveryWeekdayRoundTripsAndStartsOnTheFirstWeekday)
{
    CRecurrencePattern p = make(weekdays(), wall(2004, 3, 6));  // a Saturday
    long mask = 0;
    ASSERT_TRUE(p.get_DayOfWeekMask(&mask));
    EXPECT_EQ(mask, 62);
    const std::string hex = written(p);
    EXPECT_EQ(le32(hex, 4) & 0xFFFF, 0x200Au);
    EXPECT_EQ(le32(hex, 6) & 0xFFFF, 1u);
    EXPECT_EQ(le32(hex, 10), 8640u);
    EXPECT_EQ(le32(hex, 14), 1u);
    EXPECT_EQ(le32(hex, 22), 62u);

    std::vector<BYTE> bytes = fromHex(hex);
    CRecurrencePattern read(blobOf(bytes), 0, 1);  // refers to our bytes
    long type = -1, interval = -1;
    ASSERT_TRUE(read.get_RecurrenceType(&type));
    read.get_Interval(&interval);
    read.get_DayOfWeekMask(&mask);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(interval, 0);
    EXPECT_EQ(mask, 62);
    EXPECT_EQ(walk(read, 6), (std::vector<std::string>{"2004-03-08", "2004-03-09", "2004-03-10", "2004-03-11", "2004-03-12", "2004-03-15"}));
    EXPECT_EQ(written(read), hex);
}

TEST(RecurrenceBlob, ReaderRulesForShortAndUnknownBlobs)
{
    // Month of year from the first date-time: day 59 is 1 March in a common year; a value past
    // the year's end is December.
    std::vector<BYTE> yearlyBytes = fromHex(goldens()[5].hex);
    const auto monthFor = [&](DWORD days) {
        std::vector<BYTE> b = yearlyBytes;
        const DWORD first = days * 1440;
        for (int i = 0; i < 4; ++i)
            b[10 + i] = static_cast<BYTE>(first >> (8 * i));
        CRecurrencePattern p(blobOf(b), 1, 4);
        long month = 0;
        return p.get_MonthOfYear(&month) ? month : -1;
    };
    EXPECT_EQ(monthFor(0), 1);
    EXPECT_EQ(monthFor(58), 2);
    EXPECT_EQ(monthFor(59), 3);
    EXPECT_EQ(monthFor(364), 12);
    EXPECT_EQ(monthFor(4000), 12);

    // A yearly BLOB stored with period 12 reads as interval 1; 25 as 2 (period / 12).
    const auto intervalFor = [&](DWORD period) {
        std::vector<BYTE> b = yearlyBytes;
        b[14] = static_cast<BYTE>(period);
        CRecurrencePattern p(blobOf(b), 1, 4);
        long n = 0;
        return p.get_Interval(&n) ? n : -1;
    };
    EXPECT_EQ(intervalFor(12), 1);
    EXPECT_EQ(intervalFor(25), 2);
    EXPECT_EQ(intervalFor(11), -1);  // 11 / 12 = 0: refused

    // An appointment BLOB cut after its end date still reads; the missing times read as 0.
    std::vector<BYTE> weekly = fromHex(goldens()[0].hex);
    weekly.resize(54);
    CRecurrencePattern cut(blobOf(weekly), 1, 1);
    long start = 0;
    ASSERT_TRUE(cut.IsValid());
    cut.get_StartTime(&start);
    EXPECT_EQ(start, 0);

    // Unknown frequency / kind combinations, and an empty BLOB.
    for (const auto& [frequency, kind] : std::vector<std::pair<WORD, DWORD>>{{0x200C, 0}, {0x200C, 1}, {0x200D, 4}, {0x2009, 0}, {0, 0},
             {0x200C, 0x00010002}}) {
        std::vector<BYTE> b = fromHex(goldens()[3].hex);
        b[4] = static_cast<BYTE>(frequency);
        b[5] = static_cast<BYTE>(frequency >> 8);
        for (int i = 0; i < 4; ++i)
            b[6 + i] = static_cast<BYTE>(kind >> (8 * i));
        CRecurrencePattern p(blobOf(b), 1, 1);
        EXPECT_FALSE(p.IsInitialized()) << std::hex << frequency << "/" << kind;
        long type = 0;
        EXPECT_FALSE(p.get_RecurrenceType(&type));
    }
    CRecurrencePattern empty(CEBLOB{}, 1, 1);
    EXPECT_FALSE(empty.IsInitialized());
}

TEST(RecurrenceBlob, GetRecurPatternHandsOutAFreshBufferAndFreesTheOldOne)
{
    CRecurrencePattern p = make(daily(1), wall(2004, 3, 1));
    CEBLOB out{};
    ASSERT_TRUE(p.GetRecurPattern(out));
    ASSERT_TRUE(p.GetRecurPattern(&out));  // frees the first buffer (ASan reports a leak otherwise)
    EXPECT_EQ(out.dwCount, 72u);
    EXPECT_NE(out.lpb, nullptr);
    LocalFree(out.lpb);

    CRecurrencePattern none;
    CEBLOB untouched{};
    EXPECT_FALSE(none.GetRecurPattern(&untouched));
    EXPECT_EQ(untouched.lpb, nullptr);
    EXPECT_FALSE(none.GetRecurPattern(nullptr));
}

TEST(RecurrenceBlob, CopiesOwnTheirBytes)
{
    std::vector<BYTE> bytes = fromHex(goldens()[0].hex);
    CRecurrencePattern* original = new CRecurrencePattern(blobOf(bytes), 0, 1);
    CRecurrencePattern copy(*original);
    CRecurrencePattern assigned;
    assigned = *original;
    assigned = assigned;  // self-assignment keeps everything
    delete original;
    std::fill(bytes.begin(), bytes.end(), 0);  // the copies no longer look at these
    EXPECT_EQ(written(copy), goldens()[0].hex);
    EXPECT_EQ(written(assigned), goldens()[0].hex);
    CRecurrencePattern internal(4);
    internal.InternalCopy(&copy);
    long type = 0;
    EXPECT_TRUE(internal.get_RecurrenceType(&type));
    EXPECT_EQ(type, 1);
}

// ---- Counts and n-th dates ------------------------------------------------------------------

namespace {

struct CountRow {
    const char* name;
    Shape shape;
    FILETIME from;  // also the pattern start
    FILETIME to;
    long count;     // occurrence slots (a date that does not exist still counts)
    long n;
    const char* nth;  // "-" for a date that does not exist
};

} // namespace

TEST(RecurrenceCount, TableOfRangesCountsAndNthDates)
{
    const CountRow rows[] = {
        {"daily, ends on its start", daily(1), wall(2004, 3, 1), wall(2004, 3, 1), 1, 1, "2004-03-01"},
        {"every 3 days", daily(3), wall(2004, 3, 1), wall(2004, 3, 10), 4, 4, "2004-03-10"},
        {"every 2 days over the leap day", daily(2), wall(2004, 2, 28), wall(2004, 3, 2), 2, 2, "2004-03-01"},
        {"daily at 09:00, end before 09:00", daily(1), wall(2004, 3, 1, 9), wall(2004, 3, 3, 8, 59), 2, 3, "2004-03-03 09:00"},
        {"every weekday from a Saturday", weekdays(), wall(2004, 3, 6), wall(2004, 3, 12), 5, 1, "2004-03-08"},
        {"Sunday start, Sundays every 2 weeks", weekly(2, 0x01), wall(2004, 3, 7), wall(2004, 4, 4), 3, 2, "2004-03-21"},
        {"Sunday start, Sunday and Saturday every 2 weeks", weekly(2, 0x41), wall(2004, 3, 7), wall(2004, 3, 27), 4, 3, "2004-03-21"},
        {"Wednesday start, Monday and Wednesday every 2 weeks", weekly(2, 0x0A), wall(2004, 3, 3), wall(2004, 3, 31), 5, 2, "2004-03-15"},
        {"Tuesdays every 3 weeks for a year", weekly(3, 0x04), wall(2004, 3, 1), wall(2004, 12, 31), 15, 15, "2004-12-21"},
        {"leap-day Sunday start, Sunday and Monday", weekly(1, 0x03), wall(2004, 2, 29), wall(2004, 3, 8), 4, 4, "2004-03-08"},
        {"the 31st monthly: index 24 is December of the next year", monthly(1, 31), wall(2004, 1, 31), wall(2005, 12, 31), 24, 24, "2005-12-31"},
        {"the 31st monthly: February has none", monthly(1, 31), wall(2004, 1, 31), wall(2004, 4, 30), 3, 2, "-"},
        {"the 15th every 2 months from the 20th", monthly(2, 15), wall(2004, 1, 20), wall(2004, 7, 15), 3, 1, "2004-03-15"},
        {"the 29th every 12 months from February", monthly(12, 29), wall(2004, 2, 1), wall(2012, 2, 29), 9, 5, "2008-02-29"},
        {"the 10th at 09:00, end before 09:00", monthly(1, 10), wall(2004, 1, 10, 9), wall(2004, 3, 10, 8), 2, 3, "2004-03-10 09:00"},
        {"second Tuesday monthly", monthlyNth(1, 2, 0x04), wall(2004, 3, 1), wall(2004, 6, 30), 4, 4, "2004-06-08"},
        {"last Friday from a last Friday", monthlyNth(1, 5, 0x20), wall(2004, 4, 30), wall(2004, 5, 27), 1, 2, "2004-05-28"},
        {"second Tuesday every 2 months, end in a month between", monthlyNth(2, 2, 0x04), wall(2004, 1, 1), wall(2004, 2, 1), 1, 2, "2004-03-09"},
        {"5 May from June", yearly(1, 5, 5), wall(2004, 6, 1), wall(2006, 5, 4), 1, 1, "2005-05-05"},
        {"29 February yearly", yearly(1, 2, 29), wall(2003, 1, 1), wall(2008, 3, 1), 6, 2, "2004-02-29"},
        {"29 February yearly, common year", yearly(1, 2, 29), wall(2003, 1, 1), wall(2008, 3, 1), 6, 3, "-"},
        {"1 January every 2 years", yearly(2, 1, 1), wall(2000, 1, 1), wall(2010, 1, 1), 6, 6, "2010-01-01"},
        {"29 February every 100 years: 2000 is leap", yearly(100, 2, 29), wall(1800, 1, 1), wall(2100, 12, 31), 4, 3, "2000-02-29"},
        {"29 February every 100 years: 1900 is not", yearly(100, 2, 29), wall(1800, 1, 1), wall(2100, 12, 31), 4, 2, "-"},
        {"fourth Thursday of November", yearlyNth(1, 11, 4, 0x10), wall(2004, 1, 1), wall(2006, 11, 22), 2, 3, "2006-11-23"},
        {"last Monday of May every 3 years from June", yearlyNth(3, 5, 5, 0x02), wall(2004, 6, 1), wall(2010, 12, 31), 2, 1, "2007-05-28"},
    };
    for (const CountRow& r : rows) {
        SCOPED_TRACE(r.name);
        CRecurrencePattern p = make(r.shape, r.from);
        long count = -1;
        ASSERT_TRUE(p.GetOccurrences(&count, r.from, r.to));
        EXPECT_EQ(count, r.count);
        FILETIME nth;
        ASSERT_TRUE(p.GetPatternEndDate(&nth, r.n));
        EXPECT_EQ(ZuFileTimeToU64(nth) == 0 ? std::string("-") : text(nth), r.nth);
    }
}

TEST(RecurrenceCount, FailuresAndForms)
{
    CRecurrencePattern p = make(daily(1), wall(2004, 3, 1));
    long count = 99;
    EXPECT_FALSE(p.GetOccurrences(&count, wall(2004, 3, 2), wall(2004, 3, 1)));  // from after to
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(p.GetOccurrences(nullptr, wall(2004, 3, 1), wall(2004, 3, 2)));
    long minutes = 0;
    EXPECT_FALSE(p.GetPatternEndDate(&minutes, 0));
    EXPECT_FALSE(p.GetPatternEndDate(&minutes, -3));
    EXPECT_TRUE(p.GetPatternEndDate(&minutes, 10));
    EXPECT_EQ(textOfMinutes(minutes), "2004-03-10");
    SYSTEMTIME st;
    ASSERT_TRUE(p.GetPatternEndDate(&st, 7));
    EXPECT_EQ(st.wDay, 7);
    EXPECT_EQ(st.wDayOfWeek, 0);  // 2004-03-07 was a Sunday

    // Without end the count runs to 4500-12-31.
    ASSERT_TRUE(p.GetOccurrences(&count));
    EXPECT_EQ(count, (kNoEndMinutes - minutesOf(wall(2004, 3, 1))) / 1440 + 1);
    EXPECT_FALSE(p.GetPatternEndDate(&minutes, count + 1));  // past 4500
    EXPECT_TRUE(p.GetPatternEndDate(&minutes, count));
    EXPECT_EQ(textOfMinutes(minutes), "4500-12-31");

    // Type 4 and an empty pattern compute nothing.
    CRecurrencePattern four;
    four.put_RecurrenceType(4);
    EXPECT_FALSE(four.GetOccurrences(&count, wall(2004, 3, 1), wall(2004, 3, 2)));
    EXPECT_FALSE(four.GetPatternEndDate(&minutes, 1));
    FILETIME f;
    EXPECT_FALSE(four.SeekFirstRecurTime(&f));
    CRecurrencePattern none;
    EXPECT_FALSE(none.GetPatternEndDate(&minutes, 1));
    EXPECT_FALSE(none.SeekFirstRecurTime(&f));
}

namespace {

// A day-by-day reference: does the pattern of this shape, started on `start`, occur on `d`?
// Built on Qt's calendar, independently of the class's formulas.
int nthDayQt(int y, int m, long instance, long mask)
{
    QDate d(y, m, 1);
    int f = 1;
    while (!(mask & (1 << (d.dayOfWeek() % 7)))) {
        d = d.addDays(1);
        ++f;
    }
    int day = f + 7 * static_cast<int>(instance - 1);
    if (instance == 5 && day > QDate(y, m, 1).daysInMonth())
        day -= 7;
    return day;
}

bool occursOn(const Shape& s, const QDate& start, const QDate& d)
{
    if (d < start)
        return false;
    const long months = (d.year() - start.year()) * 12 + d.month() - start.month();
    const long years = d.year() - start.year();
    switch (s.type) {
    case 0:
        if (s.interval == 0)
            return d.dayOfWeek() <= 5;
        return start.daysTo(d) % s.interval == 0;
    case 1: {
        const QDate sunday = start.addDays(-(start.dayOfWeek() % 7));
        return (s.mask & (1 << (d.dayOfWeek() % 7))) && (sunday.daysTo(d) / 7) % s.interval == 0;
    }
    case 2: return d.day() == s.day && months % s.interval == 0;
    case 3: return d.day() == nthDayQt(d.year(), d.month(), s.instance, s.mask) && months % s.interval == 0;
    case 5: return d.month() == s.month && d.day() == s.day && years % s.interval == 0;
    case 6: return d.month() == s.month && d.day() == nthDayQt(d.year(), s.month, s.instance, s.mask) && years % s.interval == 0;
    default: return false;
    }
}

struct PropertyRow {
    const char* name;
    Shape shape;
    FILETIME start;
};

std::vector<PropertyRow> propertyRows()
{
    return {
        {"daily", daily(1), wall(2004, 2, 27)},
        {"every 3 days at 09:00", daily(3), wall(2003, 12, 30, 9)},
        {"every weekday from a Sunday", weekdays(), wall(2004, 2, 29)},
        {"weekly Sunday start, Sunday, every 2", weekly(2, 0x01), wall(2004, 3, 7)},
        {"weekly Sunday start, Sunday and Saturday, every 3", weekly(3, 0x41), wall(2004, 3, 7)},
        {"weekly Saturday start, Monday and Friday, every 2", weekly(2, 0x22), wall(2004, 3, 6)},
        {"weekly every day", weekly(1, 0x7F), wall(2005, 1, 5, 9)},
        {"monthly 31st", monthly(1, 31), wall(2003, 10, 31)},
        {"monthly 31st every 2 from the 1st", monthly(2, 31), wall(2004, 2, 1)},
        {"monthly 30th every 3", monthly(3, 30), wall(2004, 1, 15)},
        {"monthly 29th", monthly(1, 29), wall(2003, 1, 30, 9)},
        {"second Tuesday every 2", monthlyNth(2, 2, 0x04), wall(2004, 1, 20)},
        {"last Sunday", monthlyNth(1, 5, 0x01), wall(2004, 2, 29)},
        {"last Saturday-or-Monday every 3", monthlyNth(3, 5, 0x42), wall(2004, 3, 1)},
        {"first weekday-ish mask", monthlyNth(1, 1, 0x3E), wall(2004, 5, 1)},
        {"yearly 29 February", yearly(1, 2, 29), wall(1999, 3, 1)},
        {"yearly 31 December every 2", yearly(2, 12, 31), wall(2004, 12, 31, 9)},
        {"yearly 5 May every 3 from June", yearly(3, 5, 5), wall(2004, 6, 1)},
        {"fourth Thursday of November", yearlyNth(1, 11, 4, 0x10), wall(2004, 11, 26)},
        {"last Monday of May every 2", yearlyNth(2, 5, 5, 0x02), wall(2004, 1, 1)},
        {"first Sunday of February every 3", yearlyNth(3, 2, 1, 0x01), wall(1999, 2, 7)},
    };
}

} // namespace

TEST(RecurrenceCount, CountsAndNthOccurrencesAgreeForRandomEnds)
{
    // For c = count up to E: the c-th occurrence lies on or before E, the (c+1)-th after it
    // (checked where those dates exist).
    std::mt19937 rng(20040301);
    for (const PropertyRow& row : propertyRows()) {
        SCOPED_TRACE(row.name);
        CRecurrencePattern p = make(row.shape, row.start);
        const long long s = minutesOf(row.start);
        std::uniform_int_distribution<long long> span(0, 6LL * 366 * 1440);
        for (int i = 0; i < 300; ++i) {
            const long long e = s + span(rng);
            long c = -1;
            ASSERT_TRUE(p.GetOccurrences(&c, row.start, fromMinutes(e)));
            long at = 0;
            if (c >= 1) {
                ASSERT_TRUE(p.GetPatternEndDate(&at, c));
                EXPECT_LE(at, e) << "c=" << c << " E=" << textOfMinutes(e);
            }
            ASSERT_TRUE(p.GetPatternEndDate(&at, c + 1));
            if (at != 0) {
                EXPECT_GT(at, e) << "c=" << c << " E=" << textOfMinutes(e);
            }
        }
    }
}

TEST(RecurrenceCount, NthDatesCountsAndWalksMatchADayByDayReference)
{
    std::mt19937 rng(31);
    for (const PropertyRow& row : propertyRows()) {
        SCOPED_TRACE(row.name);
        CRecurrencePattern p = make(row.shape, row.start);
        SYSTEMTIME st;
        FileTimeToSystemTime(&row.start, &st);
        const QDate start(st.wYear, st.wMonth, st.wDay);
        const long long tod = minutesOf(row.start) % 1440;
        const QDate horizon = start.addYears(8);
        std::vector<long long> reference;  // minutes of every existing occurrence up to the horizon
        for (QDate d = start; d <= horizon; d = d.addDays(1)) {
            if (occursOn(row.shape, start, d))
                reference.push_back(minutesOf(wall(d.year(), d.month(), d.day())) + tod);
        }
        ASSERT_FALSE(reference.empty());
        const long long last = reference.back();

        // GetPatternEndDate for n = 1, 2, ... with the dates that do not exist left out.
        std::vector<long long> byIndex;
        for (long n = 1; byIndex.size() < reference.size(); ++n) {
            long at = -1;
            ASSERT_TRUE(p.GetPatternEndDate(&at, n));
            ASSERT_LE(n, 20000);
            if (at != 0)
                byIndex.push_back(at);
        }
        EXPECT_EQ(byIndex, reference);

        // The walk.
        std::vector<long long> walked;
        FILETIME f;
        for (int ok = p.SeekFirstRecurTime(&f); ok && minutesOf(f) <= last; ok = p.SeekNextRecurTime(&f))
            walked.push_back(minutesOf(f));
        EXPECT_EQ(walked, reference);

        // Counting, for patterns whose every slot has a date.
        const bool everyDateExists = row.shape.type != 2 && row.shape.type != 5;
        // And positioning from an arbitrary instant.
        std::uniform_int_distribution<long long> pick(minutesOf(row.start) - 5000, last);
        for (int i = 0; i < 50; ++i) {
            const long long from = pick(rng);
            const auto want = std::lower_bound(reference.begin(), reference.end(), from);
            ASSERT_NE(want, reference.end());
            ASSERT_TRUE(p.SeekRecurTimeFrom(&f, fromMinutes(from)));
            EXPECT_EQ(minutesOf(f), *want) << "from " << textOfMinutes(from);
            if (want + 1 != reference.end()) {
                ASSERT_TRUE(p.SeekNextRecurTime(&f));
                EXPECT_EQ(minutesOf(f), *(want + 1));
            }
            if (everyDateExists && from >= minutesOf(row.start)) {
                long c = -1;
                ASSERT_TRUE(p.GetOccurrences(&c, row.start, fromMinutes(from)));
                EXPECT_EQ(c, std::upper_bound(reference.begin(), reference.end(), from) - reference.begin());
            }
        }
    }
}

// ---- The walk -------------------------------------------------------------------------------

TEST(RecurrenceWalk, EndsAfterItsCount)
{
    CRecurrencePattern p = make(weekly(1, 0x02), wall(2004, 3, 1));
    ASSERT_TRUE(p.put_Occurrences(5));
    FILETIME f;
    ASSERT_TRUE(p.SeekFirstRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-01");
    for (const char* want : {"2004-03-08", "2004-03-15", "2004-03-22", "2004-03-29"}) {
        ASSERT_TRUE(p.SeekNextRecurTime(&f));
        EXPECT_EQ(text(f), want);
    }
    EXPECT_FALSE(p.SeekNextRecurTime(&f));
    ASSERT_TRUE(p.SeekPrevRecurTime(&f));  // the failed step left the index past the end
    EXPECT_EQ(text(f), "2004-03-29");
    ASSERT_TRUE(p.SeekLastRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-29");
    FILETIME end;
    p.get_PatternEndDate(&end);
    EXPECT_EQ(text(end), "2004-03-29");
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(p.SeekPrevRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-01");
    EXPECT_FALSE(p.SeekPrevRecurTime(&f));
}

TEST(RecurrenceWalk, EndsOnItsDate)
{
    CRecurrencePattern p = make(monthly(1, 15), wall(2004, 1, 1));
    ASSERT_TRUE(p.put_PatternEndDate(wall(2004, 4, 20)));
    EXPECT_EQ(walk(p), (std::vector<std::string>{"2004-01-15", "2004-02-15", "2004-03-15", "2004-04-15"}));
    long count = 0;
    p.get_Occurrences(&count);
    EXPECT_EQ(count, 4);
    FILETIME f;
    ASSERT_TRUE(p.SeekLastRecurTime(&f));
    EXPECT_EQ(text(f), "2004-04-15");
    // Without end there is no last occurrence.
    ASSERT_TRUE(p.put_NoEndDate(1));
    EXPECT_FALSE(p.SeekLastRecurTime(&f));
    EXPECT_EQ(walk(p, 1000).size(), 1000u);
}

TEST(RecurrenceWalk, SeekFromPositionsInConstantTimeAndContinues)
{
    // Daily since 1700: positioning in 2004 does not walk three centuries.
    CRecurrencePattern p = make(daily(1), wall(1700, 1, 1, 9));
    FILETIME f;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(p.SeekRecurTimeFrom(&f, wall(2004, 3, 1, 9, 1)));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
    EXPECT_EQ(text(f), "2004-03-02 09:00");
    ASSERT_TRUE(p.SeekNextRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-03 09:00");
    ASSERT_TRUE(p.SeekPrevRecurTime(&f));
    ASSERT_TRUE(p.SeekPrevRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-01 09:00");

    // Before the start: the first occurrence. After the end: nothing.
    CRecurrencePattern q = make(monthly(1, 31), wall(2004, 1, 1));
    ASSERT_TRUE(q.SeekRecurTimeFrom(&f, wall(1990, 1, 1)));
    EXPECT_EQ(text(f), "2004-01-31");
    ASSERT_TRUE(q.SeekRecurTimeFrom(&f, wall(2004, 2, 1)));  // February has no 31st
    EXPECT_EQ(text(f), "2004-03-31");
    q.put_Occurrences(3);  // slots January, February, March
    EXPECT_FALSE(q.SeekRecurTimeFrom(&f, wall(2004, 4, 1)));
    EXPECT_FALSE(q.SeekRecurTimeFrom(&f, wall(4600, 1, 1)));
}

// ---- Sentences ------------------------------------------------------------------------------

TEST(RecurrenceText, SentencesForEveryType)
{
    struct Row {
        Shape shape;
        const wchar_t* want;
    };
    const Row rows[] = {
        {daily(3), L"3 일 마다 반복"},
        {daily(1), L"매일 반복"},
        {weekdays(), L"주중(월~금) 반복"},
        {weekly(1, 0x02), L"매주 월요일 에 반복"},
        {weekly(2, 0x0A), L"2 주 마다 월요일 그리고 수요일에 반복"},
        {monthly(1, 31), L"1 개월 마다  31일에 반복"},
        {monthlyNth(2, 2, 0x04), L"2 개월 마다  두번째 화요일에 반복"},
        {yearly(2, 5, 5), L"2 년 마다 5월 5 일에 반복"},
        {yearlyNth(1, 5, 5, 0x02), L"1 년 마다 5월 의 마지막 월요일 에 반복"},
    };
    for (const Row& r : rows) {
        CRecurrencePattern p = make(r.shape, wall(2004, 3, 1));
        CString s;
        ASSERT_TRUE(p.RecurPatternToStr(s));
        EXPECT_EQ(s, CString(r.want)) << s.toUtf8();
    }
    // With an end: start text, end text, pattern part. "%02d" of the year prints all four digits.
    CRecurrencePattern p = make(daily(3), wall(2004, 3, 1));
    p.put_Occurrences(10);
    CString s;
    ASSERT_TRUE(p.RecurPatternToStr(s));
    EXPECT_EQ(s, CString(L"2004-03-01 부터 2004-03-28 까지 3 일 마다 반복")) << s.toUtf8();
    p.put_PatternEndDate(wall(2004, 4, 2));
    ASSERT_TRUE(p.RecurPatternToStr(s));
    EXPECT_EQ(s, CString(L"2004-03-01 부터 2004-04-02 까지 3 일 마다 반복")) << s.toUtf8();

    CRecurrencePattern none;
    EXPECT_FALSE(none.RecurPatternToStr(s));
    CRecurrencePattern four;
    four.put_RecurrenceType(4);
    ASSERT_TRUE(four.RecurPatternToStr(s));
    EXPECT_EQ(s, CString(L""));
}

// ---- Records --------------------------------------------------------------------------------

namespace {

CEOID addRecord(int selector, const std::vector<CCeDBProp>& props)
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, selector));
    CCeDBRecord r;
    r.AddProps(props.data(), static_cast<WORD>(props.size()));
    return db.WriteRecord(r, 0);
}

std::string storedBlob(int selector, CEOID oid, WORD ident)
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, selector));
    CCeDBRecord r;
    if (!db.SeekToRecord(oid) || !db.ReadCurrRecord(&r))
        return "missing";
    CCeDBProp* p = r.GetIdProp(ident);
    if (!p)
        return "none";
    const CEBLOB b = p->GetBlob();
    return toHex(b.lpb, b.dwCount);
}

} // namespace

TEST(RecurrenceStore, LoadsFromAndSavesToRecords)
{
    ZuTestHome home;
    std::vector<BYTE> weekly = fromHex(goldens()[0].hex);
    const CEOID apt = addRecord(ZU_SEL_APPOINTMENTS,
        {CCeDBProp(L"회의", ZUID_APT_SUBJECT), CCeDBProp(short(1), ZUID_APT_RECURRING), CCeDBProp(blobOf(weekly), ZUID_APT_RECURRENCE)});
    const CEOID plain = addRecord(ZU_SEL_APPOINTMENTS, {CCeDBProp(short(0), ZUID_APT_RECURRING), CCeDBProp(blobOf(weekly), ZUID_APT_RECURRENCE)});

    CRecurrencePattern loaded(apt, 1);
    ASSERT_TRUE(loaded.IsValid());
    long duration = 0;
    loaded.get_Duration(&duration);
    EXPECT_EQ(duration, 60);
    EXPECT_EQ(written(loaded), goldens()[0].hex);

    // Changed and written back: only the BLOB property changes.
    ASSERT_TRUE(loaded.put_Occurrences(4));
    ASSERT_TRUE(loaded.SaveRecurPattern());
    CRecurrencePattern again(apt, 1);
    long count = 0;
    ASSERT_TRUE(again.get_Occurrences(&count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(again.GetEndDateType(), 2u);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    CCeDBRecord r;
    ASSERT_TRUE(db.SeekToRecord(apt) && db.ReadCurrRecord(&r));
    ASSERT_NE(r.GetIdProp(ZUID_APT_SUBJECT), nullptr);
    EXPECT_STREQ(r.GetIdProp(ZUID_APT_SUBJECT)->GetString(), L"회의");
    CloseDatabase(&db);

    // Not recurring, missing, or of a kind without a database: uninitialised.
    EXPECT_FALSE(CRecurrencePattern(plain, 1).IsInitialized());
    EXPECT_FALSE(CRecurrencePattern(apt + 1000, 1).IsInitialized());
    EXPECT_FALSE(CRecurrencePattern(apt, 2).IsInitialized());
    CRecurrencePattern other = make(daily(1), wall(2004, 3, 1));
    EXPECT_FALSE(other.SaveRecurPattern(apt, 2));
    EXPECT_FALSE(other.SaveRecurPattern(apt + 1000, 1));

    // A task: the duration is due - start; SaveRecurPattern(oid, kind) writes property 0x4116.
    const CEOID task = addRecord(ZU_SEL_TASKS, {CCeDBProp(short(1), ZUID_TASK_RECURRING), CCeDBProp(wall(2004, 3, 1), ZUID_TASK_START),
                                                   CCeDBProp(wall(2004, 3, 3, 12), ZUID_TASK_DUE), CCeDBProp(blobOf(weekly), ZUID_TASK_RECURRENCE)});
    CRecurrencePattern t(task, 4);
    ASSERT_TRUE(t.IsValid());
    t.get_Duration(&duration);
    EXPECT_EQ(duration, 2 * 1440 + 720);
    CRecurrencePattern yearlyTask(4);
    build(yearlyTask, yearly(2, 5, 5), wall(2004, 1, 10));
    yearlyTask.put_Occurrences(3);
    ASSERT_TRUE(yearlyTask.SaveRecurPattern(task, 4));
    EXPECT_EQ(storedBlob(ZU_SEL_TASKS, task, ZUID_TASK_RECURRENCE), goldens()[5].hex);
}

// ---- Faults that must not come back ---------------------------------------------------------

TEST(RecurrenceRegression, DatesThatDoNotExistAreSkippedAndNothingHangs)
{
    FILETIME f;
    // The 31st monthly: Feb, Apr and Jun slots give minute 0 and the walk passes over them.
    CRecurrencePattern p = make(monthly(1, 31), wall(2004, 1, 1));
    long minutes = -1;
    ASSERT_TRUE(p.GetPatternEndDate(&minutes, 4));  // April
    EXPECT_EQ(minutes, 0);
    EXPECT_EQ(walk(p, 4), (std::vector<std::string>{"2004-01-31", "2004-03-31", "2004-05-31", "2004-07-31"}));
    p.put_Occurrences(4);  // Jan, Feb, Mar, Apr: the last existing is March
    ASSERT_TRUE(p.SeekLastRecurTime(&f));
    EXPECT_EQ(text(f), "2004-03-31");
    ASSERT_TRUE(p.SeekPrevRecurTime(&f));
    EXPECT_EQ(text(f), "2004-01-31");
    FILETIME end;
    p.get_PatternEndDate(&end);
    EXPECT_EQ(text(end), "2004-03-31");

    // Patterns none of whose dates exist fail at once, in every direction.
    const std::pair<Shape, FILETIME> never[] = {
        {yearly(4, 2, 29), wall(2001, 1, 1)},   // 2001, 2005, ...: never a leap year
        {monthly(12, 30), wall(2004, 2, 1)},   // every February
        {yearly(1, 4, 31), wall(2004, 1, 1)},  // 31 April
    };
    for (const auto& [shape, start] : never) {
        CRecurrencePattern q = make(shape, start);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(q.SeekFirstRecurTime(&f));
        EXPECT_FALSE(q.SeekNextRecurTime(&f));
        EXPECT_FALSE(q.SeekRecurTimeFrom(&f, wall(2100, 1, 1)));
        q.put_Occurrences(1000000);
        EXPECT_FALSE(q.SeekLastRecurTime(&f));
        EXPECT_FALSE(q.SeekPrevRecurTime(&f));
        EXPECT_EQ(written(q), "");  // no existing occurrence: nothing to store
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));
    }

    // Walks stop at 4500-12-31.
    CRecurrencePattern late = make(daily(1), wall(4500, 12, 30));
    EXPECT_EQ(walk(late), (std::vector<std::string>{"4500-12-30", "4500-12-31"}));
    CRecurrencePattern after = make(monthly(1, 1), wall(4500, 12, 31, 23, 59));
    EXPECT_EQ(walk(after).size(), 0u);
    EXPECT_FALSE(after.put_PatternStartDate(wall(4501, 1, 1)));
}

TEST(RecurrenceRegression, WhatCannotBeComputedIsRefused)
{
    struct Put {
        const char* name;
        long type;
        int (CRecurrencePattern::*put)(long);
        long value;
    };
    const Put refused[] = {
        {"interval 0 weekly", 1, &CRecurrencePattern::put_Interval, 0},
        {"negative interval daily", 0, &CRecurrencePattern::put_Interval, -1},
        {"interval 1000", 2, &CRecurrencePattern::put_Interval, 1000},
        {"empty mask", 1, &CRecurrencePattern::put_DayOfWeekMask, 0},
        {"mask above 127", 1, &CRecurrencePattern::put_DayOfWeekMask, 128},
        {"instance 0", 3, &CRecurrencePattern::put_Instance, 0},
        {"instance 6", 3, &CRecurrencePattern::put_Instance, 6},
        {"day 0", 2, &CRecurrencePattern::put_DayOfMonth, 0},
        {"day 32", 2, &CRecurrencePattern::put_DayOfMonth, 32},
        {"month 0", 5, &CRecurrencePattern::put_MonthOfYear, 0},
        {"month 13", 5, &CRecurrencePattern::put_MonthOfYear, 13},
        {"negative count", 1, &CRecurrencePattern::put_Occurrences, -1},
        {"negative duration", 1, &CRecurrencePattern::put_Duration, -5},
    };
    for (const Put& r : refused) {
        CRecurrencePattern p;
        EXPECT_FALSE((p.*r.put)(1)) << r.name << ": refused while the type is -1";
        p.put_RecurrenceType(r.type);
        EXPECT_FALSE((p.*r.put)(r.value)) << r.name;
    }
    CRecurrencePattern p;
    EXPECT_FALSE(p.put_RecurrenceType(7));
    EXPECT_FALSE(p.put_RecurrenceType(-1));
    p.put_RecurrenceType(1);
    p.put_Interval(3);
    EXPECT_FALSE(p.put_Interval(0));
    long n = 0;
    p.get_Interval(&n);
    EXPECT_EQ(n, 3);  // unchanged
    // A weekly pattern whose mask was never set computes nothing and writes nothing.
    long count = 0;
    EXPECT_FALSE(p.GetOccurrences(&count, wall(2004, 1, 1), wall(2005, 1, 1)));
    CString s;
    EXPECT_FALSE(p.RecurPatternToStr(s));
    EXPECT_EQ(written(p), "");
    long day = 0;
    CRecurrencePattern monthlyNoDay;
    monthlyNoDay.put_RecurrenceType(2);
    EXPECT_FALSE(monthlyNoDay.get_DayOfMonth(&day));

    // The same values inside a BLOB: the pattern stays uninitialised.
    struct Poke {
        const char* name;
        int golden;
        size_t offset;
        DWORD value;
    };
    const Poke pokes[] = {
        {"weekly interval 0", 0, 14, 0},
        {"weekly interval 1000", 0, 14, 1000},
        {"weekly empty mask", 0, 22, 0},
        {"weekly mask 0x80", 0, 22, 0x80},
        {"daily period below a day", 1, 14, 1439},
        {"every weekday, empty mask", 2, 22, 0},
        {"monthly day 0", 3, 22, 0},
        {"monthly day 32", 3, 22, 32},
        {"nth instance 0", 4, 26, 0},
        {"nth instance 6", 4, 26, 6},
        {"nth empty mask", 4, 22, 0},
        {"yearly period 0", 5, 14, 0},
        {"yearly period of 1000 years", 5, 14, 12000},
    };
    for (const Poke& k : pokes) {
        std::vector<BYTE> b = fromHex(goldens()[k.golden].hex);
        for (int i = 0; i < 4; ++i)
            b[k.offset + i] = static_cast<BYTE>(k.value >> (8 * i));
        CRecurrencePattern q(blobOf(b), 1, goldens()[k.golden].kind);
        EXPECT_FALSE(q.IsInitialized()) << k.name;
        FILETIME f;
        EXPECT_FALSE(q.SeekFirstRecurTime(&f)) << k.name;
    }
}

TEST(RecurrenceRegression, TheEndTypeWrittenIsTheOneChosen)
{
    // A count chosen and then an end date chosen: ends by date, count derived from the date.
    CRecurrencePattern p = make(daily(2), wall(2004, 3, 1));
    p.put_Occurrences(5);
    p.put_PatternEndDate(wall(2004, 3, 12));  // occurrences 1, 3, ..., 11: 6, last on the 11th
    std::string hex = written(p);
    EXPECT_EQ(le32(hex, 22), 0x2021u);
    EXPECT_EQ(le32(hex, 26), 6u);
    EXPECT_EQ(le32(hex, 46), static_cast<DWORD>(minutesOf(wall(2004, 3, 11))));  // snapped onto the last
    FILETIME end;
    p.get_PatternEndDate(&end);
    EXPECT_EQ(text(end), "2004-03-11");

    // Back to the count: SetEndDateType keeps the count already chosen and derives the date.
    p.put_Occurrences(5);
    EXPECT_EQ(p.SetEndDateType(1), 2u);
    EXPECT_EQ(p.SetEndDateType(2), 1u);
    EXPECT_EQ(p.SetEndDateType(9), 2u);  // refused, unchanged
    hex = written(p);
    EXPECT_EQ(le32(hex, 22), 0x2022u);
    EXPECT_EQ(le32(hex, 46), static_cast<DWORD>(minutesOf(wall(2004, 3, 9))));

    // Ending on its own start date: one occurrence, not zero.
    CRecurrencePattern once = make(daily(1), wall(2004, 3, 1));
    once.put_PatternEndDate(wall(2004, 3, 1));
    long count = 0;
    ASSERT_TRUE(once.GetOccurrences(&count));
    EXPECT_EQ(count, 1);
    hex = written(once);
    EXPECT_EQ(le32(hex, 26), 1u);
    EXPECT_EQ(le32(hex, 42), le32(hex, 46));

    // An end before the start, or no occurrence at all, is not written.
    CRecurrencePattern before = make(daily(1), wall(2004, 3, 1));
    before.put_PatternEndDate(wall(2004, 2, 1));
    EXPECT_EQ(written(before), "");
    EXPECT_FALSE(before.GetOccurrences(&count));
    CRecurrencePattern zero = make(daily(1), wall(2004, 3, 1));
    zero.put_Occurrences(0);
    EXPECT_EQ(written(zero), "");
    CRecurrencePattern between = make(monthly(1, 10), wall(2004, 1, 15));
    between.put_PatternEndDate(wall(2004, 1, 20));
    EXPECT_EQ(written(between), "");
}

TEST(RecurrenceRegression, WeeklyFromASundayWithAnInterval)
{
    // Sunday start, Sundays every 2 weeks: the 2nd occurrence is two weeks on, not one.
    CRecurrencePattern p = make(weekly(2, 0x01), wall(2004, 3, 7));
    FILETIME f;
    ASSERT_TRUE(p.GetPatternEndDate(&f, 2));
    EXPECT_EQ(text(f), "2004-03-21");
    ASSERT_TRUE(p.GetPatternEndDate(&f, 3));
    EXPECT_EQ(text(f), "2004-04-04");
    // Sunday start, Saturday only, every 3 weeks: the first Saturday is in the start's week.
    CRecurrencePattern q = make(weekly(3, 0x40), wall(2004, 3, 7));
    EXPECT_EQ(walk(q, 3), (std::vector<std::string>{"2004-03-13", "2004-04-03", "2004-04-24"}));
}

TEST(RecurrenceRegression, NthWeekdayLastMonthReductionOnlyInOccurrenceMonths)
{
    // Second Tuesday every 2 months from January: a range ending on 1 February holds January's.
    CRecurrencePattern p = make(monthlyNth(2, 2, 0x04), wall(2004, 1, 1));
    long count = 0;
    ASSERT_TRUE(p.GetOccurrences(&count, wall(2004, 1, 1), wall(2004, 2, 1)));
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(p.GetOccurrences(&count, wall(2004, 1, 1), wall(2004, 3, 8)));  // March's is the 9th
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(p.GetOccurrences(&count, wall(2004, 1, 1), wall(2004, 3, 9)));
    EXPECT_EQ(count, 2);
}

TEST(RecurrenceRegression, YearlyPatternsHonourTheirInterval)
{
    CRecurrencePattern p = make(yearly(2, 3, 1), wall(2004, 3, 1));
    EXPECT_EQ(walk(p, 3), (std::vector<std::string>{"2004-03-01", "2006-03-01", "2008-03-01"}));
    long count = 0;
    ASSERT_TRUE(p.GetOccurrences(&count, wall(2004, 3, 1), wall(2009, 12, 31)));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(le32(written(p), 14), 24u);  // the period stays interval * 12
    // From after the start year's date, the first is one interval later.
    CRecurrencePattern q = make(yearlyNth(3, 1, 1, 0x02), wall(2004, 6, 1));
    EXPECT_EQ(walk(q, 2), (std::vector<std::string>{"2007-01-01", "2010-01-04"}));
}

TEST(RecurrenceRegression, AppointmentsCrossingMidnightKeepAPositiveDuration)
{
    CRecurrencePattern p = make(daily(1), wall(2004, 3, 1));
    p.put_StartTime(1320);
    p.put_EndTime(60);  // 22:00 to 01:00
    long v = 0;
    p.get_Duration(&v);
    EXPECT_EQ(v, 180);
    std::string hex = written(p);
    EXPECT_EQ(le32(hex, 58), 1320u);
    EXPECT_EQ(le32(hex, 62), 1500u);  // start + duration
    std::vector<BYTE> b = fromHex(hex);
    b[62] = 60;  // a stored end offset below the start offset
    b[63] = 0;
    CRecurrencePattern read(blobOf(b), 1, 1);
    read.get_Duration(&v);
    EXPECT_EQ(v, 180);

    // A duration above a day moves the end offset past 1440; moving the start keeps it.
    ASSERT_TRUE(p.put_Duration(1500));
    p.get_EndTime(&v);
    EXPECT_EQ(v, 2820);
    p.put_StartTime(600);
    p.get_EndTime(&v);
    EXPECT_EQ(v, 2100);
    p.get_Duration(&v);
    EXPECT_EQ(v, 1500);
}

TEST(RecurrenceRegression, ExceptionDatesAreSkipped)
{
    // The weekly golden with 2 deleted and 1 modified dates inserted after their counts.
    const std::vector<BYTE> plain = fromHex(goldens()[0].hex);
    const auto withExceptions = [&](DWORD deleted, DWORD modified, size_t datesPresent) {
        std::vector<BYTE> b(plain.begin(), plain.begin() + 38);
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<BYTE>(deleted >> (8 * i)));
        for (size_t k = 0; k < std::min<size_t>(deleted, datesPresent) * 4; ++k)
            b.push_back(0xEE);
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<BYTE>(modified >> (8 * i)));
        for (size_t k = 0; k < std::min<size_t>(modified, datesPresent) * 4; ++k)
            b.push_back(0xDD);
        b.insert(b.end(), plain.begin() + 46, plain.end());
        return b;
    };
    std::vector<BYTE> full = withExceptions(2, 1, 2);
    CRecurrencePattern p(blobOf(full), 1, 1);
    ASSERT_TRUE(p.IsValid());
    FILETIME f;
    p.get_PatternStartDate(&f);
    EXPECT_EQ(text(f), "2004-03-01");
    long v = 0;
    p.get_StartTime(&v);
    EXPECT_EQ(v, 540);
    p.get_Duration(&v);
    EXPECT_EQ(v, 60);
    EXPECT_EQ(written(p), goldens()[0].hex);  // our writer writes no exceptions

    // Counts whose dates are not there: corrupt.
    std::vector<BYTE> tooMany = withExceptions(1000, 0, 0);
    EXPECT_FALSE(CRecurrencePattern(blobOf(tooMany), 1, 1).IsInitialized());
    std::vector<BYTE> hugeModified = withExceptions(0, 0xFFFFFFFF, 0);
    EXPECT_FALSE(CRecurrencePattern(blobOf(hugeModified), 1, 1).IsInitialized());
}

// ---- Robustness -----------------------------------------------------------------------------

namespace {

// Everything a reader may do with a pattern, bounded: the sentence, counts, n-th dates, a walk
// both ways, positioning, and a write that must read back to the same bytes.
void exercise(CRecurrencePattern& p, UINT kind)
{
    CString s;
    p.RecurPatternToStr(s);
    long count = 0;
    p.GetOccurrences(&count);
    p.GetOccurrences(&count, wall(2004, 1, 1), wall(2004, 12, 31));
    long minutes = 0;
    for (long n : {1L, 2L, 7L, 100L, 10000L, 1999999L, 2000001L, LONG_MAX})
        p.GetPatternEndDate(&minutes, n);
    FILETIME f;
    int steps = 0;
    for (int ok = p.SeekFirstRecurTime(&f); ok && steps < 40; ok = p.SeekNextRecurTime(&f))
        ++steps;
    p.SeekLastRecurTime(&f);
    p.SeekPrevRecurTime(&f);
    p.SeekRecurTimeFrom(&f, wall(2004, 3, 1));
    p.SeekRecurTimeFrom(&f, ZuU64ToFileTime(~0ULL));
    CEBLOB out{};
    if (p.GetRecurPattern(&out)) {
        CRecurrencePattern again(out, 1, kind);
        CEBLOB second{};
        EXPECT_TRUE(again.GetRecurPattern(&second));
        EXPECT_EQ(toHex(second.lpb, second.dwCount), toHex(out.lpb, out.dwCount));
        LocalFree(second.lpb);
        LocalFree(out.lpb);
    }
}

} // namespace

TEST(RecurrenceSweep, TruncationsAndByteFlipsOfEveryGoldenBlob)
{
    std::mt19937 rng(0x5AE980DF);
    int parsed = 0;
    for (const Golden& g : goldens()) {
        const std::vector<BYTE> bytes = fromHex(g.hex);
        for (size_t length = 0; length <= bytes.size(); ++length) {
            std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
            for (UINT kind : {1u, 4u}) {
                CRecurrencePattern p(CEBLOB{static_cast<DWORD>(cut.size()), cut.empty() ? nullptr : cut.data()}, 1, kind);
                parsed += p.IsValid();
                exercise(p, kind);
            }
        }
        std::uniform_int_distribution<size_t> where(0, bytes.size() - 1);
        std::uniform_int_distribution<int> value(1, 255);
        for (int i = 0; i < 2500; ++i) {
            std::vector<BYTE> b = bytes;
            const int flips = 1 + i % 4;
            for (int k = 0; k < flips; ++k)
                b[where(rng)] ^= static_cast<BYTE>(value(rng));
            const UINT kind = i % 2 ? 4u : 1u;
            CRecurrencePattern p(blobOf(b), 0, kind);
            parsed += p.IsValid();
            exercise(p, kind);
        }
    }
    EXPECT_GT(parsed, 100);  // the sweep reaches the computing code, not only the refusals
}

TEST(RecurrenceSweep, ExtremeFieldValuesStayInsideTheLimits)
{
    // Largest interval, latest start, a count past anything reachable: no overflow, quick failures.
    for (const Shape& shape : {daily(999), weekly(999, 0x7F), monthly(999, 31), monthlyNth(999, 5, 0x7F), yearly(999, 2, 29),
             yearlyNth(999, 12, 5, 0x40)}) {
        for (const FILETIME& start : {wall(1601, 1, 1), wall(4500, 12, 31, 23, 59)}) {
            CRecurrencePattern p = make(shape, start);
            exercise(p, 1);
            p.put_Occurrences(LONG_MAX);
            exercise(p, 1);
            p.put_PatternEndDate(wall(4500, 12, 31, 23, 59));
            exercise(p, 1);
            p.put_StartTime(LONG_MIN);
            p.put_EndTime(LONG_MAX);
            p.put_Duration(LONG_MAX);
            exercise(p, 1);
            p.put_StartTime(INT32_MAX - 5);
            p.put_EndTime(INT32_MAX - 6);  // "crosses midnight": the end offset would pass 32 bits
            exercise(p, 1);
        }
    }
}

TEST(RecurrenceSweep, ObjectsOnSeveralThreadsDoNotMeet)
{
    // The loading thread works on its own objects while others work on theirs.
    const auto run = [] {
        std::vector<std::string> all;
        for (const PropertyRow& row : propertyRows()) {
            CRecurrencePattern p = make(row.shape, row.start);
            FILETIME f;
            for (int ok = p.SeekRecurTimeFrom(&f, wall(2006, 1, 1)), k = 0; ok && k < 20; ok = p.SeekNextRecurTime(&f), ++k)
                all.push_back(text(f));
        }
        return all;
    };
    const std::vector<std::string> alone = run();
    std::vector<std::vector<std::string>> results(3);
    std::vector<std::thread> threads;
    for (auto& r : results)
        threads.emplace_back([&r, &run] { r = run(); });
    for (auto& t : threads)
        t.join();
    for (const auto& r : results)
        EXPECT_EQ(r, alone);
}
