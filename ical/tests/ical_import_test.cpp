// `zupim import`: how RRULEs land in the suite's recurrence (mapped, lunar, expanded, skipped),
// the fields of events and to-dos in their records, parse errors and failed writes that leave the
// store unchanged, changed occurrences, the report and the progress line.
#include "attendees.h"
#include "calendarfixture.h"
#include "commandrun.h"
#include "icalexport.h"
#include "icalimport.h"
#include "recurrenceskips.h"
#include "testhome.h"
#include "usernotify.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace calfix;

namespace {

std::string utf8(const std::wstring& s)
{
    return QString::fromStdWString(s).toStdString();
}

std::string calendar(const std::vector<std::string>& lines)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END:VCALENDAR\r\n";
}

std::vector<CCeDBRecord> records(int selector)
{
    std::vector<CCeDBRecord> list;
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, selector));
    CCeDBRecord r;
    db.SeekFirst();
    while (db.ReadCurrRecord(&r))
        list.push_back(r);
    return list;
}

long long intOf(const CCeDBRecord& r, WORD ident)
{
    const CCeDBProp* p = r.GetIdProp(ident);
    return p ? p->rawInt() : -1;
}

std::string text(const CCeDBRecord& r, WORD ident)
{
    const CCeDBProp* p = r.GetIdProp(ident);
    return p ? utf8(p->GetString()) : std::string("(none)");
}

std::string stamp(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    char out[40];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return out;
}

std::string timeOf(const CCeDBRecord& r, WORD ident)
{
    const CCeDBProp* p = r.GetIdProp(ident);
    return p ? stamp(p->GetFiletime()) : std::string("(none)");
}

// Category index -> (name, in use, appointment count, task count).
struct CategoryRow {
    std::string name;
    long long inUse, appointments, tasks;
    bool operator==(const CategoryRow&) const = default;
};
std::map<int, CategoryRow> categories()
{
    std::map<int, CategoryRow> rows;
    for (const CCeDBRecord& r : records(ZU_SEL_CATEGORIES))
        rows[static_cast<int>(intOf(r, ZUID_CAT_INDEX))] = {text(r, ZUID_CAT_NAME), intOf(r, ZUID_CAT_IN_USE),
            intOf(r, ZUID_CAT_APT_COUNT), intOf(r, ZUID_CAT_TASK_COUNT)};
    return rows;
}

class IcalImport : public ::testing::Test {
protected:
    // "Now" is 2026-12-10 09:00 in Seoul: expansion windows end two years later.
    void SetUp() override { ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9))); }
    void TearDown() override { ZuSetClock({}); }

    ZuTestHome home;
};

// ---- Recurrence -----------------------------------------------------------------------------------

struct RuleCase {
    const char* name;
    std::vector<std::string> lines;  // DTSTART and the rule lines of one VEVENT
    // A pattern (type -1: none) ...
    long type = -1;
    long interval = 1, mask = 0, day = 0, instance = 0, month = 0;
    int endType = 0;
    const char* endDate = nullptr;  // end type 1: the pattern's last day
    long count = 0;                 // end type 2
    bool lunar = false;
    std::vector<std::string> skipped;  // the pattern's skipped dates
    // ... or the single appointments it expands into (0: skipped; -1: some).
    int expandedInto = 0;
};

