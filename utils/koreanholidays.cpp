// koreanholidays.cpp - the rules behind koreanholidays.h, year by year.
//
// SOURCES. The days and their eras are those of the "관공서의 공휴일에 관한 규정" (대통령령; the
// decree on the public holidays of government offices, under that title since 1970) and its
// amendments; since 2022 the "공휴일에 관한 법률" (Act on Public Holidays) makes the same days
// holidays for everyone and keeps the decree's list. Election days follow the 공직선거법 (Public
// Official Election Act) 제34조 and the decree's item on the election days of expiring terms.
// Lunar dates come from the lunar table (lunar.cpp, the published Korean calendar of KASI).
//
// This file was written without access to the texts: every era and date below was set down from
// memory of the decree's amendment history and of the published calendars. Those marked CHECK are
// the ones to compare with the amendment history at 국가법령정보센터 (law.go.kr) before relying on
// them; the others are well known (they agree with the calendars of 2014 to 2026 day by day).
//
// THE DAYS (red in the years given; "named" = shown in the caption but not red in later years)
//   1월 1일 신정              every year; 1월 2일 until 1998 and 1월 3일 until 1990 also "신정"
//                             (three days until 1990, two until 1998, one from 1999; CHECK the
//                             years 1990 and 1991, the 1990 amendment is the one remembered here)
//   3월 1일 삼일절            every year
//   4월 5일 식목일            until 2005 (removed by the 2005 amendment); named from 2006
//   5월 5일 어린이날          every year
//   6월 6일 현충일            every year
//   7월 17일 제헌절           until 2007 (removed by the 2005 amendment from 2008); named from 2008.
//                             Not restored for 2026 or later: no trusted source for such an
//                             amendment was at hand.
//   8월 15일 광복절           every year
//   10월 1일 국군의 날        until 1990 (removed by the 1990 amendment; CHECK)
//   10월 3일 개천절           every year
//   10월 9일 한글날           until 1990 (removed by the 1990 amendment; CHECK) and again from 2013
//                             (restored by the amendment of December 2012)
//   12월 25일 크리스마스      every year (the decree's 기독탄신일)
//   설날                      lunar 1/1 with the day before and the day after ("설날 전날", "설날",
//                             "설날 다음날"), three days since 1989
//   석가탄신일                lunar 4/8 (the decree's 부처님오신날 since 2017; the calendar keeps
//                             its stored name)
//   추석                      lunar 8/15 with the day before and the day after ("추석 전날",
//                             "추석", "추석 다음날")
// A day of a lunar leap month is never a lunar holiday: the lunar dates are those of the ordinary
// months.
//
// SUBSTITUTE DAYS ("대체공휴일")
//   1990 (the rule of 1989, abolished in November 1990; CHECK): a public holiday on a Sunday gives
//        the next day that is no holiday. In the covered years this gives 1990-01-29 only.
//   1991 to 2013: none.
//   from 2014 (the amendment of November 2013): when a day of the 설날 or 추석 span falls on a Sunday
//        or on another public holiday, the first day after the span that is no holiday; when
//        어린이날 falls on a Saturday, a Sunday or another public holiday, the first day after it that
//        is no holiday.
//   from 2021 (the amendment of 2021, first applied to 광복절 2021): 삼일절, 광복절, 개천절 and 한글날
//        as 어린이날.
//   from 2023 (the amendment of 2023, first applied to 석가탄신일 2023): 석가탄신일 and 크리스마스 as
//        어린이날.
//   How the rules are read here (the cases the decree's words leave open are marked AMBIGUOUS):
//   - A day is "no holiday" when it is a weekday (Monday to Friday) that is not a public holiday,
//     a substitute day already given, an election day or a temporary holiday. That a substitute
//     never falls on a Saturday is AMBIGUOUS for 2014 to 2020 (the decree then said only "the first
//     day that is no public holiday"); no year of those had a case where it mattered.
//   - A substitute makes up for a day lost: on a weekday shared by several holidays one of them
//     keeps the day, so two holidays on one weekday give one substitute (2025-05-05, 어린이날 and
//     석가탄신일, gave 2025-05-06 only); on a Sunday every holiday with a substitute rule gives one,
//     on a Saturday every holiday whose rule counts Saturdays. AMBIGUOUS: a span day on a Saturday
//     shared with a holiday that counts Saturdays gives one substitute (for the other holiday),
//     not two.
//   - Substitutes are given in the order of the days they make up for, each on the first free day
//     after its holiday (after the span's last day for 설날 and 추석), so two substitutes never
//     share a day (the decree's clause on substitutes that meet).
//
// ELECTION DAYS (red)
//   Known dates, 1991 to 2026 (the table below): election days were declared holidays one by one
//   until the decree listed the election days of expiring terms (2006); the two presidential
//   elections after a vacancy (2017-05-09, 2025-06-03) were declared holidays. The 1991 local
//   council elections are CHECK.
//   From 2027 the election days of expiring terms are computed (ZuTermElectionDay, 공직선거법
//   제34조): National Assembly terms end on 29 May 2028 and every four years after; local terms on
//   30 June 2030 and every four years after; the presidential term that began on 2025-06-04 ends on
//   3 June 2030 and the later ones every five years after. A vacancy, a changed term or a moved
//   election cannot be foreseen here. "On or after" for the counted day is how "이후" is read;
//   so read, the rule reproduces every election of an expiring term from 2006 to 2026 (see the
//   tests; 2008-04-09 and 2006-05-31 fall on the counted day itself).
//
// TEMPORARY HOLIDAYS ("임시공휴일", red), declared by the government each time: the table below.
//   None is known here for 2026 or later, nor before 2002.
#include "koreanholidays.h"

