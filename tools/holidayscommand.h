// holidayscommand.h - `zupim holidays`: the public holidays of a span of years, by the rules the
// calendar colours its days with (koreanholidays.h).
#pragma once

#include <cstdio>

// Runs the command with the arguments after "holidays": FROM_YEAR [TO_YEAR] [--tsv]. Prints one
// line a day: "YYYY-MM-DD<TAB>name" for every public holiday or, with --tsv, every day the
// calendar names, public holiday or not, as "YYYY-MM-DD<TAB>name<TAB>red" (red 1 or 0). Returns 0,
// 1 for a year outside the years the rules cover (the error names them), 2 for bad arguments.
int runHolidaysCommand(char** args, int count, FILE* out, FILE* err);
