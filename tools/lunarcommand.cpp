// lunarcommand.cpp - `zupim lunar` and `zupim solar`.
//
// Dates are written YYYY-MM-DD (a four-digit year, a month and a day of one or two digits); a
// lunar leap month is written with "윤" before its month, as in 2004-윤02-01. Results are always
// zero-padded. A lunar day 30 of a 29-day month gives the day after that month's 29th, as the
// calendar shows such dates.
#include "lunarcommand.h"

#include "filetime.h"
#include "lunar.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kLeapMark = "윤";

struct Ymd {
    int y = 0, m = 0, d = 0;
};

struct ParsedDate {
    int y = 0, m = 0, d = 0;
    bool leap = false;
};

std::string_view trimmed(std::string_view s)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Reads minDigits..maxDigits decimal digits from the front of s.
bool takeNumber(std::string_view& s, size_t minDigits, size_t maxDigits, int* value)
{
    size_t n = 0;
    int v = 0;
    while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9')
        v = v * 10 + (s[n++] - '0');
    if (n < minDigits)
        return false;
    s.remove_prefix(n);
    *value = v;
    return true;
}

bool takeChar(std::string_view& s, char c)
{
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

// YYYY-MM-DD, or YYYY-윤MM-DD when leapAllowed; only the form is checked here.
bool parseDate(std::string_view s, bool leapAllowed, ParsedDate* out)
{
    ParsedDate p;
    if (!takeNumber(s, 4, 4, &p.y) || !takeChar(s, '-'))
        return false;
    if (leapAllowed && s.starts_with(kLeapMark)) {
        p.leap = true;
        s.remove_prefix(kLeapMark.size());
    }
    if (!takeNumber(s, 1, 2, &p.m) || !takeChar(s, '-') || !takeNumber(s, 1, 2, &p.d) || !s.empty())
        return false;
    *out = p;
    return true;
}

// The first and last solar days of the lunar table.
struct TableRange {
    Ymd first, last;
};

TableRange tableRange()
{
    TableRange r;
    ZuMoonToSun(ZU_LUNAR_FIRST_YEAR, 1, 1, false, &r.first.y, &r.first.m, &r.first.d);
    // The last lunar month has 29 or 30 days; day 30 of a 29-day one would run past the table.
    for (int day = 30; day >= 29; --day) {
        int ly = 0, lm = 0, ld = 0;
        ZuMoonToSun(ZU_LUNAR_LAST_YEAR, 12, day, false, &r.last.y, &r.last.m, &r.last.d);
        if (ZuSunToMoon(r.last.y, r.last.m, r.last.d, &ly, &lm, &ld, nullptr) && ld == day)
            break;
    }
    return r;
}

class Converter {
public:
    Converter(LunarDirection direction, FILE* out, FILE* err) : m_direction(direction), m_out(out), m_err(err)
    {
        if (direction == LunarDirection::ToLunar)
            m_range = tableRange();
    }

    // Converts one date; false (after an error line) when it does not convert.
    bool convert(std::string_view text)
    {
        return m_direction == LunarDirection::ToLunar ? toLunar(text) : toSolar(text);
    }

private:
    bool toLunar(std::string_view text)
    {
        ParsedDate s;
        if (!parseDate(text, false, &s))
            return fail(text, "not a date (expected YYYY-MM-DD)");
        if (s.d < 1 || s.d > ZuDaysInMonth(s.y, s.m))
            return fail(text, "no such date");
        int ly, lm, ld;
        bool leap;
        if (!ZuSunToMoon(s.y, s.m, s.d, &ly, &lm, &ld, &leap)) {
            char range[64];
            std::snprintf(range, sizeof range, "outside the lunar table (%04d-%02d-%02d to %04d-%02d-%02d)",
                m_range.first.y, m_range.first.m, m_range.first.d, m_range.last.y, m_range.last.m, m_range.last.d);
            return fail(text, range);
        }
        std::fprintf(m_out, "%04d-%s%02d-%02d\n", ly, leap ? kLeapMark.data() : "", lm, ld);
        return true;
    }

    bool toSolar(std::string_view text)
    {
        ParsedDate l;
        if (!parseDate(text, true, &l))
            return fail(text, "not a lunar date (expected YYYY-MM-DD, or YYYY-윤MM-DD for a leap month)");
        if (l.m < 1 || l.m > 12 || l.d < 1 || l.d > 30)
            return fail(text, "no such lunar date (months 1 to 12, days 1 to 30)");
        if (l.y < ZU_LUNAR_FIRST_YEAR || l.y > ZU_LUNAR_LAST_YEAR) {
            char range[64];
            std::snprintf(range, sizeof range, "outside the lunar table (lunar years %d to %d)", ZU_LUNAR_FIRST_YEAR,
                ZU_LUNAR_LAST_YEAR);
            return fail(text, range);
        }
        int y, m, d;
        if (!ZuMoonToSun(l.y, l.m, l.d, l.leap, &y, &m, &d)) {
            // Only a leap month the year lacks gets here; name the one it has, if any.
            int leapMonth = 0;
            for (int month = 1; month <= 12 && !leapMonth; ++month)
                if (ZuMoonToSun(l.y, month, 1, true, nullptr, nullptr, nullptr))
                    leapMonth = month;
            char why[96];
            if (leapMonth)
                std::snprintf(why, sizeof why, "lunar year %d has no leap month 윤%02d (its leap month is 윤%02d)", l.y, l.m,
                    leapMonth);
            else
                std::snprintf(why, sizeof why, "lunar year %d has no leap month", l.y);
            return fail(text, why);
        }
        std::fprintf(m_out, "%04d-%02d-%02d\n", y, m, d);
        return true;
    }

    bool fail(std::string_view text, const char* why)
    {
        std::fprintf(m_err, "zupim: %.*s: %s\n", int(text.size()), text.data(), why);
        return false;
    }

    LunarDirection m_direction;
    FILE* m_out;
    FILE* m_err;
    TableRange m_range;
};

} // namespace

int runLunarCommand(LunarDirection direction, char** dates, int count, FILE* in, FILE* out, FILE* err)
{
    Converter converter(direction, out, err);
    bool allConverted = true;
    if (count > 0) {
        for (int i = 0; i < count; ++i)
            allConverted &= converter.convert(trimmed(dates[i]));
    } else {
        char* line = nullptr;
        size_t capacity = 0;
        ssize_t length;
        while ((length = ::getline(&line, &capacity, in)) >= 0) {
            const std::string_view text = trimmed(std::string_view(line, size_t(length)));
            if (!text.empty())
                allConverted &= converter.convert(text);
        }
        std::free(line);
    }
    return allConverted ? 0 : 1;
}
