// `zupim export`: what the file says for each kind of record, UIDs that stay, the range, and the
// round trip (export, import into an empty store, export again) that gives the same agenda.
#include "agendacommand.h"
#include "calendarfixture.h"
#include "commandrun.h"
#include "icalexport.h"
#include "icalimport.h"
#include "poomapplication.h"
#include "storedamage.h"
#include "testhome.h"
#include "testzone.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

using namespace calfix;

namespace {

DATE oleDate(int y, int m, int d, int h = 0, int mi = 0)
{
    return COleDateTime(y, m, d, h, mi, 0).m_dt;
}

struct Recurrence {
    long type = 0;
    long interval = 1, mask = 0, instance = 0, day = 0, month = 0;
    FILETIME start{};
    std::optional<FILETIME> until;  // else a count, else no end
    long count = 0;
};

struct Apt {
    const wchar_t* subject = L"일정";
    const wchar_t* location = L"";
    DATE start = 0;  // local (a lunar one: the lunar date)
    long minutes = 60;
    bool allDay = false;
    long busy = ZU_OL_BUSY;
    bool isPrivate = false;
    long reminder = -1;
    const wchar_t* categories = L"";
    std::vector<std::pair<const wchar_t*, const wchar_t*>> attendees;
    std::optional<Recurrence> recurrence;
    bool memorial = false;
    bool lunar = false;
};

// Saves an appointment as the event editor does: through the object model, then the marks.
CEOID save(const Apt& a)
{
    CPoomApplication app;
    EXPECT_EQ(app.Logon(0), S_OK);
    std::unique_ptr<CPoomAppointment> item;
    EXPECT_EQ(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item), S_OK);
    item->put_Subject(a.subject);
    item->put_Location(a.location);
    item->put_Categories(a.categories);
    item->put_Start(a.start);
    item->put_Duration(a.minutes);
    item->put_AllDayEvent(a.allDay);
    item->put_BusyStatus(a.busy);
    item->put_Sensitivity(a.isPrivate ? ZU_OL_PRIVATE : ZU_OL_NORMAL);
    item->put_ReminderSet(a.reminder >= 0 ? -1 : 0);
    item->put_ReminderMinutesBeforeStart(a.reminder);
    CPoomRecipients* recipients = nullptr;
    item->get_Recipients(&recipients);
    for (const auto& [name, address] : a.attendees) {
        CPoomRecipient* r = nullptr;
        recipients->Add(name, &r);
        r->put_Address(address);
    }
    if (a.recurrence) {
        const Recurrence& r = *a.recurrence;
        CRecurrencePattern* p = nullptr;
        item->GetRecurrencePattern(&p);
        EXPECT_TRUE(p->put_RecurrenceType(r.type));
        EXPECT_TRUE(p->put_Interval(r.interval));
        if (r.mask) {
            EXPECT_TRUE(p->put_DayOfWeekMask(r.mask));
        }
        if (r.instance) {
            EXPECT_TRUE(p->put_Instance(r.instance));
        }
        if (r.day) {
            EXPECT_TRUE(p->put_DayOfMonth(r.day));
        }
        if (r.month) {
            EXPECT_TRUE(p->put_MonthOfYear(r.month));
        }
        EXPECT_TRUE(p->put_PatternStartDate(r.start));
        if (r.until) {
            EXPECT_TRUE(p->put_PatternEndDate(*r.until));
        } else if (r.count) {
            EXPECT_TRUE(p->put_Occurrences(r.count));
        } else {
            EXPECT_TRUE(p->put_NoEndDate(1));
        }
    }
    EXPECT_EQ(item->Save(), S_OK);
    CEOID oid = 0;
    item->get_Oid(&oid);
    if (a.memorial || a.lunar) {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBProp marks[] = {CCeDBProp(short(a.memorial), ZUID_APT_MEMORIAL), CCeDBProp(short(a.lunar), ZUID_APT_LUNAR)};
        CEPROPVAL values[] = {marks[0].AsPropVal(), marks[1].AsPropVal()};
        EXPECT_TRUE(db.WriteProps(oid, values, 2));
    }
    return oid;
}

