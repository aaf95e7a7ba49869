// The skipped dates of a recurring appointment (0x8801): the stored list pinned byte for byte
// against the worked example of recordlayouts.h, lists that break the layout read as none, and
// the filter that keeps only the occurrences of a pattern.
#include "recurrenceskips.h"

#include "filetime.h"
#include "recurrencebuilders.h"
#include "testtime.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using zutest::wall;

ULONGLONG day(int y, int m, int d, int h = 0)
{
    return ZuFileTimeToU64(wall(y, m, d, h));
}

TEST(SkippedDates, WorkedExampleByteForByteAndBack)
{
    // Unsorted, twice, and not at midnight: stored sorted, once, at 00:00.
    const std::vector<BYTE> bytes = ZuSkippedDatesToBytes({day(2026, 3, 17, 9), day(2026, 3, 10), day(2026, 3, 17)});
    const std::vector<BYTE> expected = {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x00, 0x44, 0x54, 0x0D, 0x60, 0x6B, 0x54, 0x0D};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(ZuSkippedDatesFromBytes(bytes), (ZuSkippedDates{day(2026, 3, 10), day(2026, 3, 17)}));
    EXPECT_TRUE(ZuSkippedDatesToBytes({}).empty());

    const ZuSkippedDates dates = ZuSkippedDatesFromBytes(bytes);
    EXPECT_TRUE(ZuIsSkippedDate(dates, day(2026, 3, 10, 23)));
    EXPECT_FALSE(ZuIsSkippedDate(dates, day(2026, 3, 11)));
}

TEST(SkippedDates, ListsThatBreakTheLayoutReadAsNone)
{
    const std::vector<BYTE> good = ZuSkippedDatesToBytes({day(2026, 3, 10), day(2026, 3, 17)});
    const auto changed = [&](size_t at, BYTE value) {
        std::vector<BYTE> b = good;
        b[at] = value;
        return b;
    };
    const std::vector<BYTE> shorter(good.begin(), good.begin() + 15);
    std::vector<BYTE> longer = good;
    longer.push_back(0);
    const std::vector<std::vector<BYTE>> broken = {
        {}, {0x01, 0x00}, shorter, longer,
        changed(0, 2),                     // another version
        changed(4, 3),                     // a count the bytes do not hold
        changed(8, 0x01),                  // a date not at 00:00
        {0x01, 0, 0, 0, 2, 0, 0, 0, 0x60, 0x6B, 0x54, 0x0D, 0x00, 0x44, 0x54, 0x0D},  // dates that do not ascend
    };
    for (size_t i = 0; i < broken.size(); ++i)
        EXPECT_TRUE(ZuSkippedDatesFromBytes(broken[i]).empty()) << "case " << i;
}

TEST(SkippedDates, OnlyOccurrencesOfThePatternAreKept)
{
    CRecurrencePattern weekly(1);  // Tuesdays from 2026-03-03, four times
    ASSERT_TRUE(zutest::putShape(weekly, zutest::weekly(1, 4), wall(2026, 3, 3)));
    ASSERT_TRUE(weekly.put_Occurrences(4));
    ZuSkippedDates dates = {day(2026, 3, 3), day(2026, 3, 4), day(2026, 3, 17), day(2026, 3, 31), day(2026, 2, 24)};
    ZuKeepOccurrenceDates(weekly, dates);
    EXPECT_EQ(dates, (ZuSkippedDates{day(2026, 3, 3), day(2026, 3, 17)}));  // 3/31 is the fifth

    CRecurrencePattern none(1);
    dates = {day(2026, 3, 3)};
    ZuKeepOccurrenceDates(none, dates);
    EXPECT_TRUE(dates.empty());
}

}  // namespace