TEST_F(IcalImport, RulesMapOntoPatternsOrExpandOrAreSkipped)
{
    const std::vector<RuleCase> cases = {
        {.name = "every 3 days", .lines = {"DTSTART:20261201T090000", "RRULE:FREQ=DAILY;INTERVAL=3"}, .type = 0, .interval = 3},
        {.name = "weekdays", .lines = {"DTSTART:20261201T090000", "RRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR"}, .type = 0,
            .interval = 0, .mask = 62},
        {.name = "weekly without BYDAY takes the start's day", .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=WEEKLY"},
            .type = 1, .mask = 16},
        {.name = "every 2 weeks on Monday and Wednesday, 6 times",
            .lines = {"DTSTART:20261207T090000", "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=6"}, .type = 1,
            .interval = 2, .mask = 0x0A, .endType = 2, .count = 6},
        {.name = "Sunday in weeks from Monday splits the suite's Sunday weeks",
            .lines = {"DTSTART:20261207T090000", "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,SU;COUNT=6"}, .expandedInto = 6},
        {.name = "the same with WKST=SU fits",
            .lines = {"DTSTART:20261207T090000", "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,SU;WKST=SU;COUNT=6"}, .type = 1,
            .interval = 2, .mask = 0x03, .endType = 2, .count = 6},
        {.name = "the 31st, 5 times: ends on the fifth real 31st",
            .lines = {"DTSTART:20261231T090000", "RRULE:FREQ=MONTHLY;BYMONTHDAY=31;COUNT=5"}, .type = 2, .day = 31,
            .endType = 1, .endDate = "2027-07-31"},
        {.name = "last Friday", .lines = {"DTSTART:20261225T090000", "RRULE:FREQ=MONTHLY;BYDAY=-1FR"}, .type = 3,
            .mask = 32, .instance = 5},
        {.name = "second Tuesday until April",
            .lines = {"DTSTART:20261208T090000", "RRULE:FREQ=MONTHLY;BYDAY=2TU;UNTIL=20270401T000000Z"}, .type = 3,
            .mask = 4, .instance = 2, .endType = 1, .endDate = "2027-03-09"},
        {.name = "one occurrence more than are checked one by one",
            .lines = {"DTSTART:20261201T090000", "RRULE:FREQ=DAILY;COUNT=41"}, .type = 0, .endType = 2, .count = 41},
        {.name = "UNTIL before the occurrence's time leaves that day out",
            .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;UNTIL=20261212T235959Z"}, .type = 0, .endType = 1,
            .endDate = "2026-12-12"},
        {.name = "29 February", .lines = {"DTSTART;VALUE=DATE:20280229", "RRULE:FREQ=YEARLY"}, .type = 5, .day = 29,
            .month = 2},
        {.name = "fourth Thursday of November",
            .lines = {"DTSTART:20261126T090000", "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH"}, .type = 6, .mask = 16,
            .instance = 4, .month = 11},
        {.name = "every other year", .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=YEARLY;INTERVAL=2"}, .type = 5,
            .interval = 2, .day = 10, .month = 12},
        {.name = "a UTC evening is the next morning here",
            .lines = {"DTSTART:20261210T200000Z", "RRULE:FREQ=WEEKLY;BYDAY=TH"}, .type = 1, .mask = 32},
        {.name = "lunar 8/15", .lines = {"DTSTART;VALUE=DATE:20260925", "RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTH=8;BYMONTHDAY=15"},
            .type = 5, .day = 15, .month = 8, .lunar = true},
        {.name = "a yearly rule that lost its RSCALE keeps the suite's lunar date",
            .lines = {"DTSTART;VALUE=DATE:20260925", "RRULE:FREQ=YEARLY", "X-ZUPIMS-LUNAR:08-15"}, .type = 5, .day = 15,
            .month = 8, .lunar = true},
        {.name = "lunar leap month", .lines = {"DTSTART;VALUE=DATE:20280707", "RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTH=5L;BYMONTHDAY=15"},
            .expandedInto = 1},
        {.name = "lunar day 30 left out in short months",
            .lines = {"DTSTART;VALUE=DATE:20270306", "RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTH=1;BYMONTHDAY=30;COUNT=3"},
            .expandedInto = -1},
        {.name = "BYSETPOS", .lines = {"DTSTART:20261231T090000", "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3"},
            .expandedInto = 3},
        {.name = "several BYMONTH", .lines = {"DTSTART:20270101T090000", "RRULE:FREQ=YEARLY;BYMONTH=1,7;COUNT=4"},
            .expandedInto = 4},
        {.name = "yearly BYMONTHDAY means every month",
            .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=YEARLY;BYMONTHDAY=10;COUNT=3"}, .expandedInto = 3},
        {.name = "hourly, 5 times", .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=HOURLY;COUNT=5"}, .expandedInto = 5},
        {.name = "hourly forever", .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=HOURLY"}},
        {.name = "EXDATE", .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;COUNT=5", "EXDATE:20261211T090000"},
            .type = 0, .endType = 2, .count = 5, .skipped = {"2026-12-11"}},
        // 20:00 UTC is 05:00 the next day here: an EXDATE in UTC, a DATE (a day of the start's
        // zone), one in Tokyo time, one at another time of day and one before the start.
        {.name = "EXDATEs in every zone fall on the local dates",
            .lines = {"DTSTART:20261210T200000Z", "RRULE:FREQ=DAILY", "EXDATE:20261212T200000Z",
                "EXDATE;VALUE=DATE:20261213", "EXDATE;TZID=Asia/Tokyo:20261215T050000", "EXDATE:20261216T100000Z",
                "EXDATE:20261201T200000Z"},
            .type = 0, .skipped = {"2026-12-13", "2026-12-14", "2026-12-15"}},
        {.name = "lunar with EXDATE: the lunar date is skipped",
            .lines = {"DTSTART;VALUE=DATE:20260925", "RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTH=8;BYMONTHDAY=15",
                "EXDATE;VALUE=DATE:20270915"},
            .type = 5, .day = 15, .month = 8, .lunar = true, .skipped = {"2027-08-15"}},
        {.name = "a task with EXDATE is skipped",
            .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;COUNT=5", "EXDATE:20261211T090000", "X-TASK:1"}},
        {.name = "RDATE only", .lines = {"DTSTART:20261210T090000", "RDATE:20261215T090000,20261220T090000"}, .expandedInto = 3},
        {.name = "New York time drifts with its daylight saving",
            .lines = {"DTSTART;TZID=America/New_York:20261201T200000", "RRULE:FREQ=WEEKLY;BYDAY=TU;COUNT=20"},
            .expandedInto = 20},
        {.name = "a start off its rule counts as an occurrence",
            .lines = {"DTSTART:20261210T090000", "RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=2"}, .expandedInto = 3},
        {.name = "a bounded series without a form is kept whole",
            .lines = {"DTSTART:20000103T090000", "RRULE:FREQ=DAILY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;COUNT=3000"},
            .expandedInto = 3000},
        {.name = "an endless one from a year before the import to two after",
            .lines = {"DTSTART:20000131T090000", "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"},
            .expandedInto = 36},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        ZuTestHome fresh;
        const bool task = std::find(c.lines.begin(), c.lines.end(), "X-TASK:1") != c.lines.end();
        std::vector<std::string> lines = {task ? "BEGIN:VTODO" : "BEGIN:VEVENT", "UID:rule", "SUMMARY:반복"};
        if (!task)
            lines.push_back("DURATION:PT1H");
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        lines.push_back(task ? "END:VTODO" : "END:VEVENT");
        const ZuIcalImportResult r = ZuImportIcal(calendar(lines));
        ASSERT_TRUE(r.ok) << r.error;
        const std::vector<CCeDBRecord> written = records(ZU_SEL_APPOINTMENTS);
        if (c.type < 0) {
            if (c.expandedInto == 0) {
                EXPECT_EQ(r.skipped, 1);
                EXPECT_TRUE(written.empty());
                EXPECT_TRUE(records(ZU_SEL_TASKS).empty());
                continue;
            }
            EXPECT_EQ(r.expanded, 1);
            ASSERT_EQ(r.expandedItems.size(), 1u);
            EXPECT_EQ(r.expandedItems[0].uid, "rule");
            if (c.expandedInto > 0)
                EXPECT_EQ(static_cast<int>(written.size()), c.expandedInto);
            else
                EXPECT_FALSE(written.empty());
            for (const CCeDBRecord& w : written)
                EXPECT_EQ(intOf(w, ZUID_APT_RECURRING), 0);
            continue;
        }
        EXPECT_EQ(r.imported, 1) << (r.expandedItems.empty() ? "" : r.expandedItems[0].text);
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(intOf(written[0], ZUID_APT_LUNAR) == 1, c.lunar);
        EXPECT_EQ(intOf(written[0], ZUID_APT_MEMORIAL) == 1, c.lunar);
        CCeDBProp blob = *written[0].GetIdProp(ZUID_APT_RECURRENCE);
        CRecurrencePattern p(blob.GetBlob(), 1, 1);
        long type = -1, interval = -1, mask = 0, day = 0, instance = 0, month = 0, count = 0;
        ASSERT_TRUE(p.get_RecurrenceType(&type));
        p.get_Interval(&interval);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(interval, c.interval);
        if (c.mask) {
            p.get_DayOfWeekMask(&mask);
            EXPECT_EQ(mask, c.mask);
        }
        if (c.day) {
            p.get_DayOfMonth(&day);
            EXPECT_EQ(day, c.day);
        }
        if (c.instance) {
            p.get_Instance(&instance);
            EXPECT_EQ(instance, c.instance);
        }
        if (c.month) {
            p.get_MonthOfYear(&month);
            EXPECT_EQ(month, c.month);
        }
        EXPECT_EQ(static_cast<int>(p.GetEndDateType()), c.endType);
        if (c.endType == 1) {
            FILETIME end{};
            p.get_PatternEndDate(&end);
            EXPECT_EQ(stamp(end).substr(0, 10), c.endDate);
        } else if (c.endType == 2) {
            p.get_Occurrences(&count);
            EXPECT_EQ(count, c.count);
        }
        std::vector<std::string> skipped;
        for (ULONGLONG d : ZuSkippedDatesFromBytes(written[0].GetIdProp(ZUID_APT_SKIPPED_DATES)
                     ? written[0].GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()
                     : std::vector<BYTE>()))
            skipped.push_back(stamp(ZuU64ToFileTime(d)).substr(0, 10));
        EXPECT_EQ(skipped, c.skipped);
    }
}

// A series without a form and with more occurrences than are made: the ones nearest the import
// date (2026-12-10) are kept, and the report says which span.
TEST_F(IcalImport, ExpansionKeepsTheOccurrencesNearestTheImportDate)
{
    const ZuIcalImportResult r = ZuImportIcal(calendar({"BEGIN:VEVENT", "UID:long", "SUMMARY:긴 반복",
        "DTSTART:20000101T090000", "RRULE:FREQ=DAILY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;COUNT=12000", "END:VEVENT"}));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.expandedItems.size(), 1u);
    EXPECT_EQ(r.expandedItems[0].text,
        "10000 occurrences from 2005-06-23 to 2032-11-07 (the 10000 nearest the import date of 12000); its rule has no "
        "form in the suite: it has several BYMONTH");
    EXPECT_EQ(records(ZU_SEL_APPOINTMENTS).size(), 10000u);
}

TEST_F(IcalImport, ChangedOccurrencesAreSkippedInTheirSeries)
{
    const ZuIcalImportResult r = ZuImportIcal(calendar({
        "BEGIN:VEVENT", "UID:weekly", "SUMMARY:주간", "DTSTART:20261210T090000", "DURATION:PT1H",
        "RRULE:FREQ=WEEKLY;COUNT=4", "END:VEVENT",
        "BEGIN:VEVENT", "UID:weekly", "RECURRENCE-ID:20261217T090000", "SUMMARY:주간 (옮김)",
        "DTSTART:20261218T100000", "DURATION:PT1H", "END:VEVENT",
        "BEGIN:VEVENT", "UID:weekly", "RECURRENCE-ID:20261224T090000", "STATUS:CANCELLED",
        "DTSTART:20261224T090000", "END:VEVENT",
    }));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.expanded, 0);
    EXPECT_EQ(r.imported, 2);
    std::vector<std::string> starts;
    for (const CCeDBRecord& w : records(ZU_SEL_APPOINTMENTS))
        starts.push_back(timeOf(w, ZUID_APT_START) + " " + text(w, ZUID_APT_SUBJECT) + " "
            + std::to_string(intOf(w, ZUID_APT_RECURRING)));
    EXPECT_EQ(starts, (std::vector<std::string>{"2026-12-10 00:00 주간 1", "2026-12-18 01:00 주간 (옮김) 0"}));  // UTC
    const std::vector<CCeDBRecord> list = records(ZU_SEL_APPOINTMENTS);
    std::vector<std::string> skipped;
    for (ULONGLONG d : ZuSkippedDatesFromBytes(list[0].GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()))
        skipped.push_back(stamp(ZuU64ToFileTime(d)));
    EXPECT_EQ(skipped, (std::vector<std::string>{"2026-12-17 00:00", "2026-12-24 00:00"}));
    // The moved occurrence answers to its UID and the start it replaces.
    EXPECT_EQ(text(list[1], ZUID_APT_UID), "weekly");
    EXPECT_EQ(timeOf(list[1], ZUID_APT_UID_OCCURRENCE), "2026-12-17 09:00");  // local
    EXPECT_EQ(list[0].GetIdProp(ZUID_APT_UID_OCCURRENCE), nullptr);
}

// ---- Fields -------------------------------------------------------------------------------------

TEST_F(IcalImport, EventFieldsLandInTheAppointmentRecord)
{
    addCategory(L"업무", 0);
    addCategory(L"개인", 2);
    {  // "개인" is no longer in use: importing it takes it back
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
        CCeDBProp off(short(0), ZUID_CAT_IN_USE);
        CEPROPVAL v = off.AsPropVal();
        ASSERT_TRUE(db.WriteProps(records(ZU_SEL_CATEGORIES)[1].GetOid(), &v, 1));
    }
    const ZuIcalImportResult r = ZuImportIcal(calendar({
        "BEGIN:VEVENT", "UID:full", "SUMMARY:팀 회의\\, 런던", "LOCATION:본사",
        "DTSTART;TZID=Europe/London:20261210T090000", "DTEND;TZID=Europe/London:20261210T103000",
        "CATEGORIES:업무,여행", "CATEGORIES:개인", "CLASS:CONFIDENTIAL", "TRANSP:TRANSPARENT",
        "ATTENDEE;CN=김철수:mailto:kim@example.com", "ATTENDEE:MAILTO:lee@example.com",
        "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:x", "TRIGGER;RELATED=END:-PT2H", "END:VALARM",
        "END:VEVENT",
        "BEGIN:VEVENT", "UID:allday", "SUMMARY:휴가", "DTSTART;VALUE=DATE:20261224",
        "X-MICROSOFT-CDO-BUSYSTATUS:OOF", "END:VEVENT",
        "BEGIN:VEVENT", "UID:floating", "DTSTART:20261211T080000", "DURATION:PT2H", "STATUS:TENTATIVE",
        "BEGIN:VALARM", "ACTION:AUDIO", "TRIGGER;VALUE=DATE-TIME:20261210T225000Z", "END:VALARM", "END:VEVENT",
        "BEGIN:VEVENT", "UID:lunar", "SUMMARY:생일", "DTSTART;VALUE=DATE:20260925", "X-ZUPIMS-LUNAR:08-15",
        "X-ZUPIMS-MEMORIAL:1", "END:VEVENT",
    }));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.imported, 4);
    EXPECT_EQ(r.categoriesAdded, 1);
    const std::vector<CCeDBRecord> list = records(ZU_SEL_APPOINTMENTS);
    ASSERT_EQ(list.size(), 4u);

    const CCeDBRecord& full = list[0];
    EXPECT_EQ(text(full, ZUID_APT_SUBJECT), "팀 회의, 런던");
    EXPECT_EQ(text(full, ZUID_APT_LOCATION), "본사");
    EXPECT_EQ(timeOf(full, ZUID_APT_START), "2026-12-10 09:00");  // 09:00 in London is 09:00 UTC
    EXPECT_EQ(intOf(full, ZUID_APT_DURATION), 90);
    EXPECT_EQ(intOf(full, ZUID_APT_TYPE), ZU_APT_TIMED);
    EXPECT_EQ(intOf(full, ZUID_APT_PRIVATE), 1);
    EXPECT_EQ(intOf(full, ZUID_APT_BUSYSTATUS), 0);
    EXPECT_EQ(intOf(full, ZUID_APT_REMINDER_SET), 1);
    EXPECT_EQ(intOf(full, ZUID_APT_REMINDER_MINUTES), 30);  // 2 hours before an end 90 minutes after the start
    EXPECT_EQ(full.GetIdProp(ZUID_APT_CATEGORIES)->rawBytes(), bitmapOf({0, 1, 2}));
    CCeDBProp blob = *full.GetIdProp(ZUID_APT_ATTENDEES);
    const CAttendees attendees(blob.GetBlob());
    ASSERT_EQ(attendees.GetSize(), 2);
    EXPECT_EQ(utf8(attendees[0].strName.str()) + " " + utf8(attendees[0].strAddress.str()), "김철수 kim@example.com");
    EXPECT_EQ(utf8(attendees[1].strName.str()) + " " + utf8(attendees[1].strAddress.str()), "lee@example.com lee@example.com");
    // The new category takes the lowest free index; every one counts the appointment.
    EXPECT_EQ(categories(), (std::map<int, CategoryRow>{{0, {"업무", 1, 1, 0}}, {1, {"여행", 1, 1, 0}}, {2, {"개인", 1, 1, 0}}}));

    const CCeDBRecord& allDay = list[1];
    EXPECT_EQ(timeOf(allDay, ZUID_APT_START), "2026-12-23 15:00");  // local midnight
    EXPECT_EQ(intOf(allDay, ZUID_APT_DURATION), 1440);
    EXPECT_EQ(intOf(allDay, ZUID_APT_TYPE), ZU_APT_ALLDAY);
    EXPECT_EQ(intOf(allDay, ZUID_APT_BUSYSTATUS), 3);
    EXPECT_EQ(intOf(allDay, ZUID_APT_REMINDER_SET), 0);

    const CCeDBRecord& floating = list[2];
    EXPECT_EQ(text(floating, ZUID_APT_SUBJECT), "내용 없음");
    EXPECT_EQ(timeOf(floating, ZUID_APT_START), "2026-12-10 23:00");  // 08:00 here
    EXPECT_EQ(intOf(floating, ZUID_APT_DURATION), 120);
    EXPECT_EQ(intOf(floating, ZUID_APT_BUSYSTATUS), 1);
    EXPECT_EQ(intOf(floating, ZUID_APT_REMINDER_MINUTES), 10);

    // A single lunar date goes back to being held as the lunar date.
    const CCeDBRecord& lunar = list[3];
    EXPECT_EQ(intOf(lunar, ZUID_APT_LUNAR), 1);
    EXPECT_EQ(intOf(lunar, ZUID_APT_MEMORIAL), 1);
    EXPECT_EQ(timeOf(lunar, ZUID_APT_START), "2026-08-14 15:00");  // lunar 2026-08-15 00:00 local
}

TEST_F(IcalImport, TodosBecomeTaskRecordsOnTheWallClock)
{
    addCategory(L"업무", 3);
    const ZuIcalImportResult r = ZuImportIcal(calendar({
        "BEGIN:VTODO", "UID:t1", "SUMMARY:보고서", "DTSTART;VALUE=DATE:20261201",
        "DUE;TZID=America/New_York:20261220T100000", "PRIORITY:3", "PERCENT-COMPLETE:45", "CATEGORIES:업무",
        "CLASS:PRIVATE", "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:x", "TRIGGER:-PT1H", "END:VALARM", "END:VTODO",
        "BEGIN:VTODO", "UID:t2", "STATUS:COMPLETED", "COMPLETED:20261205T010000Z", "PRIORITY:9", "END:VTODO",
        "BEGIN:VTODO", "UID:t3", "SUMMARY:주간 보고", "DTSTART;VALUE=DATE:20261207", "DUE;VALUE=DATE:20261208",
        "RRULE:FREQ=WEEKLY;BYDAY=MO", "PRIORITY:5", "END:VTODO",
        "BEGIN:VTODO", "UID:t4", "SUMMARY:월말", "DUE;VALUE=DATE:20261231",
        "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "END:VTODO",
        "BEGIN:VJOURNAL", "UID:j1", "SUMMARY:일기", "DTSTART:20261210T090000", "END:VJOURNAL",
    }));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.imported, 3);
    EXPECT_EQ(r.skipped, 2);
    EXPECT_EQ(r.taskAlarmsLeft, 1);
    ASSERT_EQ(r.skippedItems.size(), 2u);
    EXPECT_EQ(r.skippedItems[0].uid, "t4");
    EXPECT_NE(r.skippedItems[0].text.find("BYSETPOS"), std::string::npos) << r.skippedItems[0].text;
    EXPECT_EQ(r.skippedItems[1].uid, "j1");
    const std::vector<CCeDBRecord> list = records(ZU_SEL_TASKS);
    ASSERT_EQ(list.size(), 3u);

    const CCeDBRecord& t1 = list[0];
    EXPECT_EQ(text(t1, ZUID_TASK_SUBJECT), "보고서");
    EXPECT_EQ(timeOf(t1, ZUID_TASK_START), "2026-12-01 00:00");  // wall clock, not UTC
    EXPECT_EQ(timeOf(t1, ZUID_TASK_DUE), "2026-12-21 00:00");    // 10:00 in New York
    EXPECT_EQ(intOf(t1, ZUID_TASK_IMPORTANCE), 1);
    EXPECT_EQ(intOf(t1, ZUID_TASK_PROGRESS), 40);
    EXPECT_EQ(t1.GetFullIdProp(ZUPID_TASK_COMPLETE)->rawInt(), 0);
    EXPECT_EQ(intOf(t1, ZUID_TASK_PRIVATE), 1);
    EXPECT_EQ(intOf(t1, ZUID_TASK_REMINDER_SET), 0);
    EXPECT_EQ(text(t1, ZUID_TASK_REMINDER_SOUND), "Alarm1.wav");
    EXPECT_EQ(intOf(t1, ZUID_TASK_RECURRING), 0);
    EXPECT_EQ(categories().at(3).tasks, 1);

    const CCeDBRecord& t2 = list[1];
    EXPECT_EQ(text(t2, ZUID_TASK_SUBJECT), "내용 없음");
    EXPECT_EQ(t2.GetFullIdProp(ZUPID_TASK_COMPLETE)->rawInt(), 1);
    EXPECT_EQ(stamp(t2.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE)->GetFiletime()), "2026-12-05 01:00");
    EXPECT_EQ(t2.GetIdProp(ZUID_TASK_PROGRESS), nullptr);
    EXPECT_TRUE(ZuIsNoDate(t2.GetIdProp(ZUID_TASK_START)->GetFiletime()));
    EXPECT_TRUE(ZuIsNoDate(t2.GetIdProp(ZUID_TASK_DUE)->GetFiletime()));
    EXPECT_EQ(intOf(t2, ZUID_TASK_IMPORTANCE), 3);

    const CCeDBRecord& t3 = list[2];
    EXPECT_EQ(intOf(t3, ZUID_TASK_IMPORTANCE), 2);
    EXPECT_EQ(intOf(t3, ZUID_TASK_RECURRING), 1);
    CCeDBProp blob = *t3.GetIdProp(ZUID_TASK_RECURRENCE);
    CRecurrencePattern p(blob.GetBlob(), 1, 4);
    long type = -1, mask = 0;
    p.get_RecurrenceType(&type);
    p.get_DayOfWeekMask(&mask);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(mask, 2);
    FILETIME start{};
    p.get_PatternStartDate(&start);
    EXPECT_EQ(stamp(start), "2026-12-07 00:00");
}