// A task record with what calfix::Task lacks: completion.
void addCompletedTask(const wchar_t* subject, FILETIME completedUtc)
{
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(short(1), ZUID_TASK_COMPLETE),
        CCeDBProp(completedUtc, ZUID_TASK_COMPLETED_DATE),
        CCeDBProp(subject, ZUID_TASK_SUBJECT),
        CCeDBProp(wall(2026, 12, 3), ZUID_TASK_START),
        CCeDBProp(wall(2026, 12, 4), ZUID_TASK_DUE),
        CCeDBProp(LONG(3), ZUID_TASK_IMPORTANCE),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    write(ZU_SEL_TASKS, r);
}

// Every kind of record the calendar shows.
void addEveryKind()
{
    addCategory(L"업무", 0);
    addCategory(L"여행", 1);
    save({.subject = L"회의", .location = L"본사", .start = oleDate(2026, 12, 10, 9, 30), .minutes = 90,
        .busy = ZU_OL_TENTATIVE, .reminder = 15, .categories = L"업무",
        .attendees = {{L"김철수", L"kim@example.com"}, {L"이영희", L"lee@example.com"}}});
    save({.subject = L"휴가", .start = oleDate(2026, 12, 24), .minutes = 1440, .allDay = true, .busy = ZU_OL_OUT_OF_OFFICE});
    save({.subject = L"출장", .start = oleDate(2026, 12, 14), .minutes = 3 * 1440, .allDay = true, .categories = L"업무, 여행"});
    save({.subject = L"야간 작업", .start = oleDate(2026, 12, 11, 22), .minutes = 600});
    save({.subject = L"비밀", .start = oleDate(2026, 12, 10, 11), .busy = ZU_OL_FREE, .isPrivate = true});
    save({.subject = L"이틀마다", .start = oleDate(2026, 12, 1, 8), .minutes = 30,
        .recurrence = Recurrence{.type = 0, .interval = 2, .start = wall(2026, 12, 1)}});
    save({.subject = L"평일", .start = oleDate(2026, 12, 1, 7), .minutes = 15,
        .recurrence = Recurrence{.type = 0, .interval = 0, .start = wall(2026, 12, 1), .until = wall(2027, 1, 29)}});
    save({.subject = L"격주", .start = oleDate(2026, 12, 6, 10), .reminder = 5, .categories = L"여행",
        .recurrence = Recurrence{.type = 1, .interval = 2, .mask = 0x0B, .start = wall(2026, 12, 6), .count = 10}});
    save({.subject = L"말일", .start = oleDate(2026, 12, 31, 18),
        .recurrence = Recurrence{.type = 2, .day = 31, .start = wall(2026, 12, 31), .count = 6}});
    save({.subject = L"둘째 화요일", .start = oleDate(2026, 12, 8, 14),
        .recurrence = Recurrence{.type = 3, .mask = 4, .instance = 2, .start = wall(2026, 12, 8)}});
    save({.subject = L"마지막 금요일", .start = oleDate(2026, 12, 25, 17), .isPrivate = true,
        .recurrence = Recurrence{.type = 3, .mask = 32, .instance = 5, .start = wall(2026, 12, 25), .until = wall(2027, 6, 30)}});
    save({.subject = L"성탄절", .start = oleDate(2026, 12, 25), .minutes = 1440, .allDay = true,
        .recurrence = Recurrence{.type = 5, .day = 25, .month = 12, .start = wall(2026, 12, 25)}, .memorial = true});
    save({.subject = L"추수감사절", .start = oleDate(2026, 11, 26, 12), .minutes = 180,
        .recurrence = Recurrence{.type = 6, .mask = 16, .instance = 4, .month = 11, .start = wall(2026, 11, 26), .count = 5}});
    save({.subject = L"할머니 생신", .start = oleDate(2026, 8, 15), .minutes = 1440, .allDay = true, .reminder = 1440,
        .recurrence = Recurrence{.type = 5, .day = 15, .month = 8, .start = wall(2026, 8, 15)}, .memorial = true, .lunar = true});
    save({.subject = L"설날 모임", .start = oleDate(2027, 1, 1), .minutes = 1440, .allDay = true, .memorial = true, .lunar = true});
    add(Task{.subject = L"보고서", .start = wall(2026, 12, 1), .due = wall(2026, 12, 20), .importance = 1, .progress = 40,
        .categories = {0}});
    add(Task{.subject = L"언젠가", .importance = 2, .isPrivate = true});
    addCompletedTask(L"끝난 일", utcOf(wall(2026, 12, 5, 10)));
    add(Task{.subject = L"주간 보고", .start = wall(2026, 12, 7), .due = wall(2026, 12, 8), .importance = 2,
        .recurrence = blob(Pattern{.type = 1, .mask = 2, .start = wall(2026, 12, 7), .kind = 4})});
    add(Task{.subject = L"월세", .due = wall(2026, 12, 15), .importance = 3,
        .recurrence = blob(Pattern{.type = 2, .dayOfMonth = 15, .start = wall(2026, 12, 15), .kind = 4})});
}