#include "lunar.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// ---- day numbers: days since 1970-01-01 in the proleptic Gregorian calendar (the era-based
// conversion known as days_from_civil / civil_from_days)

int dayNumber(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilDate(int z, int* y, int* m, int* d)
{
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = yoe + era * 400 + (*m <= 2);
}

// 0 = Sunday .. 6 = Saturday (1970-01-01 was a Thursday).
int weekday(int dn)
{
    return ((dn % 7) + 7 + 4) % 7;
}

int yearOf(int dn)
{
    int y, m, d;
    civilDate(dn, &y, &m, &d);
    return y;
}

// ---- the rules

// What makes a holiday lose its day and earn a substitute (bits).
constexpr unsigned kOnSunday = 1;
constexpr unsigned kOnSaturday = 2;
constexpr unsigned kShared = 4;  // another public holiday on the same day

constexpr unsigned kSpanRule = kOnSunday | kShared;                 // 설날 and 추석 from 2014
constexpr unsigned kDayRule = kOnSunday | kOnSaturday | kShared;    // 어린이날 and the others

constexpr int kForever = 9999;

struct SolarRule {
    short month, day;
    const wchar_t* name;
    short lastRedYear;    // red up to this year (from the first covered year, or firstRedYear)
    short firstRedYear;   // 0: from the first covered year
    bool namedAfter;      // still named, not red, after lastRedYear
    short substituteFrom; // first year with a substitute rule (kDayRule); 0: never
};

// In the order of the year; two holidays of one day are named in this order.
constexpr SolarRule kSolarRules[] = {
    {1, 1, L"신정", kForever, 0, false, 0},
    {1, 2, L"신정", 1998, 0, false, 0},
    {1, 3, L"신정", 1990, 0, false, 0},
    {3, 1, L"삼일절", kForever, 0, false, 2021},
    {4, 5, L"식목일", 2005, 0, true, 0},
    {5, 5, L"어린이날", kForever, 0, false, 2014},
    {6, 6, L"현충일", kForever, 0, false, 0},
    {7, 17, L"제헌절", 2007, 0, true, 0},
    {8, 15, L"광복절", kForever, 0, false, 2021},
    {10, 1, L"국군의 날", 1990, 0, false, 0},
    {10, 3, L"개천절", kForever, 0, false, 2021},
    {10, 9, L"한글날", 1990, 0, false, 0},
    {10, 9, L"한글날", kForever, 2013, false, 2021},
    {12, 25, L"크리스마스", kForever, 0, false, 2023},
};

struct LunarRule {
    short month, day;
    const wchar_t* before;  // the day before, or null for a single day
    const wchar_t* name;
    const wchar_t* after;
    short substituteFrom;
    unsigned rule;
};

constexpr LunarRule kLunarRules[] = {
    {1, 1, L"설날 전날", L"설날", L"설날 다음날", 2014, kSpanRule},
    {4, 8, nullptr, L"석가탄신일", nullptr, 2023, kDayRule},
    {8, 15, L"추석 전날", L"추석", L"추석 다음날", 2014, kSpanRule},
};

constexpr int kLastSundayRuleYear = 1990;  // the substitute rule of 1989

struct KnownDay {
    short y, m, d;
    const wchar_t* name;
    bool election;
};

constexpr const wchar_t* kAssembly = L"국회의원 선거일";
constexpr const wchar_t* kPresident = L"대통령 선거일";
constexpr const wchar_t* kLocal = L"지방선거일";
constexpr const wchar_t* kTemporary = L"임시공휴일";

// Election days and temporary holidays, in date order.
constexpr KnownDay kKnownDays[] = {
    {1991, 3, 26, L"지방의회의원 선거일", true},  // 구·시·군의회의원 선거 (CHECK)
    {1991, 6, 20, L"지방의회의원 선거일", true},  // 시·도의회의원 선거 (CHECK)
    {1992, 3, 24, kAssembly, true},               // 제14대
    {1992, 12, 18, kPresident, true},             // 제14대
    {1995, 6, 27, kLocal, true},                  // 제1회 전국동시지방선거
    {1996, 4, 11, kAssembly, true},               // 제15대
    {1997, 12, 18, kPresident, true},             // 제15대
    {1998, 6, 4, kLocal, true},                   // 제2회
    {2000, 4, 13, kAssembly, true},               // 제16대
    {2002, 6, 13, kLocal, true},                  // 제3회
    {2002, 7, 1, kTemporary, false},              // the World Cup semi-final
    {2002, 12, 19, kPresident, true},             // 제16대
    {2004, 4, 15, kAssembly, true},               // 제17대
    {2006, 5, 31, kLocal, true},                  // 제4회
    {2007, 12, 19, kPresident, true},             // 제17대
    {2008, 4, 9, kAssembly, true},                // 제18대
    {2010, 6, 2, kLocal, true},                   // 제5회
    {2012, 4, 11, kAssembly, true},               // 제19대
    {2012, 12, 19, kPresident, true},             // 제18대
    {2014, 6, 4, kLocal, true},                   // 제6회
    {2015, 8, 14, kTemporary, false},             // the 70th 광복절
    {2016, 4, 13, kAssembly, true},               // 제20대
    {2016, 5, 6, kTemporary, false},
    {2017, 5, 9, kPresident, true},               // 제19대, after a vacancy
    {2017, 10, 2, kTemporary, false},
    {2018, 6, 13, kLocal, true},                  // 제7회
    {2020, 4, 15, kAssembly, true},               // 제21대
    {2020, 8, 17, kTemporary, false},
    {2022, 3, 9, kPresident, true},               // 제20대
    {2022, 6, 1, kLocal, true},                   // 제8회
    {2023, 10, 2, kTemporary, false},
    {2024, 4, 10, kAssembly, true},               // 제22대
    {2024, 10, 1, kTemporary, false},             // 국군의 날
    {2025, 1, 27, kTemporary, false},
    {2025, 6, 3, kPresident, true},               // 제21대, after a vacancy
    {2026, 6, 3, kLocal, true},                   // 제9회
};

constexpr int kLastKnownYear = 2026;  // elections after it are computed

struct Term {
    short firstEnd;  // the year the first computed term ends
    short every;     // years between terms
    short month, day;
    short daysBefore;
    const wchar_t* name;
};

constexpr Term kTerms[] = {
    {2028, 4, 5, 29, 50, kAssembly},
    {2030, 5, 6, 3, 70, kPresident},
    {2030, 4, 6, 30, 30, kLocal},
};

struct DayEntry {
    int dn = 0;
    const wchar_t* name = nullptr;
    bool red = true;
    bool election = false;
    unsigned rule = 0;  // kOnSunday, kOnSaturday, kShared: what gives it a substitute
    int anchor = 0;     // its substitute is the first free day after this one
};

bool hasRedOn(const std::vector<DayEntry>& entries, int dn)
{
    return std::any_of(entries.begin(), entries.end(), [dn](const DayEntry& e) { return e.red && e.dn == dn; });
}

// A weekday that is no public holiday, substitute, election or temporary holiday.
bool isFree(const std::vector<DayEntry>& entries, int dn)
{
    const int wd = weekday(dn);
    return wd != 0 && wd != 6 && !hasRedOn(entries, dn);
}

// How far a substitute is looked for. No covered year comes near it: the longest run of days off
// (weekends, holidays and substitutes) is the ten days from 2017-09-30 to 2017-10-09.
constexpr int kFreeDaySearchLimit = 14;

void addSubstitutes(std::vector<DayEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const DayEntry& a, const DayEntry& b) { return a.dn < b.dn; });
    std::vector<int> anchors;
    for (size_t i = 0; i < entries.size();) {
        size_t end = i;
        while (end < entries.size() && entries[end].dn == entries[i].dn)
            ++end;
        const int wd = weekday(entries[i].dn);
        int reds = 0, sharing = 0;
        for (size_t k = i; k < end; ++k) {
            const DayEntry& e = entries[k];
            if (!e.red)
                continue;
            ++reds;
            if (wd == 0 && (e.rule & kOnSunday))
                anchors.push_back(e.anchor);
            else if (wd == 6 && (e.rule & kOnSaturday))
                anchors.push_back(e.anchor);
            else if (wd != 0 && wd != 6 && (e.rule & kShared))
                ++sharing;
        }
        // On a weekday one holiday keeps the day; each other one with a rule loses it.
        for (size_t k = i; k < end && sharing > 0 && reds > 1; ++k) {
            const DayEntry& e = entries[k];
            if (e.red && (e.rule & kShared)) {
                anchors.push_back(e.anchor);
                --sharing;
                --reds;
            }
        }
        i = end;
    }
    std::sort(anchors.begin(), anchors.end());
    for (const int anchor : anchors) {
        int dn = anchor + 1;
        for (int step = 0; step < kFreeDaySearchLimit && !isFree(entries, dn); ++step)
            ++dn;
        DayEntry sub;
        sub.dn = dn;
        sub.name = L"대체공휴일";
        entries.push_back(sub);
    }
}

