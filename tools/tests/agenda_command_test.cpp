// `zupim agenda`: the calendar's items for a range as text and as tab-separated lines, and the
// errors for bad arguments.
#include "agendacommand.h"
#include "calendarfixture.h"
#include "commandrun.h"
#include "optionstore.h"
#include "storedamage.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace calfix;

namespace {

CommandRun agenda(std::vector<std::string> args)
{
    return ZuRunCommand(runAgendaCommand, std::move(args));
}

}  // namespace

TEST(AgendaCommand, PrintsTheDayAsTheListShowsIt)
{
    ZuTestHome home;
    add(Appointment{.subject = L"회의", .location = L"본사", .start = wall(2026, 12, 10, 9)});
    add(Appointment{.subject = L"비밀", .start = wall(2026, 12, 10, 11), .isPrivate = true});
    add(Contact{.name = L"김철수", .birthday = wall(1980, 12, 10)});
    add(Task{.subject = L"보고서", .start = wall(2026, 12, 1), .due = wall(2026, 12, 20), .progress = 40});
    addCategory(L"업무", 2);
    add(Appointment{.subject = L"업무회의", .start = wall(2026, 12, 10, 14), .categories = {2}});

    // Private records are shown while the calendar's option does not hide them.
    CommandRun r = agenda({"2026-12-10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "2026.12.10 목요일 [음 11.2]\n"
        "○ 회의 (본사)  09:00 - 10:00\n"
        "○ 비밀  11:00 - 12:00\n"
        "○ 업무회의  14:00 - 15:00\n"
        "◎ [생일] 김철수  12/10\n"
        "□ 보고서 40%  12/1 - 12/20\n");

    r = agenda({"--tsv", "--contents", "1", "2026-12-10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "1\t0\t2026-12-10T09:00:00\t2026-12-10T10:00:00\t회의 (본사)\t09:00 - 10:00\t\n"
        "1\t0\t2026-12-10T11:00:00\t2026-12-10T12:00:00\t비밀\t11:00 - 12:00\t\n"
        "1\t0\t2026-12-10T14:00:00\t2026-12-10T15:00:00\t업무회의\t14:00 - 15:00\t\n");

    r = agenda({"--category", "업무", "--tsv", "--week", "2026-12-10"});
    EXPECT_EQ(r.out, "1\t0\t2026-12-10T14:00:00\t2026-12-10T15:00:00\t업무회의\t12/10 14:00 - 12/10 15:00\t\n");
    r = agenda({"--no-category", "--contents", "4", "--tsv", "2026-12-10"});
    EXPECT_EQ(r.out, "4\t1\t2026-12-01T00:00:00\t2026-12-20T00:00:00\t보고서\t12/1 - 12/20\t\n");
    r = agenda({"--year", "--tsv", "--contents", "2", "2026-03-01"});
    EXPECT_EQ(r.out, "2\t2\t2026-12-10T00:00:00\t2026-12-10T00:00:00\t[생일] 김철수\t12/10\t\n");
    r = agenda({"--month", "2027-11-01"});
    EXPECT_EQ(r.out, "2027년 11월\n(비어 있음)\n");
}

TEST(AgendaCommand, PrivateRecordsFollowTheCalendarsOption)
{
    ZuTestHome home;
    add(Appointment{.subject = L"회의", .start = wall(2026, 12, 10, 9)});
    add(Appointment{.subject = L"비밀", .start = wall(2026, 12, 10, 11), .isPrivate = true});
    COptionStore().SaveCalendarOpt(TRUE, FALSE, 8, 20);  // hide private records
    CommandRun r = agenda({"--contents", "1", "2026-12-10"});
    EXPECT_EQ(r.out, "2026.12.10 목요일 [음 11.2]\n○ 회의  09:00 - 10:00\n");
    r = agenda({"--show-private", "--contents", "1", "2026-12-10"});
    EXPECT_EQ(r.out, "2026.12.10 목요일 [음 11.2]\n○ 회의  09:00 - 10:00\n○ 비밀  11:00 - 12:00\n");
}

TEST(AgendaCommand, ShowsTheHolidaysTheCalendarShows)
{
    ZuTestHome home;
    add(Appointment{.subject = L"소풍", .start = wall(2026, 10, 5, 10)});
    add(Appointment{.subject = L"회의", .start = wall(2026, 10, 6, 10)});

    // A day's caption line ends with its holiday.
    CommandRun r = agenda({"--contents", "1", "2026-10-05"});
    EXPECT_EQ(r.out, "2026.10.5 월요일 [음 8.25]  대체공휴일\n○ 소풍  10:00 - 11:00\n");
    // A longer range lists its holidays after the caption; a named day that is not red gets ☆.
    r = agenda({"--month", "--contents", "1", "2026-10-01"});
    EXPECT_EQ(r.out, "2026년 10월\n★ 10.3 개천절\n★ 10.5 대체공휴일\n★ 10.9 한글날\n"
                     "○ 소풍  10/5 10:00 - 10/5 11:00\n○ 회의  10/6 10:00 - 10/6 11:00\n");
    r = agenda({"--week", "--contents", "1", "2026-07-15"});
    EXPECT_EQ(r.out, "2026.7.13 ~ 19  셋째주\n☆ 7.17 제헌절\n(비어 있음)\n");
    // The last column of --tsv is the holiday of the item's day.
    r = agenda({"--week", "--tsv", "--contents", "1", "2026-10-05"});
    EXPECT_EQ(r.out,
        "1\t0\t2026-10-05T10:00:00\t2026-10-05T11:00:00\t소풍\t10/5 10:00 - 10/5 11:00\t대체공휴일\n"
        "1\t0\t2026-10-06T10:00:00\t2026-10-06T11:00:00\t회의\t10/6 10:00 - 10/6 11:00\t\n");
    // Beyond the lunar table: no lunar date in the caption, and the stored table's day.
    r = agenda({"--contents", "1", "2050-03-01"});
    EXPECT_EQ(r.out, "2050.3.1 화요일  삼일절\n(비어 있음)\n");
}

TEST(AgendaCommand, BadArgumentsExitWithStatusTwo)
{
    ZuTestHome home;
    const std::vector<std::vector<std::string>> bad = {
        {"2026-02-30"}, {"2026/12/10"}, {"--contents", "16"}, {"--contents"}, {"--bogus"},
        {"2026-12-10", "2026-12-11"}, {"--category", "없는것"}, {"--category", "x", "--no-category"},
    };
    for (const auto& args : bad) {
        const CommandRun r = agenda(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_EQ(r.err.rfind("zupim agenda: ", 0), 0u) << r.err;
    }
}

TEST(AgendaCommand, AStoreThatCannotBeOpenedIsAnErrorNotAnEmptyCalendar)
{
    ZuTestHome home;
    ASSERT_EQ(::setenv("ZUPIMS_HOME", "/proc/no-such-folder", 1), 0);
    const CommandRun r = agenda({"2026-12-10"});
    ::setenv("ZUPIMS_HOME", home.path().c_str(), 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.rfind("zupim agenda: the store cannot be opened: ", 0), 0u) << r.err;
}

TEST(AgendaCommand, ADamagedStoreIsAnErrorNotAShorterAgenda)
{
    ZuTestHome home;
    std::thread([] {
        ZuStoreBatch batch;
        for (int i = 0; i < 300; ++i)
            add(Appointment{.subject = L"probe-appointment-with-a-longer-subject", .start = wall(2026, 12, 1 + i % 28, 9)});
        batch.Commit();
    }).join();
    ASSERT_TRUE(ZuCheckpointFile(home.file("pim.db")));
    const std::string clean = ZuFileBytes(home.file("pim.db"));
    const std::vector<size_t> pages = ZuPagesHolding(clean, ZuUtf16Bytes("probe-appointment"));
    ASSERT_GT(pages.size(), 4u);
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"a page of records that is no page", clean, "zupim agenda: the store cannot be read: "},
        {"a record table without its props column", clean, "zupim agenda: the store cannot be opened: "},
    };
    cases[0].bytes[(pages[pages.size() / 2] - 1) * ZuPageSize(clean)] = '\x00';
    ASSERT_TRUE(ZuChangeSchemaText(cases[1].bytes, "props BLOB", 0, 'q'));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZuTestHome damaged;
        ASSERT_TRUE(ZuWriteFileBytes(damaged.file("pim.db"), c.bytes));
        const CommandRun r = agenda({"--month", "2026-12-01"});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    }
}

