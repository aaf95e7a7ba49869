// `zupim agenda`: the calendar's items for a range as text and as tab-separated lines, and the
// errors for bad arguments.
#include "agendacommand.h"
#include "calendarfixture.h"
#include "commandrun.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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

    CommandRun r = agenda({"2026-12-10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "2026.12.10 목요일 [음 11.2]\n"
        "○ 회의 (본사)  09:00 - 10:00\n"
        "○ 업무회의  14:00 - 15:00\n"
        "◎ [생일] 김철수  12/10\n"
        "□ 보고서 40%  12/1 - 12/20\n");

    r = agenda({"--show-private", "--tsv", "--contents", "1", "2026-12-10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "1\t0\t2026-12-10T09:00:00\t2026-12-10T10:00:00\t회의 (본사)\t09:00 - 10:00\n"
        "1\t0\t2026-12-10T11:00:00\t2026-12-10T12:00:00\t비밀\t11:00 - 12:00\n"
        "1\t0\t2026-12-10T14:00:00\t2026-12-10T15:00:00\t업무회의\t14:00 - 15:00\n");

    r = agenda({"--category", "업무", "--tsv", "--week", "2026-12-10"});
    EXPECT_EQ(r.out, "1\t0\t2026-12-10T14:00:00\t2026-12-10T15:00:00\t업무회의\t12/10 14:00 - 12/10 15:00\n");
    r = agenda({"--no-category", "--contents", "4", "--tsv", "2026-12-10"});
    EXPECT_EQ(r.out, "4\t1\t2026-12-01T00:00:00\t2026-12-20T00:00:00\t보고서\t12/1 - 12/20\n");
    r = agenda({"--year", "--tsv", "--contents", "2", "2026-03-01"});
    EXPECT_EQ(r.out, "2\t2\t2026-12-10T00:00:00\t2026-12-10T00:00:00\t[생일] 김철수\t12/10\n");
    r = agenda({"--month", "2027-02-01"});
    EXPECT_EQ(r.out, "2027년 2월\n(비어 있음)\n");
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
