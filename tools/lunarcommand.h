// lunarcommand.h - `zupim lunar` and `zupim solar`: solar <-> Korean lunar dates from the command
// line or, without date arguments, one date a line from standard input.
#pragma once

#include <cstdio>

enum class LunarDirection {
    ToLunar,  // zupim lunar: solar YYYY-MM-DD -> lunar YYYY-MM-DD or YYYY-윤MM-DD
    ToSolar,  // zupim solar: lunar YYYY-MM-DD or YYYY-윤MM-DD -> solar YYYY-MM-DD
};

// Converts dates[0..count) or, when count is 0, each non-blank line of `in`. Results go to `out`,
// one line per converted date in input order; a date that does not convert gets one error line
// on `err` and nothing on `out`, and the others still convert. Returns 0 when every date
// converted, 1 otherwise.
int runLunarCommand(LunarDirection direction, char** dates, int count, FILE* in, FILE* out, FILE* err);