std::string agenda(std::vector<std::string> args)
{
    args.insert(args.begin(), {"--tsv", "--show-private"});
    const CommandRun run = ZuRunCommand(runAgendaCommand, std::move(args));
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

// What the calendar shows over the ranges the round trip compares.
std::vector<std::string> agendas()
{
    const std::vector<std::vector<std::string>> ranges = {
        {"--day", "2026-12-10"}, {"--week", "2026-12-07"}, {"--week", "2027-01-25"}, {"--month", "2026-12-01"},
        {"--month", "2027-01-01"}, {"--month", "2027-02-01"}, {"--month", "2027-06-01"}, {"--month", "2027-09-01"},
        {"--month", "2027-11-01"}, {"--month", "2028-12-01"}, {"--month", "2031-05-01"},
        {"--category", "업무", "--month", "2026-12-01"}, {"--no-category", "--month", "2027-03-01"}};
    std::vector<std::string> shown;
    for (const std::vector<std::string>& range : ranges)
        shown.push_back(agenda(range));
    return shown;
}

std::string exported()
{
    const ZuIcalExportResult r = ZuExportIcal();
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.leftOut.empty());
    return r.text;
}

std::vector<std::string> linesOf(const std::string& text, const char* prefix)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    return lines;
}

// The text with every UID line made the same (the ids differ between two stores).
std::string withoutUids(const std::string& text)
{
    std::string out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        out += (line.rfind("UID:zupims-", 0) == 0 ? std::string("UID:-\r") : line) + "\n";
    return out;
}

class IcalExport : public ::testing::Test {
protected:
    void SetUp() override { ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9))); }
    void TearDown() override { ZuSetClock({}); }
};

// ---- Round trip ---------------------------------------------------------------------------------

class IcalRoundTrip : public IcalExport, public ::testing::WithParamInterface<const char*> {};

TEST_P(IcalRoundTrip, GivesTheSameAgendaAndTheSameFile)
{
    ZuTzGuard zone(GetParam());
    std::string first;
    std::vector<std::string> before;
    {
        ZuTestHome home;
        addEveryKind();
        before = agendas();
        first = exported();
        // Its own export: every record answers to the UID it was exported under and holds
        // what the file gives, so nothing changes.
        const ZuIcalImportResult own = ZuImportIcal(first);
        ASSERT_TRUE(own.ok) << own.error;
        EXPECT_EQ(own.unchanged, 20);
        EXPECT_EQ(own.created + own.updated + own.removed, 0);
        EXPECT_EQ(exported(), first);
    }
    ZuTestHome empty;
    const ZuIcalImportResult r = ZuImportIcal(first);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.imported, 20);
    EXPECT_EQ(r.expanded, 0);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_EQ(r.created, 20);
    // The second store keeps the first one's UIDs: importing the file again changes nothing.
    const ZuIcalImportResult again = ZuImportIcal(first);
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.unchanged, 20);
    EXPECT_EQ(again.created + again.updated + again.removed, 0);
    const std::vector<std::string> after = agendas();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_NE(before[i], "") << "range " << i;
        EXPECT_EQ(after[i], before[i]) << "range " << i;
    }
    EXPECT_EQ(withoutUids(exported()), withoutUids(first));
}

