// itemlist.h - the order of the calendar's items, their time texts and the day layout of the day
// and week views. Pure functions over local FILETIMEs; the loader (itemloader.h) uses them.
#pragma once

#include "calendaritem.h"
#include "textutil.h"

// The key an item is ordered by: its start, or its end when it has no start (a task without one).
ULONGLONG ZuItemKey(const CalendarItem& item);

// Orders one group of items (appointments, contacts' days or tasks) given in the order they were
// read: by day class, then key; of items with equal class and key the one read later comes first.
// This is the order that inserting each item before the first item of a greater or equal
// (class, key) gives, without its quadratic cost.
void ZuOrderItems(std::vector<CalendarItem>& group);

// The second line of each kind of item (see the view-type rules in the .cpp).
CString ZuTaskTimeText(FILETIME start, FILETIME due);
CString ZuDayTimeText(FILETIME date, bool lunar, int lunarMonth, int lunarDay);
CString ZuAllDayTimeText(FILETIME start, FILETIME end, int viewType);
// `formatTime` is FormatTime's formatter for the load (textutil.h).
CString ZuTimedTimeText(FILETIME start, FILETIME end, int viewType, FILETIME rangeStart, FILETIME rangeEnd,
    const ZuTimeFormatter& formatTime);

// Lays the first `timed` items (timed appointments) into the day columns and the hour grid of the
// range's days (at most seven; days beyond the seventh are left out), then computes each entry's
// overlap. The layout is cleared first.
void ZuLayoutDays(const std::vector<CalendarItem>& items, int timed, FILETIME rangeStart, FILETIME rangeEnd,
    DayLayout& layout);
