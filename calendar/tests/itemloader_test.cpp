// The calendar's loads: which records become items, in which order, with which texts and day
// layout, for day, week and month ranges.
#include "calendarfixture.h"
#include "itemloader.h"
#include "storedamage.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <thread>

using namespace calfix;

namespace {

LoadRequest rangeRequest(int type, FILETIME start, FILETIME endExclusive)
{
    LoadRequest r;
    r.viewType = type;
    r.rangeStart = start;
    r.rangeEnd = ZuU64ToFileTime(ZuFileTimeToU64(endExclusive) - 1);
    return r;
}

LoadRequest day(int y, int m, int d)
{
    return rangeRequest(ZU_VIEW_DAY, wall(y, m, d), ZuU64ToFileTime(ZuFileTimeToU64(wall(y, m, d)) + ZU_TICKS_PER_DAY));
}

LoadRequest week(int y, int m, int d)
{
    return rangeRequest(ZU_VIEW_WEEK, wall(y, m, d), ZuU64ToFileTime(ZuFileTimeToU64(wall(y, m, d)) + 7 * ZU_TICKS_PER_DAY));
}

LoadRequest month(int y, int m)
{
    return rangeRequest(ZU_VIEW_MONTH, wall(y, m, 1), m == 12 ? wall(y + 1, 1, 1) : wall(y, m + 1, 1));
}

LoadResult load(const LoadRequest& request)
{
    CItemLoader loader;
    LoadResult result;
    std::atomic<bool> abort{false};
    EXPECT_TRUE(loader.Load(request, result, abort));
    return result;
}

std::vector<std::string> subjects(const LoadResult& r)
{
    std::vector<std::string> out;
    for (const CalendarItem& item : r.items)
        out.push_back(utf8(item.subject));
    return out;
}

class ItemLoader : public ::testing::Test {
protected:
    ZuTestHome home;
};

}  // namespace

TEST_F(ItemLoader, EmptyStoreGivesNoItemsAndZeroCounts)
{
    const LoadResult r = load(month(2026, 12));
    EXPECT_TRUE(r.items.empty());
    EXPECT_EQ(r.counts.total + r.counts.timed + r.counts.firstAnniversary + r.counts.beforeTasks, 0);
}

TEST_F(ItemLoader, OrdersTimedAllDayAnniversariesContactsThenTasks)
{
    add(Appointment{.subject = L"늦은", .start = wall(2026, 12, 10, 15)});
    add(Appointment{.subject = L"종일", .start = wall(2026, 12, 10), .minutes = 1440, .allDay = true});
    add(Appointment{.subject = L"기일", .start = wall(2026, 12, 10), .minutes = 1440, .allDay = true, .memorial = true});
    add(Appointment{.subject = L"먼저", .location = L"본사", .start = wall(2026, 12, 10, 9)});
    add(Appointment{.subject = L"같은시각", .start = wall(2026, 12, 10, 9)});  // read later, listed first
    add(Contact{.name = L"김", .birthday = wall(1980, 12, 10)});
    add(Task{.subject = L"할일", .start = wall(2026, 12, 1), .due = wall(2026, 12, 20), .importance = 2, .progress = 40});

    const LoadResult r = load(day(2026, 12, 10));
    EXPECT_EQ(subjects(r), (std::vector<std::string>{"같은시각", "먼저 (본사)", "늦은", "종일", "기일", "[생일] 김", "할일"}));
    EXPECT_EQ(r.counts.total, 7);
    EXPECT_EQ(r.counts.timed, 3);
    EXPECT_EQ(r.counts.firstAnniversary, 4);
    EXPECT_EQ(r.counts.beforeTasks, 6);
    EXPECT_EQ(utf8(r.items[1].timeText), "09:00 - 10:00");
    EXPECT_EQ(utf8(r.items[3].timeText), "종일일정");
    EXPECT_EQ(utf8(r.items[4].timeText), "12/10");
    EXPECT_EQ(utf8(r.items[6].timeText), "12/1 - 12/20");
    EXPECT_EQ(r.items[6].status, 40);
    EXPECT_EQ(r.items[6].priority, 1);
    EXPECT_EQ(r.items[1].status, 2);
}