// ---- All or nothing ---------------------------------------------------------------------------

TEST_F(IcalImport, ParseErrorsNameTheLineAndChangeNothing)
{
    addCategory(L"업무", 0);
    add(Appointment{.subject = L"있던 일정", .start = wall(2026, 12, 1, 9)});
    const std::string longLine = "DESCRIPTION:" + std::string(150, 'x');
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        // A folded line and a line longer than libical's read buffer before the bad one.
        {"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nCATEGORIES:새분류\r\nSUMMARY:접힌\r\n  줄\r\n" + longLine
                + "\r\nDTSTART:2026bogus\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
            "line 8: cannot parse \"DTSTART:2026bogus\""},
        {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:x\nRRULE:FREQ=SOMETIMES\nEND:VEVENT\nEND:VCALENDAR\n",
            "line 4: cannot parse \"RRULE:FREQ=SOMETIMES\""},
        {"hello\nworld\n", "line 1: cannot parse \"hello\""},
        // A parameter libical cannot read, which it marks inside the component.
        {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20261210T090000\nSUMMARY;LANGUAGE:x\nEND:VEVENT\nEND:VCALENDAR\n",
            "line 4: cannot parse \"SUMMARY;LANGUAGE:x\""},
        {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nBEGIN:VALARM\nEND:VEVENT\nEND:VCALENDAR\n",
            "line 4: END:VEVENT where END:VALARM was expected"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\n", "line 3: the file ends inside a component (an END line is missing)"},
        {"", "line 1: no VCALENDAR in the file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const ZuIcalImportResult r = ZuImportIcal(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
    }
    EXPECT_EQ(records(ZU_SEL_APPOINTMENTS).size(), 1u);
    EXPECT_EQ(categories().size(), 1u);
}

TEST_F(IcalImport, AFailedWriteRollsEverythingBack)
{
    // The second event's attendee list is beyond what a record holds (16 MiB): its write fails
    // after the first event, its new category, its reminder and the count were written.
    const std::string huge(9 * 1024 * 1024, 'x');
    const ZuIcalImportResult r = ZuImportIcal(calendar({
        "BEGIN:VEVENT", "UID:ok", "SUMMARY:먼저", "DTSTART:20261210T090000", "CATEGORIES:새분류",
        "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:x", "TRIGGER:-PT5M", "END:VALARM", "END:VEVENT",
        "BEGIN:VTODO", "UID:task", "SUMMARY:할 일", "CATEGORIES:새분류", "END:VTODO",
        "BEGIN:VEVENT", "UID:huge", "SUMMARY:참석자 많음", "ATTENDEE;CN=" + huge + ":mailto:a@example.com",
        "DTSTART:20261211T090000", "END:VEVENT",
    }));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("cannot write huge"), std::string::npos) << r.error.substr(0, 200);
    EXPECT_TRUE(records(ZU_SEL_APPOINTMENTS).empty());
    EXPECT_TRUE(records(ZU_SEL_TASKS).empty());
    EXPECT_TRUE(categories().empty());
    BYTE buffer[1024];
    DWORD needed = 0;
    EXPECT_FALSE(CeGetUserNotification(ZuLongToHandle(1), sizeof buffer, &needed, buffer));
}

