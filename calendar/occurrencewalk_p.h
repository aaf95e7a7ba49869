// occurrencewalk_p.h - the walk over a recurring record's occurrence dates for one load, shared by
// the appointment and task groups (private to the loader).
//
// A pattern's dates are wall-clock dates (lunar dates for a lunar appointment); the walk looks only
// at those in a window the group works out from its range, and the group turns each date into its
// occurrence and decides whether the range shows it.
#pragma once

#include "loaderdates_p.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"

#include <algorithm>

namespace zuload {

// The pattern dates a walk looks at: from the first occurrence on or after `from` up to the last
// one on or before `last`.
struct OccurrenceWindow {
    ULONGLONG from = 0;
    ULONGLONG last = ~0ull;
};

// The dates whose occurrences, beginning `offset` after their date and lasting `length`, can reach
// into [rangeStart, rangeEnd]: from offset + length before the range to offset before its end.
// `offset` must not exceed rangeEnd.
inline OccurrenceWindow windowReaching(ULONGLONG rangeStart, ULONGLONG rangeEnd, ULONGLONG offset, ULONGLONG length)
{
    return {rangeStart > offset + length ? rangeStart - offset - length : 0, rangeEnd - offset};
}

// Calls visit(date) for each occurrence date of `stored` in the window, in order, until visit
// returns false; dates in `skipped` (the record's skipped dates) are passed by. A pattern with an
// end stops at its end date, and one that starts after the window or ends before it is not walked
// at all. The walk moves a copy; `stored` stays as it is.
template <typename Visit>
void walkOccurrences(const CRecurrencePattern& stored, OccurrenceWindow window, const ZuSkippedDates& skipped, Visit visit)
{
    CRecurrencePattern pattern(stored);
    short noEnd = 1;
    pattern.get_NoEndDate(&noEnd);
    if (!noEnd) {
        FILETIME first{}, end{};
        pattern.get_PatternStartDate(&first);
        pattern.get_PatternEndDate(&end);
        if (ticks(first) > window.last || ticks(end) < window.from)
            return;
        window.last = std::min(window.last, ticks(end));
    }
    FILETIME date{};
    if (!pattern.SeekRecurTimeFrom(&date, fromTicks(window.from)))
        return;
    do {
        if (ticks(date) > window.last)
            break;
        if (!ZuIsSkippedDate(skipped, ticks(date)) && !visit(date))
            break;
    } while (pattern.SeekNextRecurTime(&date));
}

}  // namespace zuload