TEST_F(ItemLoader, TimeTextsFollowTheViewType)
{
    add(Appointment{.subject = L"밤샘", .start = wall(2026, 12, 9, 22), .minutes = 180});
    add(Appointment{.subject = L"종일", .start = wall(2026, 12, 10), .minutes = 1440, .allDay = true});
    const LoadResult d = load(day(2026, 12, 10));
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(utf8(d.items[0].timeText), "12/9 22:00 - 01:00");  // begins before the day
    const LoadResult w = load(week(2026, 12, 6));
    ASSERT_EQ(w.items.size(), 2u);
    EXPECT_EQ(utf8(w.items[0].timeText), "12/9 22:00 - 12/10 01:00");
    // The end is exclusive: a one-day all-day appointment names its one day.
    EXPECT_EQ(utf8(w.items[1].timeText), "12/10 - 12/10 [ 종일일정 ]");
}

TEST_F(ItemLoader, AcrossMidnightStandsInTwoDayColumns)
{
    add(Appointment{.subject = L"야간", .start = wall(2026, 12, 8, 23), .minutes = 120});
    add(Appointment{.subject = L"자정까지", .start = wall(2026, 12, 10, 22), .minutes = 120});
    add(Appointment{.subject = L"겹침", .start = wall(2026, 12, 8, 23, 30), .minutes = 15});
    const LoadResult r = load(week(2026, 12, 6));  // Sunday 6 December
    ASSERT_EQ(r.items.size(), 3u);
    ASSERT_EQ(subjects(r), (std::vector<std::string>{"야간", "겹침", "자정까지"}));
    // Tuesday is column 2: 23:00 there and 00:00 on Wednesday are counted.
    ASSERT_EQ(r.layout.columns[2].size(), 2u);
    ASSERT_EQ(r.layout.columns[3].size(), 1u);
    EXPECT_EQ(r.layout.columns[3][0].item, 0);
    EXPECT_EQ(r.layout.occupancy[2][23], 2);
    EXPECT_EQ(r.layout.occupancy[3][0], 1);
    EXPECT_EQ(r.layout.occupancy[3][1], 0);
    EXPECT_EQ(r.layout.columns[2][0].overlap, 2);
    EXPECT_EQ(r.layout.columns[3][0].overlap, 1);
    // Ending exactly at midnight keeps it out of Friday's column.
    ASSERT_EQ(r.layout.columns[4].size(), 1u);
    EXPECT_TRUE(r.layout.columns[5].empty());
    EXPECT_EQ(r.layout.occupancy[4][23], 1);
    // Month loads have no day layout.
    const LoadResult m = load(month(2026, 12));
    for (const auto& column : m.layout.columns)
        EXPECT_TRUE(column.empty());
}

TEST_F(ItemLoader, TasksWithAndWithoutDates)
{
    add(Task{.subject = L"언제나"});
    add(Task{.subject = L"마감만", .due = wall(2026, 12, 15), .importance = 3});
    add(Task{.subject = L"지난것", .start = wall(2026, 11, 1), .due = wall(2026, 11, 3)});
    const auto atDay = [&](int d) { return subjects(load(day(2026, 12, d))); };
    EXPECT_EQ(atDay(10), (std::vector<std::string>{"언제나"}));
    const LoadResult r = load(day(2026, 12, 15));
    EXPECT_EQ(subjects(r), (std::vector<std::string>{"마감만", "언제나"}));  // a task without dates keys on no date
    EXPECT_EQ(utf8(r.items[0].timeText), "Due: 12/15");
    EXPECT_EQ(r.items[0].priority, 0);
    EXPECT_TRUE(ZuIsNoDate(r.items[0].start));
}

