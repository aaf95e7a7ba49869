// icalrecur.h - iCalendar recurrence (RRULE, RDATE, EXDATE) against the suite's recurrence
// model (CRecurrencePattern, recurrencepattern.h), both ways.
//
// Import: a component's recurrence becomes one of
//   - a pattern, when a single RRULE (no RDATE) has a faithful form: DAILY every n days or on weekdays, WEEKLY on days, MONTHLY on a day or on the nth /
//     last weekday, YEARLY on a month and day or on the nth / last weekday of a month; ending
//     never, after COUNT or at UNTIL. The mapping is checked against libical's own expansion
//     (the first kCheckedOccurrences occurrences, each on the local wall clock, and the end) and
//     against the offsets of the event's zone and the local zone over a year, so a rule whose
//     local times drift with daylight saving, or whose week start shifts its weeks, is not
//     mapped. Its EXDATEs (in the zone of DTSTART or any other) and the occurrences that
//     RECURRENCE-IDs change become the pattern's skipped dates (recurrenceskips.h); an EXDATE
//     that is no occurrence of the rule is passed by;
//   - a lunar pattern, for a plain yearly lunar date (RSCALE=DANGI;FREQ=YEARLY with at most one
//     BYMONTH, not a leap month, and one BYMONTHDAY; day 30 only with SKIP=FORWARD, which is how
//     the suite places day 30 of a 29-day month): a yearly pattern over lunar dates; so is a
//     yearly rule without RSCALE on an event that carries the suite's X-ZUPIMS-LUNAR:MM-DD; its
//     skipped dates are the lunar dates of its EXDATEs;
//   - its occurrences, expanded with libical, RDATEs added and EXDATEs and changed occurrences
//     taken out, so that no occurrence near the import date is lost: a bounded series (every
//     RRULE with COUNT or UNTIL, or RDATEs alone) in full, an endless one from kYearsBefore years
//     before the import date to kYearsAfter years after it (or after its start, when that is
//     later). Of more than kMaxExpanded the kMaxExpanded nearest the import date are kept; a rule
//     finer than daily with that many is skipped instead. Tasks are never expanded: a task whose
//     rule has no pattern form, or that has EXDATEs, is skipped.
//   - skipped, when ruleProblem() finds that libical could not expand it in bounded time.
// A COUNT that reaches past the calendar's last day (4500-12-31) is capped at the occurrences up
// to it, with a note.
//
// Export: a stored pattern becomes an RRULE (lunar patterns with RSCALE=DANGI), ending with COUNT
// when the stored count is the number of real occurrences, else with UNTIL at the last one.
#pragma once

#include "icalcommon.h"

#include <string>
#include <vector>

class CRecurrencePattern;

namespace zuical {

constexpr int kYearsBefore = 1;
constexpr int kYearsAfter = 2;
constexpr size_t kMaxExpanded = 10000;
constexpr size_t kCheckedOccurrences = 40;

struct RecurrenceInput {
    icalcomponent* root = nullptr;       // the VCALENDAR (for its VTIMEZONEs)
    icalcomponent* component = nullptr;  // the VEVENT or VTODO
    icaltimetype base{};                 // DTSTART (a task without one: DUE), its zone attached
    Ticks localBase = 0;                 // base on the local wall clock
    bool datesOnly = false;              // a task: only the dates of occurrences count
    Ticks now = 0;                       // the import's local wall clock
    std::vector<Ticks> changed;          // local starts of occurrences that RECURRENCE-IDs replace
    int lunarMonth = 0;                  // X-ZUPIMS-LUNAR: a yearly rule without RSCALE (one
    int lunarDay = 0;                    // that lost it on the way) is read as this lunar date
};

struct Recurrence {
    enum Kind { None, Pattern, Lunar, Expand, Skip };
    Kind kind = None;
    long type = -1;
    long interval = 1;
    long mask = 0;
    long dayOfMonth = 0;
    long instance = 0;
    long monthOfYear = 0;
    Ticks patternStart = 0;  // 00:00 of the first day; a lunar pattern holds the lunar date
    int endType = 0;         // 0 none, 1 by date, 2 by count
    Ticks endDate = 0;       // 00:00 of the last day (lunar for a lunar pattern)
    long count = 0;
    std::vector<Ticks> skipped;  // Pattern, Lunar: the pattern dates that do not happen
    std::vector<Ticks> starts;  // Expand: local starts, ascending
    bool cut = false;           // Expand: occurrences left out to keep kMaxExpanded ...
    size_t found = 0;           // ... of this many
    std::string reason;         // Expand, Skip: why the rule has no pattern form / was skipped
    std::string note;           // Pattern: what was changed to fit (a COUNT past 4500 capped)
};

// Why libical could not expand the rule (starting at `start`) in bounded time, or "": SECONDLY
// and MINUTELY, HOURLY with any BYxxx part, numbered BYDAY outside MONTHLY and YEARLY or beyond
// the fifth, BYYEARDAY / BYWEEKNO outside YEARLY, BYMONTHDAY in WEEKLY, BYMONTH / BYMONTHDAY /
// BYDAY that no day of a reachable month passes, and a BYSETPOS beyond what one period holds.
// What passes gets an occurrence within every few decades, so each call of libical's iterator
// is a bounded search; expansions count their calls.
std::string ruleProblem(const icalrecurrencetype& rule, const icaltimetype& start);

Recurrence mapRecurrence(const RecurrenceInput& in);

// Puts a Pattern or Lunar recurrence into `pattern` (type, interval, mask, instance, day, month,
// start, end, in that order). False when the pattern refuses a value.
bool fillPattern(const Recurrence& r, CRecurrencePattern& pattern);

struct ExportRule {
    bool ok = false;
    icalrecurrencetype rule{};  // without COUNT/UNTIL: the caller writes those
    bool hasEnd = false;
    bool useCount = false;
    long count = 0;
    Ticks first = 0;  // 00:00 of the first occurrence, solar
    Ticks last = 0;   // 00:00 of the last occurrence, solar (when hasEnd)
    std::string problem;
};

// The RRULE of a stored pattern; `lunar` when its dates are lunar dates.
ExportRule ruleOfPattern(CRecurrencePattern& pattern, bool lunar);

// libical's encoding of a BYDAY entry: weekday 1 (Sunday) to 7, position 0 (every) or +-n.
short encodeDay(int weekday, int position);

}  // namespace zuical