// ---- Importing again ------------------------------------------------------------------------------

TEST_F(IcalImport, ImportingAgainUpdatesInPlace)
{
    const auto file = [](const std::string& summary, const std::string& category, const std::string& lead,
                          bool withMove, const std::string& percent, bool withNew) {
        std::vector<std::string> lines = {"BEGIN:VEVENT", "UID:a", "SUMMARY:" + summary, "DTSTART:20261215T090000",
            "CATEGORIES:" + category, "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:x", "TRIGGER:-PT" + lead + "M",
            "END:VALARM", "END:VEVENT",
            "BEGIN:VEVENT", "UID:b", "SUMMARY:주간", "DTSTART:20261210T090000", "DURATION:PT1H",
            "RRULE:FREQ=WEEKLY;COUNT=4", "END:VEVENT",
            "BEGIN:VTODO", "UID:t", "SUMMARY:보고서", "DUE;VALUE=DATE:20261220", "PERCENT-COMPLETE:" + percent,
            "CATEGORIES:" + category, "END:VTODO"};
        if (withMove)
            lines.insert(lines.end(), {"BEGIN:VEVENT", "UID:b", "RECURRENCE-ID:20261217T090000", "SUMMARY:주간 (옮김)",
                                          "DTSTART:20261218T100000", "DURATION:PT1H", "END:VEVENT"});
        if (withNew)
            lines.insert(lines.end(), {"BEGIN:VEVENT", "UID:c", "SUMMARY:새 일정", "DTSTART:20261220T090000", "END:VEVENT"});
        return calendar(lines);
    };
    const auto counts = [](const ZuIcalImportResult& r) {
        return std::vector<int>{r.created, r.updated, r.unchanged, r.removed};
    };
    const std::string first = file("회의", "업무", "10", true, "20", false);
    ZuIcalImportResult r = ZuImportIcal(first);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(counts(r), (std::vector<int>{4, 0, 0, 0}));
    const std::vector<CCeDBRecord> before = records(ZU_SEL_APPOINTMENTS);
    ASSERT_EQ(before.size(), 3u);
    const long long reminder = intOf(before[0], ZUID_APT_NOTIFY);

    // The same file again (a retry of an import that went through): nothing changes.
    r = ZuImportIcal(first);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(counts(r), (std::vector<int>{0, 0, 4, 0}));
    EXPECT_EQ(r.appointments + r.tasks, 0);
    EXPECT_EQ(intOf(records(ZU_SEL_APPOINTMENTS)[0], ZUID_APT_NOTIFY), reminder);
    EXPECT_EQ(categories().at(0), (CategoryRow{"업무", 1, 1, 1}));

    // A changed file: the records of a, b and t change in place, c is new, and b's moved
    // occurrence, which the file no longer has, goes (its date is an occurrence of b again).
    r = ZuImportIcal(file("회의 (변경)", "개인", "30", false, "60", true));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(counts(r), (std::vector<int>{1, 3, 0, 1}));
    const std::vector<CCeDBRecord> after = records(ZU_SEL_APPOINTMENTS);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].GetOid(), before[0].GetOid());
    EXPECT_EQ(text(after[0], ZUID_APT_SUBJECT), "회의 (변경)");
    EXPECT_EQ(intOf(after[0], ZUID_APT_REMINDER_MINUTES), 30);
    EXPECT_EQ(after[1].GetOid(), before[1].GetOid());
    EXPECT_EQ(after[1].GetIdProp(ZUID_APT_SKIPPED_DATES), nullptr);
    EXPECT_EQ(text(after[2], ZUID_APT_SUBJECT), "새 일정");
    const std::vector<CCeDBRecord> tasks = records(ZU_SEL_TASKS);
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(intOf(tasks[0], ZUID_TASK_PROGRESS), 60);
    EXPECT_EQ(text(tasks[0], ZUID_TASK_UID), "t");
    // An export gives each record the UID it came with.
    const std::string exported = ZuExportIcal().text;
    for (const char* uid : {"UID:a\r\n", "UID:b\r\n", "UID:c\r\n", "UID:t\r\n"})
        EXPECT_NE(exported.find(uid), std::string::npos) << uid;
    // The counts and the reminder follow, in the same transaction.
    EXPECT_EQ(categories(), (std::map<int, CategoryRow>{{0, {"업무", 1, 0, 0}}, {1, {"개인", 1, 1, 1}}}));
    BYTE buffer[1024];
    DWORD needed = 0;
    EXPECT_NE(intOf(after[0], ZUID_APT_NOTIFY), reminder);
    EXPECT_FALSE(CeGetUserNotification(ZuLongToHandle(static_cast<LONG>(reminder)), sizeof buffer, &needed, buffer));
    EXPECT_TRUE(CeGetUserNotification(ZuLongToHandle(static_cast<LONG>(intOf(after[0], ZUID_APT_NOTIFY))), sizeof buffer,
        &needed, buffer));

    // Events without a UID have nothing to be found by: each import adds them.
    const std::string anonymous = calendar({"BEGIN:VEVENT", "SUMMARY:무명", "DTSTART:20261221T090000", "END:VEVENT"});
    EXPECT_EQ(counts(ZuImportIcal(anonymous)), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(counts(ZuImportIcal(anonymous)), (std::vector<int>{1, 0, 0, 0}));
}

