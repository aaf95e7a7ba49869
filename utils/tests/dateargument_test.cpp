// The date argument of zupim's commands: what is read as which day, and what is refused.
#include "dateargument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DateArgument, ReadsRealDaysOfTheYears1601To9999)
{
    const struct {
        const char* text;
        int y, m, d;
    } cases[] = {
        {"2026-12-10", 2026, 12, 10},
        {"2024-02-29", 2024, 2, 29},
        {"1601-01-01", 1601, 1, 1},
        {"9999-12-31", 9999, 12, 31},
        {"2026-1-5", 2026, 1, 5},
    };
    for (const auto& c : cases) {
        SYSTEMTIME date{};
        date.wHour = 7;
        ASSERT_TRUE(ZuParseDateArgument(c.text, date)) << c.text;
        EXPECT_EQ(date.wYear, c.y) << c.text;
        EXPECT_EQ(date.wMonth, c.m) << c.text;
        EXPECT_EQ(date.wDay, c.d) << c.text;
        EXPECT_EQ(date.wHour, 0) << c.text;
    }
}

TEST(DateArgument, RefusesOtherTextAndLeavesTheDate)
{
    for (const char* text : {"", "today", "2026-12", "2026-12-10x", "2026-12-10 ", "20261-01-01", "2026/12/10",
             "2023-02-29", "2026-04-31", "2026-00-10", "2026-13-01", "2026-12-00", "1600-12-31", "--day"}) {
        SYSTEMTIME date{};
        date.wYear = 1111;
        EXPECT_FALSE(ZuParseDateArgument(text, date)) << '"' << text << '"';
        EXPECT_EQ(date.wYear, 1111) << text;
    }
}

}  // namespace