INSTANTIATE_TEST_SUITE_P(Zones, IcalRoundTrip, ::testing::Values("Asia/Seoul", "America/New_York"));

std::string readFixture(const char* name)
{
    std::ifstream file(std::string(ZU_ICAL_FIXTURES) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// subject -> the days of the month it is shown on (day numbers, in order).
std::map<std::string, std::vector<int>> daysBySubject(const std::string& tsv)
{
    std::map<std::string, std::vector<int>> days;
    std::istringstream in(tsv);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        std::string field;
        while (std::getline(row, field, '\t'))
            fields.push_back(field);
        if (fields.size() >= 5)
            days[fields[4]].push_back(std::stoi(fields[2].substr(8, 2)));
    }
    return days;
}

std::vector<int> daysOfMarchBut(std::vector<int> left)
{
    std::vector<int> days;
    for (int d = 1; d <= 31; ++d)
        if (std::find(left.begin(), left.end(), d) == left.end())
            days.push_back(d);
    return days;
}

// A peer calendar imported long after its series began: a daily stand-up (Tokyo time) with
// EXDATEs in three forms, one moved and one cancelled occurrence, and two rules the suite's
// recurrence has no form for. Every occurrence of March 2026 is shown; before the skipped dates
// the daily series with an EXDATE was expanded into its latest 1000 days and lost the month.
TEST_F(IcalExport, AnImportLongAfterItsStartKeepsEveryOccurrenceOfTheMonth)
{
    ZuTestHome home;
    const std::string file = readFixture("march-exdates.ics");
    const ZuIcalImportResult r = ZuImportIcal(file);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.imported, 2);  // the stand-up series and its moved occurrence
    EXPECT_EQ(r.expanded, 2);
    const auto days = daysBySubject(agenda({"--month", "2026-03-01"}));
    // 10th, 17th and 24th excluded, 12th moved, 19th cancelled; the EXDATE at 19:00 on the 26th
    // is no occurrence and takes nothing out.
    EXPECT_EQ(days.at("스탠드업"), daysOfMarchBut({10, 12, 17, 19, 24}));
    EXPECT_EQ(days.at("스탠드업 (옮김)"), std::vector<int>{12});
    EXPECT_EQ(days.at("일지"), daysOfMarchBut({5}));
    EXPECT_EQ(days.at("월말 정산"), std::vector<int>{31});

    // Exported, the series carries its skipped dates as EXDATEs and the moved occurrence its
    // RECURRENCE-ID; imported again, nothing changes, and the file comes out the same.
    const std::string out = exported();
    // Four: the 10th, 17th, 19th and 24th; the 12th goes by its RECURRENCE-ID.
    EXPECT_EQ(linesOf(out, "EXDATE").size(), 4u) << out.substr(0, 2000);
    // Each expanded occurrence, and the moved one, stands for one occurrence of its UID.
    EXPECT_EQ(static_cast<int>(linesOf(out, "RECURRENCE-ID").size()), r.created - 1);
    const ZuIcalImportResult again = ZuImportIcal(out);
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.created + again.updated + again.removed, 0);
    EXPECT_EQ(exported(), out);
    EXPECT_EQ(daysBySubject(agenda({"--month", "2026-03-01"})), days);

    // So does the peer's file itself: every record answers to its UID and occurrence.
    const ZuIcalImportResult retry = ZuImportIcal(file);
    ASSERT_TRUE(retry.ok) << retry.error;
    EXPECT_EQ(retry.created + retry.updated + retry.removed, 0);
    EXPECT_EQ(retry.unchanged, r.created);
}

// ---- Contents -----------------------------------------------------------------------------------

