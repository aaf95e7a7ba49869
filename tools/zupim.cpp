// zupim - the command-line companion of the suite.
#include "agendacommand.h"
#include "holidayscommand.h"
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
               "                   caption first (a day's with its holiday; a longer range's followed\n"
               "                   by one line a holiday, ★ for a red day, ☆ for a named one that is\n"
               "                   not); --contents adds 1 appointments, 2 anniversaries and birthdays,\n"
               "                   4 tasks, 8 recurring ones (default 15); private records as the\n"
               "                   calendar's option says, or always with --show-private; --tsv prints\n"
               "                   kind, day class, start, end, subject, time text and the holiday of\n"
               "                   the item's day separated by tabs, one item a line\n"
               "  holidays FROM_YEAR [TO_YEAR] [--tsv]\n"
               "                   the public holidays of the years FROM_YEAR to TO_YEAR (1990 to\n"
               "                   2043), one a line as YYYY-MM-DD<TAB>name, by the rules in force\n"
               "                   each year: 설날 and 추석 with the days before and after, substitute\n"
               "                   days, election days and temporary holidays; --tsv lists every day\n"
               "                   the calendar names, with a third column 1 for a red day, else 0\n"
               "  import FILE.ics  bring the events and to-dos of an iCalendar file into the store, all\n"
               "                   or nothing: a file that does not parse (the line is named) or a\n"
               "                   failed write changes nothing. Repeating events keep their rule when\n"
               "                   the calendar's recurrence can hold it (daily, weekdays, weekly on\n"
               "                   days, monthly on a day or the nth/last weekday, yearly on a date or\n"
               "                   the nth/last weekday; no end, COUNT or UNTIL; RSCALE=DANGI yearly\n"
               "                   lunar dates become lunar anniversaries), with their EXDATEs and\n"
               "                   changed occurrences as skipped dates. Any other rule (RDATE,\n"
               "                   BYSETPOS, several BYMONTH, hourly, a zone whose daylight saving\n"
               "                   differs from the local one) is expanded into single appointments:\n"
               "                   a series with COUNT or UNTIL in full, an endless one from a year\n"
               "                   before the import to two years after it; of more than 10000 the\n"
               "                   10000 nearest the import date are kept; more often than daily with\n"
               "                   more than 10000, and to-dos whose rule does not fit, are skipped.\n"
               "                   Every record keeps its UID: importing a file again updates its\n"
               "                   records in place and adds only what is new. The report lists each\n"
               "                   expanded and skipped item by UID and summary and counts the records\n"
               "                   created, updated and unchanged. To-do alarms are not imported; \"-\"\n"
               "                   reads standard input. Files up to 256 MiB, UTF-8 or CP949\n"
               "                   (EUC-KR); rules that repeat every second or minute, or whose\n"
               "                   filters no day passes, are skipped; a COUNT past 4500 is capped;\n"
               "                   the report says so\n"
               "  export FILE.ics [--from DATE] [--to DATE]\n"
               "                   write the appointments and tasks (only those with an occurrence\n"
               "                   between the dates, when given) as iCalendar; \"-\" is standard\n"
               "                   output. Lunar anniversaries carry RRULE:RSCALE=DANGI and\n"
               "                   X-ZUPIMS-LUNAR:MM-DD, skipped dates EXDATE. An imported record\n"
               "                   keeps its UID; others are zupims-a<id>-<store id> (tasks\n"
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
    if (!std::strcmp(argv[1], "holidays"))
        return runHolidaysCommand(argv + 2, argc - 2, stdout, stderr);
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