// The holidays of a year other than the computed election days: its fixed and lunar days, known
// election days and temporary holidays, and the substitute days.
std::vector<DayEntry> buildWithoutComputedElections(int year)
{
    std::vector<DayEntry> entries;
    const bool sundayRule = year <= kLastSundayRuleYear;
    for (const SolarRule& r : kSolarRules) {
        const bool red = year <= r.lastRedYear && (r.firstRedYear == 0 || year >= r.firstRedYear);
        if (!red && !(r.namedAfter && year > r.lastRedYear))
            continue;
        DayEntry e;
        e.dn = e.anchor = dayNumber(year, r.month, r.day);
        e.name = r.name;
        e.red = red;
        if (red && sundayRule)
            e.rule = kOnSunday;
        else if (red && r.substituteFrom && year >= r.substituteFrom)
            e.rule = kDayRule;
        entries.push_back(e);
    }
    for (const LunarRule& r : kLunarRules) {
        int y, m, d;
        if (!ZuMoonToSun(year, r.month, r.day, false, &y, &m, &d))
            continue;
        const int day = dayNumber(y, m, d);
        const int first = r.before ? day - 1 : day;
        const int last = r.after ? day + 1 : day;
        unsigned rule = 0;
        if (sundayRule)
            rule = kOnSunday;
        else if (year >= r.substituteFrom)
            rule = r.rule;
        for (int dn = first; dn <= last; ++dn) {
            DayEntry e;
            e.dn = dn;
            e.anchor = last;
            e.name = dn < day ? r.before : dn > day ? r.after : r.name;
            e.rule = rule;
            entries.push_back(e);
        }
    }
    for (const KnownDay& k : kKnownDays) {
        if (k.y != year)
            continue;
        DayEntry e;
        e.dn = e.anchor = dayNumber(k.y, k.m, k.d);
        e.name = k.name;
        e.election = k.election;
        entries.push_back(e);
    }
    addSubstitutes(entries);
    return entries;
}

