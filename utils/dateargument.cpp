#include "dateargument.h"

#include "filetime.h"

#include <cstdio>

bool ZuParseDateArgument(const char* text, SYSTEMTIME& date)
{
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text, "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3)
        return false;
    if (y < 1601 || y > 9999 || m < 1 || m > 12 || d < 1 || d > ZuDaysInMonth(y, m))
        return false;
    date = SYSTEMTIME{};
    date.wYear = static_cast<WORD>(y);
    date.wMonth = static_cast<WORD>(m);
    date.wDay = static_cast<WORD>(d);
    return true;
}
