// daycells.h - which days of a run of consecutive days each loaded item falls on, and what it
// marks there: the month grid's 42 cells and the week strip's 7.
//
// Days are local wall-clock dates: an item's start and end are already local, so a day is the
// whole days from the first day, rounded down (an item that starts before the first day begins
// at day 0). An appointment's end is exclusive: one that ends at midnight, all-day items stored
// 00:00 to 00:00 included, ends on the day before, unless it also starts then. A task's due date
// is a day of its own (inclusive). An item without a start is placed on its end (a task with only
// a due date); one with neither is on no day. An item wholly before or after the run is on none.
//
// The marker of an item follows its place in the item list: before Counts().firstAnniversary an
// appointment, before Counts().beforeTasks an anniversary (anniversary appointments and contacts'
// days), after that a task.
#pragma once

#include "calendaritem.h"
#include "wintypes.h"

#include <vector>

class CDayCells {
public:
    enum Marker { MARK_APPOINTMENT = 0, MARK_ANNIVERSARY = 1, MARK_TASK = 2, MARK_COUNT = 3 };

    // A run of `days` days from the local date of `first` (its time of day is dropped).
    explicit CDayCells(int days = 42);
    void SetFirstDay(const SYSTEMTIME& first);
    int Days() const { return m_days; }
    // Midnight of the first day.
    FILETIME FirstDay() const { return m_first; }
    // The date of a day of the run (any number, also outside it), at 00:00, with its weekday.
    SYSTEMTIME DateOf(int day) const;

    // The days [*first, *last] of the run that the item covers; false when none.
    bool Span(const CalendarItem& item, int* first, int* last) const;
    static Marker MarkerOf(int index, const ItemCounts& counts);

    // Rebuilds every day's list and markers from a load.
    void Fill(const std::vector<CalendarItem>& items, const ItemCounts& counts);
    void Clear();
    // The item indexes of a day in item order; empty for a day outside the run.
    const std::vector<int>& ItemsOf(int day) const;
    bool HasMarker(int day, Marker marker) const;

private:
    // Whole days from the first day to a local time, rounded down.
    long long DayOf(ULONGLONG ticks) const;

    int m_days;
    FILETIME m_first{};
    std::vector<std::vector<int>> m_items;
    std::vector<unsigned char> m_markers;  // bit per marker
};
