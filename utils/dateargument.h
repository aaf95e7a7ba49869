// dateargument.h - a date given on zupim's command line, YYYY-MM-DD.
//
// The year has up to four digits and the month and day up to two (2026-1-5 is read as
// 2026-01-05); the date must be a real one of the years 1601 to 9999, and nothing may follow it.
#pragma once

#include "wintypes.h"

// *date = that day at 00:00 (day of week 0, not computed); false (date untouched) when the text
// is not such a date.
bool ZuParseDateArgument(const char* text, SYSTEMTIME& date);