// ---- The command --------------------------------------------------------------------------------

CommandRun importCommand(std::vector<std::string> args)
{
    return ZuRunCommand(runImportCommand, std::move(args));
}

TEST_F(IcalImport, CommandReportsEveryExpandedAndSkippedItem)
{
    // Exported by a desktop calendar: Windows zone names with their VTIMEZONE, an all-day
    // holiday, a weekly meeting with a cancelled week, a task list.
    CommandRun run = importCommand({std::string(ZU_ICAL_FIXTURES) + "/desktop.ics"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
        "skipped   standup-2@desktop \"스탠드업\": it repeats more often than daily, with more than 10000 occurrences to "
        "expand\n"
        "imported 4, expanded 0, skipped 1 of 5 items: 3 appointments and 1 tasks written, 2 new categories\n"
        "records: 4 created, 0 updated, 0 unchanged\n"
        "note: the alarms of 1 tasks were not imported (task reminders are set in the task editor)\n");
    std::vector<std::string> starts;
    for (const CCeDBRecord& w : records(ZU_SEL_APPOINTMENTS))
        starts.push_back(timeOf(w, ZUID_APT_START));
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0], "2027-01-04 01:00");  // 10:00 Korea Standard Time, through the file's VTIMEZONE
    EXPECT_EQ(starts[1], "2026-12-31 15:00");  // the all-day New Year's Day
    EXPECT_EQ(starts[2], "2027-01-05 03:00");
    // The weekly meeting keeps its rule and skips its cancelled week.
    const CCeDBRecord meeting = records(ZU_SEL_APPOINTMENTS)[0];
    EXPECT_EQ(intOf(meeting, ZUID_APT_RECURRING), 1);
    EXPECT_EQ(ZuSkippedDatesFromBytes(meeting.GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()),
        ZuSkippedDates{ZuFileTimeToU64(wall(2027, 1, 11))});

    run = importCommand({std::string(ZU_ICAL_FIXTURES) + "/broken.ics"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("broken.ics: line 6: cannot parse"), std::string::npos) << run.err;
    EXPECT_EQ(importCommand({}).status, 2);
    EXPECT_EQ(importCommand({"/nonexistent/x.ics"}).status, 1);
}