// Red days other than election days, for the election rule.
bool isHolidayForElections(int dn)
{
    const int year = yearOf(dn);
    if (!ZuHolidayRulesCover(year))
        return false;
    const std::vector<DayEntry> entries = buildWithoutComputedElections(year);
    return std::any_of(entries.begin(), entries.end(), [dn](const DayEntry& e) { return e.dn == dn && e.red && !e.election; });
}

int electionDay(int endDn, int daysBefore)
{
    int dn = endDn - daysBefore;
    while (weekday(dn) != 3)
        ++dn;
    // The day before and after a Wednesday lie in its year except at the year's ends, where
    // 신정 (1 January) decides alone.
    bool moved = false;
    if (yearOf(dn - 1) == yearOf(dn + 1)) {
        const int year = yearOf(dn);
        if (ZuHolidayRulesCover(year)) {
            const std::vector<DayEntry> entries = buildWithoutComputedElections(year);
            moved = std::any_of(entries.begin(), entries.end(),
                [dn](const DayEntry& e) { return e.dn >= dn - 1 && e.dn <= dn + 1 && e.red && !e.election; });
        }
    } else {
        moved = isHolidayForElections(dn - 1) || isHolidayForElections(dn) || isHolidayForElections(dn + 1);
    }
    return moved ? dn + 7 : dn;
}

