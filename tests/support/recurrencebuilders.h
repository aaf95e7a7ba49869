// recurrencebuilders.h - recurrence patterns for tests and benchmarks, built through the get_/put_
// accessors the way the recurrence wizard builds them. Header-only and free of the test framework.
//
//   CRecurrencePattern p(1);
//   zutest::putShape(p, zutest::weekly(2, 0x0A), zutest::wall(2004, 3, 1));  // Mon and Wed, every 2 weeks
#pragma once

#include "recurrencepattern.h"
#include "wintypes.h"

namespace zutest {

// The fields of a pattern that its type uses; a field left at 0 is not put.
struct RecurrenceShape {
    long type;
    long interval;
    long mask = 0;
    long day = 0;
    long instance = 0;
    long month = 0;
};

inline RecurrenceShape daily(long n) { return {0, n}; }
inline RecurrenceShape weekdays() { return {0, 0}; }
inline RecurrenceShape weekly(long n, long mask) { return {1, n, mask}; }
inline RecurrenceShape monthly(long n, long day) { return {2, n, 0, day}; }
inline RecurrenceShape monthlyNth(long n, long instance, long mask) { return {3, n, mask, 0, instance}; }
inline RecurrenceShape yearly(long n, long month, long day) { return {5, n, 0, day, 0, month}; }
inline RecurrenceShape yearlyNth(long n, long month, long instance, long mask) { return {6, n, mask, 0, instance, month}; }

// Puts type, interval, the shape's other fields and the start date, in that order; false at the
// first put_ the pattern refuses (the later ones are not made).
inline bool putShape(CRecurrencePattern& p, const RecurrenceShape& s, const FILETIME& start)
{
    return p.put_RecurrenceType(s.type) && p.put_Interval(s.interval) && (!s.mask || p.put_DayOfWeekMask(s.mask))
        && (!s.day || p.put_DayOfMonth(s.day)) && (!s.instance || p.put_Instance(s.instance))
        && (!s.month || p.put_MonthOfYear(s.month)) && p.put_PatternStartDate(start);
}

}  // namespace zutest