TEST_F(ItemLoader, RecurringTaskOccurrencesRankOneHigher)
{
    add(Task{.subject = L"주간보고", .start = wall(2026, 11, 2), .due = wall(2026, 11, 3), .importance = 2,
        .recurrence = blob(Pattern{.type = 1, .mask = 2, .start = wall(2026, 11, 2), .kind = 4})});
    const LoadResult r = load(month(2026, 12));
    // The Mondays 7 to 28 December, and 30 November's occurrence, which is due on 1 December.
    ASSERT_EQ(r.items.size(), 5u);
    EXPECT_EQ(dateOf(r.items[0].start), "2026-11-30 00:00");
    EXPECT_EQ(utf8(r.items[0].timeText), "11/30 - 12/1");
    EXPECT_EQ(dateOf(r.items[4].end), "2026-12-29 00:00");
    EXPECT_EQ(r.items[0].priority, 2);

    LoadRequest noRecurring = month(2026, 12);
    noRecurring.contents = ZU_SHOW_ALL & ~ZU_SHOW_RECURRING;
    EXPECT_TRUE(load(noRecurring).items.empty());
}

// An occurrence that began before the range is found by the task's length; a task without a start
// recurs on its due dates, one without dates on the pattern's; a pattern with an end stops there.
TEST_F(ItemLoader, RecurringTaskOccurrencesReachBackAndStopAtTheEnd)
{
    add(Task{.subject = L"마감", .due = wall(2026, 12, 1),  // Tuesdays
        .recurrence = blob(Pattern{.type = 1, .mask = 4, .start = wall(2026, 12, 1), .kind = 4})});
    add(Task{.subject = L"세번", .start = wall(2026, 12, 7), .due = wall(2026, 12, 9),  // Mondays, three times
        .recurrence = blob(Pattern{.type = 1, .mask = 2, .start = wall(2026, 12, 7), .occurrences = 3, .kind = 4})});
    add(Task{.subject = L"매일", .recurrence = blob(Pattern{.type = 0, .start = wall(2026, 12, 1), .kind = 4})});
    const auto tasksOn = [](int month, int d) {
        std::vector<std::string> out;
        for (const CalendarItem& item : load(day(2026, month, d)).items)
            out.push_back(utf8(item.subject) + ' ' + (ZuIsNoDate(item.start) ? "-" : dateOf(item.start).substr(5, 5)) + '~'
                + dateOf(item.end).substr(5, 5));
        return out;
    };
    const struct {
        int month, day;
        std::vector<std::string> tasks;
    } cases[] = {
        {11, 30, {}},
        {12, 8, {"세번 12-07~12-09", "매일 -~12-08", "마감 -~12-08"}},
        {12, 9, {"세번 12-07~12-09", "매일 -~12-09"}},  // due on the range's first day
        {12, 23, {"세번 12-21~12-23", "매일 -~12-23"}},
        {12, 29, {"매일 -~12-29", "마감 -~12-29"}},  // the fourth Monday is past the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(tasksOn(c.month, c.day), c.tasks) << c.month << '/' << c.day;
    const LoadResult r = load(day(2026, 12, 15));
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(utf8(r.items[2].timeText), "Due: 12/15");
    EXPECT_EQ(r.items[2].priority, 3);
}

TEST_F(ItemLoader, RecurringAppointmentsInTheRange)
{
    add(Appointment{.subject = L"주간회의", .start = wall(2020, 1, 6),
        .recurrence = blob(Pattern{.type = 1, .mask = 2 | 8, .start = wall(2020, 1, 6), .startTime = 600, .duration = 30})});
    add(Appointment{.subject = L"월말", .start = wall(2026, 1, 31),
        .recurrence = blob(Pattern{.type = 2, .dayOfMonth = 31, .start = wall(2026, 1, 31), .startTime = 480})});
    add(Appointment{.subject = L"끝난것", .start = wall(2026, 1, 5),
        .recurrence = blob(Pattern{.type = 0, .start = wall(2026, 1, 5), .occurrences = 3})});
    const LoadResult r = load(week(2026, 11, 29));  // 29 November to 5 December; November has no 31st
    ASSERT_EQ(subjects(r), (std::vector<std::string>{"주간회의", "주간회의"}));
    EXPECT_EQ(dateOf(r.items[0].start), "2026-11-30 10:00");
    EXPECT_EQ(dateOf(r.items[1].start), "2026-12-02 10:00");
    EXPECT_EQ(dateOf(r.items[1].end), "2026-12-02 10:30");
    const LoadResult dec = load(month(2026, 12));
    ASSERT_EQ(dec.items.size(), 10u);
    EXPECT_EQ(utf8(dec.items[9].subject), "월말");
    EXPECT_EQ(dateOf(dec.items[9].start), "2026-12-31 08:00");
}

TEST_F(ItemLoader, LunarAppointmentKeepsItsTimeOfDay)
{
    // Lunar 2026-08-15 is 25 September 2026.
    add(Appointment{.subject = L"추석모임", .start = wall(2026, 8, 15, 10, 30), .lunar = true});
    add(Appointment{.subject = L"제사", .start = wall(2020, 3, 10), .minutes = 1440, .allDay = true, .memorial = true,
        .lunar = true, .recurrence = blob(Pattern{.type = 5, .dayOfMonth = 10, .monthOfYear = 3, .start = wall(2020, 3, 10),
                           .startTime = 0, .duration = 1440})});
    const LoadResult r = load(day(2026, 9, 25));
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(dateOf(r.items[0].start), "2026-09-25 10:30");
    // Lunar 2026-03-10 is 26 April 2026; the memorial day shows its lunar date.
    const LoadResult m = load(month(2026, 4));
    ASSERT_EQ(m.items.size(), 1u);
    EXPECT_EQ(dateOf(m.items[0].start), "2026-04-26 00:00");
    EXPECT_EQ(utf8(m.items[0].timeText), "4/26 (음 3/10)");
    EXPECT_EQ(m.items[0].dayClass, ZU_DAY_ANNIVERSARY);
}

TEST_F(ItemLoader, ContactDaysInEveryYearTheRangeTouches)
{
    add(Contact{.name = L"새해", .birthday = wall(1990, 1, 1)});
    add(Contact{.name = L"윤일", .birthday = wall(1992, 2, 29)});
    add(Contact{.name = L"음력", .anniversary = wall(1985, 8, 15), .anniversaryLunar = true});
    // A week from Monday 29 December 2025 reaches 1 January 2026.
    const LoadResult w = load(rangeRequest(ZU_VIEW_WEEK, wall(2025, 12, 29), wall(2026, 1, 5)));
    ASSERT_EQ(subjects(w), (std::vector<std::string>{"[생일] 새해"}));
    EXPECT_EQ(dateOf(w.items[0].start), "2026-01-01 00:00");
    // 29 February in a common year is shown on 28 February.
    const LoadResult feb = load(day(2027, 2, 28));
    EXPECT_EQ(subjects(feb), (std::vector<std::string>{"[생일] 윤일"}));
    // Lunar 8/15 of 2026 is 25 September.
    const LoadResult sep = load(month(2026, 9));
    ASSERT_EQ(sep.items.size(), 1u);
    EXPECT_EQ(utf8(sep.items[0].subject), "[기념일] 음력");
    EXPECT_EQ(utf8(sep.items[0].timeText), "9/25 (음 8/15)");
    // A lunar 12th-month date of lunar 2025 falls in January 2026.
    add(Contact{.name = L"섣달", .birthday = wall(1970, 12, 20), .birthdayLunar = true});
    const LoadResult jan = load(month(2026, 1));
    EXPECT_EQ(subjects(jan), (std::vector<std::string>{"[생일] 새해"}));
    const LoadResult feb26 = load(month(2026, 2));  // lunar 2025-12-20 is 7 February 2026
    ASSERT_EQ(subjects(feb26), (std::vector<std::string>{"[생일] 섣달", "[생일] 윤일"}));
    EXPECT_EQ(dateOf(feb26.items[0].start), "2026-02-07 00:00");

    LoadRequest noDays = month(2026, 9);
    noDays.contents = ZU_SHOW_APPOINTMENTS | ZU_SHOW_TASKS;
    EXPECT_TRUE(load(noDays).items.empty());
}

TEST_F(ItemLoader, CategoryFilterAndPrivateRecords)
{
    add(Appointment{.subject = L"없음", .start = wall(2026, 12, 10, 9)});
    add(Appointment{.subject = L"업무", .start = wall(2026, 12, 10, 10), .categories = {3}});
    add(Appointment{.subject = L"개인", .start = wall(2026, 12, 10, 11), .categories = {12}});
    add(Appointment{.subject = L"비밀", .start = wall(2026, 12, 10, 12), .isPrivate = true});
    add(Task{.subject = L"업무일", .due = wall(2026, 12, 10), .categories = {3, 12}});
    LoadRequest r = day(2026, 12, 10);
    EXPECT_EQ(subjects(load(r)).size(), 5u);
    r.showPrivate = false;
    EXPECT_EQ(subjects(load(r)), (std::vector<std::string>{"없음", "업무", "개인", "업무일"}));
    r.catyType = ZU_CATY_NONE;
    EXPECT_EQ(subjects(load(r)), (std::vector<std::string>{"없음"}));
    r.catyType = ZU_CATY_ONE;
    r.chosenIndexes = {3};
    EXPECT_EQ(subjects(load(r)), (std::vector<std::string>{"업무", "업무일"}));
    r.catyType = ZU_CATY_SEVERAL;
    r.chosenIndexes = {12, 40};
    EXPECT_EQ(subjects(load(r)), (std::vector<std::string>{"개인", "업무일"}));
}

TEST_F(ItemLoader, ReadsTheStoreAgainOnlyAfterAChange)
{
    add(Appointment{.subject = L"하나", .start = wall(2026, 12, 10, 9)});
    CItemLoader loader;
    LoadResult r;
    std::atomic<bool> abort{false};
    // The first load reads its range, the second everything, the ones after scan memory.
    ASSERT_TRUE(loader.Load(day(2026, 12, 10), r, abort));
    ASSERT_TRUE(loader.Load(day(2026, 12, 11), r, abort));
    ASSERT_TRUE(loader.Load(day(2026, 12, 10), r, abort));
    EXPECT_EQ(loader.StoreReads(), 2);
    add(Appointment{.subject = L"둘", .start = wall(2026, 12, 10, 10)});
    ASSERT_TRUE(loader.Load(day(2026, 12, 10), r, abort));
    EXPECT_EQ(loader.StoreReads(), 3);
    EXPECT_EQ(r.items.size(), 2u);
    ASSERT_TRUE(loader.Load(day(2026, 12, 10), r, abort));
    ASSERT_TRUE(loader.Load(day(2026, 12, 11), r, abort));
    EXPECT_EQ(loader.StoreReads(), 4);
    abort = true;
    EXPECT_FALSE(loader.Load(day(2026, 12, 10), r, abort));
    EXPECT_TRUE(r.items.empty());
}

// What the loading thread reads ahead is used only while the store has not changed since.
TEST_F(ItemLoader, WhatIsReadAheadIsDroppedWhenTheStoreChanges)
{
    add(Contact{.name = L"김", .birthday = wall(1980, 12, 10)});
    std::atomic<bool> abort{false};
    LoadResult r;
    CItemLoader ahead;
    ahead.Prepare();
    ASSERT_TRUE(ahead.Load(day(2026, 12, 10), r, abort));
    EXPECT_EQ(subjects(r), (std::vector<std::string>{"[생일] 김"}));

    CItemLoader stale;
    stale.Prepare();
    add(Contact{.name = L"이", .birthday = wall(1985, 12, 10)});
    add(Task{.subject = L"할일", .due = wall(2026, 12, 10)});
    ASSERT_TRUE(stale.Load(day(2026, 12, 10), r, abort));
    EXPECT_EQ(subjects(r).size(), 3u);
}

namespace {

std::string describe(const LoadResult& r)
{
    std::string out;
    for (const CalendarItem& i : r.items)
        out += std::to_string(i.kind) + ' ' + std::to_string(i.oid) + ' ' + dateOf(i.start) + ' ' + dateOf(i.end) + ' '
            + std::to_string(i.dayClass) + ' ' + utf8(i.subject) + ' ' + utf8(i.timeText) + ' ' + std::to_string(i.status)
            + ' ' + std::to_string(i.priority) + '\n';
    out += "counts " + std::to_string(r.counts.total) + ' ' + std::to_string(r.counts.timed) + ' '
        + std::to_string(r.counts.firstAnniversary) + ' ' + std::to_string(r.counts.beforeTasks) + '\n';
    for (const auto& column : r.layout.columns)
        for (const DayColumnEntry& e : column)
            out += std::to_string(e.item) + ':' + std::to_string(e.overlap) + ' ';
    for (const auto& day : r.layout.occupancy)
        for (BYTE b : day)
            out += std::to_string(b);
    return out;
}

// The lines of each that the other lacks, to show what a mismatch is about.
std::string difference(const std::string& a, const std::string& b)
{
    auto lines = [](const std::string& s) {
        std::multiset<std::string> out;
        size_t at = 0;
        for (size_t nl; (nl = s.find('\n', at)) != std::string::npos; at = nl + 1)
            out.insert(s.substr(at, nl - at));
        return out;
    };
    const auto la = lines(a), lb = lines(b);
    std::string out;
    for (const auto& l : la)
        if (la.count(l) > lb.count(l))
            out += "only in the first: " + l + '\n';
    for (const auto& l : lb)
        if (lb.count(l) > la.count(l))
            out += "only in the second: " + l + '\n';
    return out;
}

}  // namespace

// A first load reads only what its range can show; it must give exactly what a load from every
// record gives: long appointments that began long before, lunar ones (whose stored date runs up
// to two months behind), recurring ones, and durations at the edges of the window.
TEST_F(ItemLoader, ARangeReadGivesWhatAFullReadGives)
{
    std::mt19937 rng(20261210);
    const long durations[] = {0, 30, 59, 1440, 2880, 32767, 32768, 40000, 150000, -5};
    for (int i = 0; i < 400; ++i) {
        const int y = 2024 + static_cast<int>(rng() % 4), m = 1 + static_cast<int>(rng() % 12), d = 1 + static_cast<int>(rng() % 28);
        Appointment a;
        a.subject = (i % 2) ? L"가" : L"나";
        a.start = wall(y, m, d, static_cast<int>(rng() % 24), static_cast<int>(rng() % 4) * 15);
        a.minutes = durations[rng() % std::size(durations)];
        a.allDay = rng() % 5 == 0;
        a.lunar = rng() % 6 == 0;
        a.memorial = a.lunar && rng() % 2;
        a.isPrivate = rng() % 7 == 0;
        if (rng() % 8 == 0) {
            const long type = static_cast<long>(rng() % 3) == 0 ? 5 : (rng() % 2 ? 1 : 2);
            a.recurrence = blob(Pattern{.type = type, .mask = 2 | 16, .dayOfMonth = d, .monthOfYear = m, .start = a.start,
                .startTime = 600, .duration = 90, .occurrences = (rng() % 2) ? 0 : 20});
        }
        add(a);
    }
    add(Appointment{.subject = L"섣달", .start = wall(2025, 12, 29, 9), .lunar = true});  // February 2026
    add(Appointment{.subject = L"긴것", .start = wall(2024, 1, 1), .minutes = 3 * 366 * 1440});

    std::vector<LoadRequest> ranges;
    for (int y = 2024; y <= 2028; ++y)
        for (int m = 1; m <= 12; ++m)
            ranges.push_back(month(y, m));
    for (int d : {1, 15, 28})
        ranges.push_back(day(2026, 2, d));
    ranges.push_back(week(2025, 12, 28));
    ranges.push_back(rangeRequest(ZU_VIEW_YEAR, wall(2026, 1, 1), wall(2027, 1, 1)));
    CItemLoader warm;
    LoadResult full, first;
    std::atomic<bool> abort{false};
    ASSERT_TRUE(warm.Load(ranges[0], full, abort));
    ASSERT_TRUE(warm.Load(ranges[0], full, abort));
    for (const LoadRequest& range : ranges) {
        for (bool showPrivate : {true, false}) {
            LoadRequest request = range;
            request.showPrivate = showPrivate;
            CItemLoader fresh;
            ASSERT_TRUE(fresh.Load(request, first, abort));
            ASSERT_TRUE(warm.Load(request, full, abort));
            EXPECT_EQ(describe(first), describe(full)) << dateOf(request.rangeStart) << " private " << showPrivate << "\n"
                                                       << difference(describe(first), describe(full));
        }
    }
    EXPECT_EQ(warm.StoreReads(), 2);
}

TEST_F(ItemLoader, AStoreThatFailsAReadFailsTheLoadInsteadOfShowingFewerItems)
{
    std::thread([] {
        ZuStoreBatch batch;
        for (int i = 0; i < 300; ++i)
            add(Appointment{.subject = L"probe-appointment-with-a-longer-subject", .start = wall(2026, 12, 1 + i % 28, 9)});
        batch.Commit();
    }).join();
    ASSERT_TRUE(ZuCheckpointFile(home.file("pim.db")));
    std::string bytes = ZuFileBytes(home.file("pim.db"));
    const std::vector<size_t> pages = ZuPagesHolding(bytes, ZuUtf16Bytes("probe-appointment"));
    ASSERT_GT(pages.size(), 4u);
    bytes[(pages[pages.size() / 2] - 1) * ZuPageSize(bytes)] = '\x00';  // a page of records is no page
    ZuTestHome damaged;
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("pim.db"), bytes));
    CItemLoader loader;
    std::atomic<bool> abort{false};
    LoadResult result;
    for (int twice = 0; twice < 2; ++twice) {  // the ranged first read, then the whole one
        ASSERT_TRUE(loader.Load(month(2026, 12), result, abort));
        EXPECT_TRUE(result.items.empty());
        EXPECT_NE(result.failure.str().find(L"pim.db"), std::wstring::npos) << utf8(result.failure);
    }
}

