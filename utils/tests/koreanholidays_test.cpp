// The public holidays by the rules of each year: complete lists of years checked against the
// published calendars, the eras of the days that came and went, substitute days in the cases the
// rules leave open, election days and the covered range.
#include "koreanholidays.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace {

std::string utf8(const CString& text)
{
    return QString::fromStdWString(text.str()).toStdString();
}

// "MM-DD name" a line, red days only.
std::string redDays(int year)
{
    std::string text;
    for (const ZuPublicHoliday& h : ZuHolidaysOfYear(year)) {
        if (!h.red)
            continue;
        char date[16];
        std::snprintf(date, sizeof date, "%02d-%02d ", h.month, h.day);
        text += date + utf8(h.name) + "\n";
    }
    return text;
}

// "name" for a red day, "(name)" for a named one, "-" for none.
std::string dayOf(int y, int m, int d)
{
    const ZuPublicHoliday* h = ZuHolidayOn(y, m, d);
    if (!h)
        return "-";
    return h->red ? utf8(h->name) : "(" + utf8(h->name) + ")";
}

}  // namespace

TEST(KoreanHolidays, CompleteListsOfYearsMatchThePublishedCalendars)
{
    struct Year {
        int year;
        const char* days;
    };
    const Year years[] = {
        {2014, "01-01 신정\n01-30 설날 전날\n01-31 설날\n02-01 설날 다음날\n03-01 삼일절\n05-05 어린이날\n"
               "05-06 석가탄신일\n06-04 지방선거일\n06-06 현충일\n08-15 광복절\n09-07 추석 전날\n09-08 추석\n"
               "09-09 추석 다음날\n09-10 대체공휴일\n10-03 개천절\n10-09 한글날\n12-25 크리스마스\n"},
        // 추석 on a Saturday and a Sunday: only the Sunday gives a substitute.
        {2015, "01-01 신정\n02-18 설날 전날\n02-19 설날\n02-20 설날 다음날\n03-01 삼일절\n05-05 어린이날\n"
               "05-25 석가탄신일\n06-06 현충일\n08-14 임시공휴일\n08-15 광복절\n09-26 추석 전날\n09-27 추석\n"
               "09-28 추석 다음날\n09-29 대체공휴일\n10-03 개천절\n10-09 한글날\n12-25 크리스마스\n"},
        {2023, "01-01 신정\n01-21 설날 전날\n01-22 설날\n01-23 설날 다음날\n01-24 대체공휴일\n03-01 삼일절\n"
               "05-05 어린이날\n05-27 석가탄신일\n05-29 대체공휴일\n06-06 현충일\n08-15 광복절\n09-28 추석 전날\n"
               "09-29 추석\n09-30 추석 다음날\n10-02 임시공휴일\n10-03 개천절\n10-09 한글날\n12-25 크리스마스\n"},
        {2024, "01-01 신정\n02-09 설날 전날\n02-10 설날\n02-11 설날 다음날\n02-12 대체공휴일\n03-01 삼일절\n"
               "04-10 국회의원 선거일\n05-05 어린이날\n05-06 대체공휴일\n05-15 석가탄신일\n06-06 현충일\n"
               "08-15 광복절\n09-16 추석 전날\n09-17 추석\n09-18 추석 다음날\n10-01 임시공휴일\n10-03 개천절\n"
               "10-09 한글날\n12-25 크리스마스\n"},
        // Two holidays on one Monday give one substitute.
        {2025, "01-01 신정\n01-27 임시공휴일\n01-28 설날 전날\n01-29 설날\n01-30 설날 다음날\n03-01 삼일절\n"
               "03-03 대체공휴일\n05-05 어린이날, 석가탄신일\n05-06 대체공휴일\n06-03 대통령 선거일\n"
               "06-06 현충일\n08-15 광복절\n10-03 개천절\n10-05 추석 전날\n10-06 추석\n10-07 추석 다음날\n"
               "10-08 대체공휴일\n10-09 한글날\n12-25 크리스마스\n"},
        // 현충일 on a Saturday has no substitute; 제헌절 is not back.
        {2026, "01-01 신정\n02-16 설날 전날\n02-17 설날\n02-18 설날 다음날\n03-01 삼일절\n03-02 대체공휴일\n"
               "05-05 어린이날\n05-24 석가탄신일\n05-25 대체공휴일\n06-03 지방선거일\n06-06 현충일\n"
               "08-15 광복절\n08-17 대체공휴일\n09-24 추석 전날\n09-25 추석\n09-26 추석 다음날\n10-03 개천절\n"
               "10-05 대체공휴일\n10-09 한글날\n12-25 크리스마스\n"},
    };
    for (const Year& y : years)
        EXPECT_EQ(redDays(y.year), y.days) << y.year;
}