TEST_F(IcalExport, WritesEachKindAsICalendarSaysIt)
{
    ZuTestHome home;
    addEveryKind();
    const std::string text = exported();
    // Nine appointments and two tasks recur (the zone's own rules come before them).
    EXPECT_EQ(linesOf(text.substr(text.find("END:VTIMEZONE")), "RRULE").size(), 11u);
    for (const char* line : {
             "BEGIN:VTIMEZONE\r", "TZID:Asia/Seoul\r",
             // timed, with its reminder, attendees and busy status
             "DTSTART;TZID=Asia/Seoul:20261210T093000\r", "DTEND;TZID=Asia/Seoul:20261210T110000\r",
             "ATTENDEE;CN=김철수:mailto:kim@example.com\r", "TRIGGER:-PT15M\r", "STATUS:TENTATIVE\r",
             "X-MICROSOFT-CDO-BUSYSTATUS:TENTATIVE\r", "CATEGORIES:업무,여행\r",
             // all-day ones as dates; free time is transparent; private ones are marked
             "DTSTART;VALUE=DATE:20261214\r", "DTEND;VALUE=DATE:20261217\r", "X-MICROSOFT-CDO-BUSYSTATUS:OOF\r",
             "TRANSP:TRANSPARENT\r", "CLASS:PRIVATE\r",
             // the recurrences, ending as they were set
             "RRULE:FREQ=DAILY;INTERVAL=2\r", "RRULE:FREQ=DAILY;UNTIL=20270128T220000Z;BYDAY=MO,TU,WE,TH,FR\r",
             "RRULE:FREQ=WEEKLY;COUNT=10;INTERVAL=2;BYDAY=SU,MO,WE;WKST=SU\r",
             "RRULE:FREQ=MONTHLY;UNTIL=20270531T090000Z;BYMONTHDAY=31\r",  // six slots, four of them real
             "RRULE:FREQ=MONTHLY;BYDAY=2TU\r", "RRULE:FREQ=MONTHLY;UNTIL=20270625T080000Z;BYDAY=-1FR\r",
             "RRULE:FREQ=YEARLY;BYMONTHDAY=25;BYMONTH=12\r", "RRULE:FREQ=YEARLY;COUNT=5;BYDAY=4TH;BYMONTH=11\r",
             // the lunar anniversary, on the solar day of its first occurrence, and a single lunar day
             "DTSTART;VALUE=DATE:20260925\r", "RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTHDAY=15;BYMONTH=8\r",
             "X-ZUPIMS-LUNAR:08-15\r", "DTSTART;VALUE=DATE:20270207\r", "X-ZUPIMS-LUNAR:01-01\r", "X-ZUPIMS-MEMORIAL:1\r",
             "TRIGGER:-P1D\r",
             // tasks
             "BEGIN:VTODO\r", "DUE;VALUE=DATE:20261220\r", "PRIORITY:1\r", "PERCENT-COMPLETE:40\r", "STATUS:IN-PROCESS\r",
             "STATUS:COMPLETED\r", "COMPLETED:20261205T010000Z\r", "PRIORITY:9\r", "STATUS:NEEDS-ACTION\r",
             "RRULE:FREQ=WEEKLY;BYDAY=MO;WKST=SU\r", "RRULE:FREQ=MONTHLY;BYMONTHDAY=15\r"}) {
        EXPECT_NE(text.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    }
}

TEST_F(IcalExport, UidsStayFromOneExportToTheNext)
{
    std::vector<std::string> first;
    {
        ZuTestHome home;
        addEveryKind();
        first = linesOf(exported(), "UID:");
        EXPECT_EQ(first.size(), 20u);
        EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), first.size());
        EXPECT_EQ(linesOf(exported(), "UID:"), first);
    }
    ZuTestHome other;
    addEveryKind();
    const std::vector<std::string> second = linesOf(exported(), "UID:");
    ASSERT_EQ(second.size(), first.size());
    EXPECT_NE(second[0], first[0]);  // another data folder, another store id
}