TEST_F(IcalImport, LargeFilesShowProgress)
{
    const auto many = [](int n) {
        std::vector<std::string> lines;
        for (int i = 0; i < n; ++i) {
            const std::string day = std::to_string(20270101 + i % 28);
            lines.insert(lines.end(), {"BEGIN:VEVENT", "UID:e" + std::to_string(n) + "-" + std::to_string(i), "SUMMARY:일정",
                                          "DTSTART:" + day + "T090000", "END:VEVENT"});
        }
        return calendar(lines);
    };
    FILE* progress = std::tmpfile();
    ZuIcalImportOptions options;
    options.progress = progress;
    ZuIcalImportResult r = ZuImportIcal(many(kZuIcalProgressThreshold), options);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(std::ftell(progress), 0);  // not above the threshold
    r = ZuImportIcal(many(kZuIcalProgressThreshold + 1), options);
    EXPECT_TRUE(r.ok) << r.error;
    const std::string shown = ZuReadAll(progress);
    EXPECT_NE(shown.find("\rzupim import: 2000 of 2001 records written"), std::string::npos);
    EXPECT_EQ(shown.back(), '\n');
    EXPECT_EQ(records(ZU_SEL_APPOINTMENTS).size(), 2u * kZuIcalProgressThreshold + 1);
}

}  // namespace
