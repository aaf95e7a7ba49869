// zupim - the command-line companion of the suite.
#include "agendacommand.h"
#include "installcommand.h"
#include "lunarcommand.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include <cerrno>
#include <unistd.h>

static void printHelp(FILE* out)
{
    std::fputs("zupim - the command-line companion of the ZuPims calendar and contacts suite\n"
               "\n"
               "usage: zupim COMMAND [ARGUMENTS]\n"
               "\n"
               "commands:\n"
               "  help             this text\n"
               "  agenda [--day|--week|--month|--year] [DATE] [--contents N]\n"
               "         [--category NAME|--no-category] [--show-private] [--tsv]\n"
               "                   what the calendar shows for the day, week, month or year of DATE\n"
               "                   (YYYY-MM-DD, default today), in the calendar's order with the\n"
               "                   caption first; --contents adds 1 appointments, 2 anniversaries and\n"
               "                   birthdays, 4 tasks, 8 recurring ones (default 15); private records\n"
               "                   only with --show-private; --tsv prints kind, day class, start, end,\n"
               "                   subject and time text separated by tabs, one item a line\n"
               "  import FILE.ics  bring the events and to-dos of an iCalendar file into the store, all\n"
               "                   or nothing: a file that does not parse (the line is named) or a\n"
               "                   failed write changes nothing. Repeating events keep their rule when\n"
               "                   the calendar's recurrence can hold it (daily, weekdays, weekly on\n"
               "                   days, monthly on a day or the nth/last weekday, yearly on a date or\n"
               "                   the nth/last weekday; no end, COUNT or UNTIL; RSCALE=DANGI yearly\n"
               "                   lunar dates become lunar anniversaries). Any other rule (EXDATE,\n"
               "                   RDATE, BYSETPOS, several BYMONTH, hourly, changed occurrences, a\n"
               "                   zone whose daylight saving differs from the local one) is expanded\n"
               "                   into single appointments from its start to two years after the\n"
               "                   import (or after its start, when later), or to its UNTIL/COUNT end:\n"
               "                   at most 1000, the latest kept; more often than daily with more\n"
               "                   than 1000, and to-dos whose rule does not fit, are skipped. The\n"
               "                   report lists each expanded and skipped item by UID and summary.\n"
               "                   To-do alarms are not imported; \"-\" reads standard input.\n"
               "                   Files up to 256 MiB, UTF-8 or CP949 (EUC-KR); rules that repeat\n"
               "                   every second or minute, or whose filters no day passes, are\n"
               "                   skipped; a COUNT past 4500 is capped; the report says so\n"
               "  export FILE.ics [--from DATE] [--to DATE]\n"
               "                   write the appointments and tasks (only those with an occurrence\n"
               "                   between the dates, when given) as iCalendar; \"-\" is standard\n"
               "                   output. Lunar anniversaries carry RRULE:RSCALE=DANGI and\n"
               "                   X-ZUPIMS-LUNAR:MM-DD; UIDs are zupims-a<id>-<store id> (tasks\n"
               "                   zupims-t...), the same in every export of this data folder\n"
               "  install [FOLDER] record FOLDER (by default the folder of zupim) as the folder of\n"
               "                   the programs, so the calendar and the contacts book find each other\n"
               "  lunar [DATE...]  the lunar date of each solar date YYYY-MM-DD; a day of a leap\n"
               "                   month shows its month as 윤MM (2004-03-21 -> 2004-윤02-01)\n"
               "  solar [DATE...]  the solar date of each lunar date YYYY-MM-DD; YYYY-윤MM-DD asks\n"
               "                   for the leap month; day 30 of a 29-day month gives the next day\n"
               "\n"
               "Without dates, lunar and solar read one date a line from standard input. The lunar\n"
               "calendar covers lunar years 1881 to 2043. A date that does not convert is reported\n"
               "on standard error, the others still convert, and the exit status is then 1.\n"
               "\n"
               "The data folder is $ZUPIMS_HOME, or $XDG_DATA_HOME/zupims when that is unset.\n",
        out);
}

// Import and export live in zupim-ical beside this program, so that the other commands start
// without loading the iCalendar library.
static int runIcalProgram(char** argv)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    path = path.substr(0, path.find_last_of('/') + 1) + "zupim-ical";
    ::execv(path.c_str(), argv);
    std::fprintf(stderr, "zupim: %s needs %s: %s\n", argv[1], path.c_str(), std::strerror(errno));
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printHelp(stdout);
        return 0;
    }
    if (!std::strcmp(argv[1], "lunar") || !std::strcmp(argv[1], "solar")) {
        const LunarDirection direction = argv[1][0] == 'l' ? LunarDirection::ToLunar : LunarDirection::ToSolar;
        return runLunarCommand(direction, argv + 2, argc - 2, stdin, stdout, stderr);
    }
    if (!std::strcmp(argv[1], "agenda")) {
        QCoreApplication app(argc, argv);
        return runAgendaCommand(argv + 2, argc - 2, stdout, stderr);
    }
    if (!std::strcmp(argv[1], "import") || !std::strcmp(argv[1], "export"))
        return runIcalProgram(argv);
    if (!std::strcmp(argv[1], "install")) {
        if (argc > 3 || (argc == 3 && argv[2][0] == '-')) {
            std::fprintf(stderr, "usage: zupim install [FOLDER]   (by default the folder of zupim)\n");
            return 2;
        }
        return runInstallCommand(argc == 3 ? argv[2] : nullptr, stdout, stderr);
    }
    std::fprintf(stderr, "zupim: unknown command '%s' (try 'zupim help')\n", argv[1]);
    return 2;
}