TEST_F(IcalExport, ARangeTakesTheRecordsWithAnOccurrenceInIt)
{
    ZuTestHome home;
    addEveryKind();
    ZuIcalExportOptions range;
    range.from = SYSTEMTIME{.wYear = 2027, .wMonth = 9, .wDay = 14};
    range.to = SYSTEMTIME{.wYear = 2027, .wMonth = 9, .wDay = 16};
    ZuIcalExportResult r = ZuExportIcal(range);
    ASSERT_TRUE(r.ok) << r.error;
    // The every-other-day series runs on, 9/14 is the second Tuesday and lunar 8/15 falls on
    // 9/15; the others ended or fall elsewhere. Of the tasks: the dateless one, the weekly one
    // whose Monday 9/13 lasts into the range, and the monthly one due on 9/15.
    EXPECT_EQ(linesOf(r.text, "SUMMARY:"), (std::vector<std::string>{"SUMMARY:이틀마다\r", "SUMMARY:둘째 화요일\r",
                                                "SUMMARY:할머니 생신\r", "SUMMARY:언젠가\r", "SUMMARY:주간 보고\r",
                                                "SUMMARY:월세\r"}));
    range.from = range.to = SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 12};
    r = ZuExportIcal(range);
    EXPECT_EQ(linesOf(r.text, "SUMMARY:"),
        (std::vector<std::string>{"SUMMARY:야간 작업\r", "SUMMARY:보고서\r", "SUMMARY:언젠가\r"}));
}

TEST_F(IcalExport, CommandWritesAFileForItsOwnerAloneAndRefusesAStoreItCannotTrust)
{
    ZuTestHome home;
    save({.subject = L"회의", .start = oleDate(2026, 12, 10, 9)});
    const mode_t old = ::umask(0);
    CommandRun r = ZuRunCommand(runExportCommand, {home.file("out.ics")});
    ::umask(old);
    EXPECT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat(home.file("out.ics").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A store whose record table lost its `props` column to one changed byte: no backup of
    // nothing, but an error.
    ASSERT_TRUE(ZuCheckpointFile(home.file("pim.db")));
    std::string bytes = ZuFileBytes(home.file("pim.db"));
    ASSERT_TRUE(ZuChangeSchemaText(bytes, "props BLOB", 0, 'q'));
    ZuTestHome damaged;
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("pim.db"), bytes));
    r = ZuRunCommand(runExportCommand, {"-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("the tables are not those of a store of the suite"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("exported"), std::string::npos) << r.err;
    EXPECT_EQ(ZuFileBytes(damaged.file("pim.db")), bytes);
}

TEST_F(IcalExport, CommandWritesTheFileOrStandardOutput)
{
    ZuTestHome home;
    save({.subject = L"회의", .start = oleDate(2026, 12, 10, 9)});
    const auto run = [](std::vector<std::string> args, std::string& out, std::string& err) {
        const CommandRun r = ZuRunCommand(runExportCommand, std::move(args));
        out = r.out;
        err = r.err;
        return r.status;
    };
    std::string out, err;
    const std::string path = home.file("out.ics");
    EXPECT_EQ(run({path}, out, err), 0) << err;
    EXPECT_EQ(out, "exported 1 appointments and 0 tasks to " + path + "\n");
    std::ifstream file(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(run({"-"}, out, err), 0);
    EXPECT_EQ(out, written);
    EXPECT_EQ(err, "exported 1 appointments and 0 tasks\n");
    EXPECT_EQ(run({"-", "--from", "2026-12-11"}, out, err), 0);
    EXPECT_EQ(linesOf(out, "BEGIN:VEVENT").size(), 0u);
    EXPECT_EQ(run({}, out, err), 2);
    EXPECT_EQ(run({"x.ics", "--from", "2026-12-11", "--to", "2026-12-10"}, out, err), 2);
    EXPECT_EQ(run({"x.ics", "--to", "2026-02-30"}, out, err), 2);
    EXPECT_EQ(run({home.file("missing/x.ics")}, out, err), 1);
}

}  // namespace
