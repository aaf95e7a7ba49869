// zupim-ical - the import and export commands of zupim, which runs this program for them (see
// zupim's help for what they do). Kept apart so that zupim's other commands start without the
// iCalendar library.
#include "icalexport.h"
#include "icalimport.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && !std::strcmp(argv[1], "import"))
        return runImportCommand(argv + 2, argc - 2, stdout, stderr);
    if (argc >= 2 && !std::strcmp(argv[1], "export"))
        return runExportCommand(argv + 2, argc - 2, stdout, stderr);
    std::fprintf(stderr, "usage: zupim-ical import|export ... (see 'zupim help')\n");
    return 2;
}
