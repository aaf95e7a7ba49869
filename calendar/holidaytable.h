// holidaytable.h - the calendar's holidays: the public holidays of each year by the rules in force
// (koreanholidays.h) for the years those cover, and the fixed yearly days of "Anniversary Database"
// for the others.
//
// For a covered year a day's holiday is the rules' answer; a day the rules do not name but the
// table does (식목일 after 2005 or 제헌절 after 2007 in a seeded table, any day a user's table
// adds) keeps its stored name and is not red. For the other years every stored day is red.
//
// The stored table holds every record ordered by lunar flag (solar days first), then month, then day. A
// date's holiday is the first solar entry with its month and day, else the first lunar entry with
// the month and day of its lunar date; a day of a lunar leap month has no lunar holiday (Chuseok
// is not kept twice in a year with a leap eighth month). The year of an entry is not compared.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <optional>
#include <vector>

struct HolidayEntry {
    CString name;
    WORD year = 0;
    WORD month = 0;
    WORD day = 0;
    WORD lunar = 0;
    WORD reserved = 0;
    DWORD kind = 0;
};

// What the calendar shows for a day: the name in the caption and whether the day is red.
struct DayHoliday {
    CString name;
    bool red = true;
};

class CHolidayTable {
public:
    // Reads the database, creating it with the twelve seeded days when it does not exist. Returns
    // false when it could neither be opened nor created (the table is then empty and the last
    // error tells why).
    bool Load();
    // Inserts before the first entry that is greater (lunar flag, month, day).
    void Insert(const HolidayEntry& entry);
    // The day's holiday (see above), or none.
    std::optional<DayHoliday> HolidayFor(const SYSTEMTIME& date) const;
    // The stored table alone, for any year.
    const HolidayEntry* StoredHolidayFor(const SYSTEMTIME& date) const;
    const std::vector<HolidayEntry>& Entries() const { return m_entries; }

private:
    std::vector<HolidayEntry> m_entries;
};