TEST_F(ItemLoader, ALoadSeesAnotherProgramsImportWholeOrNotAtAll)
{
    constexpr int kAppointments = 200, kTasks = 50, kImports = 4;
    std::atomic<bool> done{false};
    std::thread importer([&] {
        for (int n = 0; n < kImports; ++n) {
            ZuStoreBatch batch;
            for (int i = 0; i < kAppointments; ++i)
                add(Appointment{.subject = L"가져온 일정", .start = wall(2026, 12, 1 + i % 28, 9)});
            for (int i = 0; i < kTasks; ++i)
                add(Task{.subject = L"가져온 할 일", .start = wall(2026, 12, 1), .due = wall(2026, 12, 20)});
            batch.Commit();
        }
        done = true;
    });
    // (appointment items, task items) of a load made by a loader of its own, which reads every
    // database again.
    const auto counts = [] {
        CItemLoader loader;
        std::atomic<bool> abort{false};
        LoadResult r;
        EXPECT_TRUE(loader.Load(month(2026, 12), r, abort));
        EXPECT_TRUE(r.failure.IsEmpty()) << utf8(r.failure);
        std::pair<int, int> n{0, 0};
        for (const CalendarItem& item : r.items)
            ++(item.kind == ZU_ITEM_TASK ? n.second : n.first);
        return n;
    };
    std::set<std::pair<int, int>> seen;
    while (!done)
        seen.insert(counts());
    importer.join();
    const auto [allAppointments, allTasks] = counts();
    ASSERT_EQ(allAppointments, kImports * kAppointments);
    const int tasksPerImport = allTasks / kImports;
    for (const auto& [appointments, tasks] : seen) {
        EXPECT_EQ(appointments % kAppointments, 0) << appointments << " appointments";
        EXPECT_EQ(tasks, appointments / kAppointments * tasksPerImport) << appointments << " appointments, " << tasks << " tasks";
    }
}