TEST(KoreanHolidays, DaysComeAndGoWithTheirEras)
{
    struct Case {
        int y, m, d;
        const char* expected;
    };
    const Case cases[] = {
        {1990, 1, 3, "신정"}, {1991, 1, 3, "-"}, {1998, 1, 2, "신정"}, {1999, 1, 2, "-"},
        {2005, 4, 5, "식목일"}, {2006, 4, 5, "(식목일)"},
        {2007, 7, 17, "제헌절"}, {2008, 7, 17, "(제헌절)"}, {2026, 7, 17, "(제헌절)"},
        {1990, 10, 1, "국군의 날"}, {1991, 10, 1, "-"},
        {1990, 10, 9, "한글날"}, {1991, 10, 9, "-"}, {2012, 10, 9, "-"}, {2013, 10, 9, "한글날"},
        // The substitute rule of 1989: 설날 다음날 on a Sunday.
        {1990, 1, 28, "설날 다음날"}, {1990, 1, 29, "대체공휴일"},
        // 1990: 추석 on 개천절, a Wednesday, and no substitute in that era.
        {1990, 10, 3, "개천절, 추석"}, {1990, 10, 6, "-"},
        // From 1991 to 2013 a Sunday costs a holiday: 설날 2013 ran Saturday to Monday.
        {2013, 2, 9, "설날 전날"}, {2013, 2, 12, "-"},
        // Before 2021 a national day on a Sunday had none (광복절 2020 was a Saturday: the 17th was
        // a temporary holiday); from 2021 it has.
        {2020, 8, 17, "임시공휴일"}, {2021, 8, 16, "대체공휴일"}, {2021, 10, 11, "대체공휴일"},
        // Before 2023 석가탄신일 and 크리스마스 had none; from 2023 they have.
        {2022, 12, 26, "-"}, {2027, 12, 27, "대체공휴일"},
        // A lunar holiday never in a leap month: 2020 repeated its fourth month.
        {2020, 4, 30, "석가탄신일"}, {2020, 5, 30, "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dayOf(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

TEST(KoreanHolidays, SubstituteDaysInTheCasesThatMatter)
{
    struct Case {
        int y, m, d;
        const char* expected;
    };
    const Case cases[] = {
        // A 설날 span that begins, holds or ends on a Sunday: the first weekday after the span.
        {2016, 2, 7, "설날 전날"}, {2016, 2, 10, "대체공휴일"},
        {2023, 1, 22, "설날"}, {2023, 1, 24, "대체공휴일"},
        {2024, 2, 11, "설날 다음날"}, {2024, 2, 12, "대체공휴일"},
        // 설날 on a Saturday alone gives none (2021: Thursday to Saturday).
        {2021, 2, 13, "설날 다음날"}, {2021, 2, 15, "-"},
        // 추석 on 개천절 in 2017 (the national day had no rule yet): one substitute after the span.
        {2017, 10, 3, "개천절, 추석 전날"}, {2017, 10, 6, "대체공휴일"},
        // 2027: 설날 on a Sunday, 개천절 on a Sunday, 한글날 and 크리스마스 on Saturdays.
        {2027, 2, 9, "대체공휴일"}, {2027, 10, 4, "대체공휴일"}, {2027, 10, 11, "대체공휴일"},
        // Two substitutes in one week, on consecutive days: 2036's 추석 span holds 개천절 on a
        // Friday and ends on a Sunday; 2039's 추석 is on a Sunday, 추석 다음날 on 개천절, and
        // 한글날 on the next Sunday gives a third.
        {2036, 10, 6, "대체공휴일"}, {2036, 10, 7, "대체공휴일"}, {2036, 10, 8, "-"},
        {2039, 10, 4, "대체공휴일"}, {2039, 10, 5, "대체공휴일"}, {2039, 10, 6, "-"}, {2039, 10, 10, "대체공휴일"},
        // 2028: 추석 on 개천절, a Tuesday: the two share the day, one substitute.
        {2028, 10, 3, "개천절, 추석"}, {2028, 10, 5, "대체공휴일"}, {2028, 10, 6, "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dayOf(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

TEST(KoreanHolidays, TheElectionRuleReproducesTheElectionsOfExpiringTerms)
{
    struct Case {
        int endY, endM, endD, daysBefore;
        const char* expected;
    };
    const Case cases[] = {
        {2008, 2, 24, 70, "2007-12-19"}, {2013, 2, 24, 70, "2012-12-19"},
        {2022, 5, 9, 70, "2022-03-09"},   // 2 March follows 삼일절: a week later
        {2008, 5, 29, 50, "2008-04-09"},  // the counted day is a Wednesday itself
        {2012, 5, 29, 50, "2012-04-11"}, {2016, 5, 29, 50, "2016-04-13"}, {2020, 5, 29, 50, "2020-04-15"},
        {2024, 5, 29, 50, "2024-04-10"},
        {2006, 6, 30, 30, "2006-05-31"}, {2010, 6, 30, 30, "2010-06-02"}, {2014, 6, 30, 30, "2014-06-04"},
        {2018, 6, 30, 30, "2018-06-13"},  // 6 June is 현충일: a week later
        {2022, 6, 30, 30, "2022-06-01"}, {2026, 6, 30, 30, "2026-06-03"},
    };
    for (const Case& c : cases) {
        int y = 0, m = 0, d = 0;
        ASSERT_EQ(ZuTermElectionDay(c.endY, c.endM, c.endD, c.daysBefore, &y, &m, &d), 1);
        char got[16];
        std::snprintf(got, sizeof got, "%04d-%02d-%02d", y, m, d);
        EXPECT_EQ(std::string(got), c.expected) << c.endY << "-" << c.endM;
    }
    // The computed elections of later years.
    EXPECT_EQ(dayOf(2028, 4, 12), "국회의원 선거일");
    EXPECT_EQ(dayOf(2030, 3, 27), "대통령 선거일");
    EXPECT_EQ(dayOf(2030, 6, 12), "지방선거일");  // 5 June is the eve of 현충일
    EXPECT_EQ(ZuTermElectionDay(2044, 5, 29, 50, nullptr, nullptr, nullptr), 0);
}

TEST(KoreanHolidays, CoversNineteenNinetyToTheEndOfTheLunarTable)
{
    EXPECT_FALSE(ZuHolidayRulesCover(1989));
    EXPECT_TRUE(ZuHolidayRulesCover(1990));
    EXPECT_TRUE(ZuHolidayRulesCover(2043));
    EXPECT_FALSE(ZuHolidayRulesCover(2044));
    EXPECT_TRUE(ZuHolidaysOfYear(1989).empty());
    EXPECT_EQ(ZuHolidayOn(2044, 1, 1), nullptr);
    // 설날 2043 still comes from the table; every covered year has its lunar days.
    for (int year = ZU_HOLIDAY_FIRST_YEAR; year <= ZU_HOLIDAY_LAST_YEAR; ++year) {
        int lunar = 0;
        for (const ZuPublicHoliday& h : ZuHolidaysOfYear(year))
            lunar += utf8(h.name).find("설날") != std::string::npos || utf8(h.name).find("추석") != std::string::npos
                || utf8(h.name).find("석가탄신일") != std::string::npos;
        EXPECT_GE(lunar, 7) << year;
    }
}
