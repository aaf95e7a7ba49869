// holidaytable.h - the calendar's fixed yearly days, read from "Anniversary Database".
//
// The table holds every record ordered by lunar flag (solar days first), then month, then day. A
// date's holiday is the first solar entry with its month and day, else the first lunar entry with
// the month and day of its lunar date; a day of a lunar leap month has no lunar holiday (Chuseok
// is not kept twice in a year with a leap eighth month). The year of an entry is not compared.
#pragma once

#include "cstring.h"
#include "wintypes.h"

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

class CHolidayTable {
public:
    // Reads the database, creating it with the twelve seeded days when it does not exist. Returns
    // false when it could neither be opened nor created (the table is then empty and the last
    // error tells why).
    bool Load();
    // Inserts before the first entry that is greater (lunar flag, month, day).
    void Insert(const HolidayEntry& entry);
    const HolidayEntry* HolidayFor(const SYSTEMTIME& date) const;
    const std::vector<HolidayEntry>& Entries() const { return m_entries; }

private:
    std::vector<HolidayEntry> m_entries;
};