// The category of --category is looked up in the store: a damaged page of categories is a read
// error (status 1), not a category that does not exist (status 2).
TEST(AgendaCommand, ACategoryLookupThatCannotReadIsAReadError)
{
    ZuTestHome home;
    std::thread([] {
        ZuStoreBatch batch;
        for (int i = 0; i < 300; ++i)
            addCategory((L"probe-category-with-a-longer-name-" + std::to_wstring(i)).c_str(), i);
        batch.Commit();
    }).join();
    ASSERT_TRUE(ZuCheckpointFile(home.file("pim.db")));
    std::string bytes = ZuFileBytes(home.file("pim.db"));
    const std::vector<size_t> pages = ZuPagesHolding(bytes, ZuUtf16Bytes("probe-category"));
    ASSERT_GT(pages.size(), 4u);
    bytes[(pages[pages.size() / 2] - 1) * ZuPageSize(bytes)] = '\x00';
    ZuTestHome damaged;
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("pim.db"), bytes));
    const CommandRun r = agenda({"--category", "probe-category-with-a-longer-name-299", "2026-12-10"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("zupim agenda: the store cannot be read: ", 0), 0u) << r.err;
}

// A registry whose index is damaged is refused: the agenda is printed with the default settings,
// says so on standard error, and the file is not written (no second row of a setting).
TEST(AgendaCommand, DamagedSettingsAreSaidAndNotWritten)
{
    ZuTestHome home;
    COptionStore().SaveCalendarOpt(FALSE, FALSE, 8, 22);
    ASSERT_TRUE(ZuCheckpointFile(home.file("registry.db")));
    std::string bytes = ZuFileBytes(home.file("registry.db"));
    ASSERT_TRUE(ZuDamageIndexHolding(bytes, "nwvendtime"));
    ZuTestHome damaged;
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("registry.db"), bytes));
    const CommandRun r = agenda({"2026-12-10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.out.empty());
    EXPECT_EQ(r.err.rfind("zupim agenda: the settings cannot be read, the defaults are used: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("registry.db: the file is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(ZuFileBytes(damaged.file("registry.db")), bytes);
}