std::vector<ZuPublicHoliday> buildYear(int year)
{
    std::vector<DayEntry> entries = buildWithoutComputedElections(year);
    if (year > kLastKnownYear) {
        for (const Term& t : kTerms) {
            for (int end = t.firstEnd; end <= ZU_HOLIDAY_LAST_YEAR + 1; end += t.every) {
                if (end != year && end != year + 1)  // no election lies a year before its term's end
                    continue;
                const int dn = electionDay(dayNumber(end, t.month, t.day), t.daysBefore);
                if (yearOf(dn) != year)
                    continue;
                DayEntry e;
                e.dn = e.anchor = dn;
                e.name = t.name;
                e.election = true;
                entries.push_back(e);
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const DayEntry& a, const DayEntry& b) { return a.dn < b.dn; });
    std::vector<ZuPublicHoliday> days;
    for (size_t i = 0; i < entries.size();) {
        ZuPublicHoliday h;
        int m, d, y;
        civilDate(entries[i].dn, &y, &m, &d);
        h.year = static_cast<WORD>(y);
        h.month = static_cast<WORD>(m);
        h.day = static_cast<WORD>(d);
        h.red = false;
        size_t k = i;
        for (; k < entries.size() && entries[k].dn == entries[i].dn; ++k) {
            if (k > i)
                h.name += L", ";
            h.name += entries[k].name;
            h.red = h.red || entries[k].red;
        }
        days.push_back(h);
        i = k;
    }
    return days;
}

using YearTable = std::array<std::vector<ZuPublicHoliday>, ZU_HOLIDAY_LAST_YEAR - ZU_HOLIDAY_FIRST_YEAR + 1>;

const YearTable& yearTable()
{
    static const YearTable table = [] {
        YearTable t;
        for (int y = ZU_HOLIDAY_FIRST_YEAR; y <= ZU_HOLIDAY_LAST_YEAR; ++y)
            t[static_cast<size_t>(y - ZU_HOLIDAY_FIRST_YEAR)] = buildYear(y);
        return t;
    }();
    return table;
}

}  // namespace

bool ZuHolidayRulesCover(int year)
{
    return year >= ZU_HOLIDAY_FIRST_YEAR && year <= ZU_HOLIDAY_LAST_YEAR;
}

const std::vector<ZuPublicHoliday>& ZuHolidaysOfYear(int year)
{
    static const std::vector<ZuPublicHoliday> none;
    if (!ZuHolidayRulesCover(year))
        return none;
    return yearTable()[static_cast<size_t>(year - ZU_HOLIDAY_FIRST_YEAR)];
}

const ZuPublicHoliday* ZuHolidayOn(int year, int month, int day)
{
    const std::vector<ZuPublicHoliday>& days = ZuHolidaysOfYear(year);
    const auto it = std::lower_bound(days.begin(), days.end(), std::make_pair(month, day),
        [](const ZuPublicHoliday& h, const std::pair<int, int>& md) {
            return std::make_pair(int(h.month), int(h.day)) < md;
        });
    if (it == days.end() || it->month != month || it->day != day)
        return nullptr;
    return &*it;
}

int ZuTermElectionDay(int endY, int endM, int endD, int daysBefore, int* y, int* m, int* d)
{
    if (endM < 1 || endM > 12 || endD < 1 || endD > 31 || daysBefore < 0)
        return 0;
    const int dn = electionDay(dayNumber(endY, endM, endD), daysBefore);
    int ry, rm, rd;
    civilDate(dn, &ry, &rm, &rd);
    if (!ZuHolidayRulesCover(ry))
        return 0;
    if (y)
        *y = ry;
    if (m)
        *m = rm;
    if (d)
        *d = rd;
    return 1;
}
