// recurrenceskips.h - the skipped dates of a recurring appointment (property 0x8801, layout in
// recordlayouts.h): occurrence dates of its pattern that do not happen.
//
// In memory a list is a sorted vector of local wall-clock dates in FILETIME ticks, each at 00:00
// (the pattern's own dates: lunar ones for a lunar appointment). Nothing here touches the store.
#pragma once

#include "wintypes.h"

#include <vector>

class CRecurrencePattern;

using ZuSkippedDates = std::vector<ULONGLONG>;

// The stored bytes of a list: dates moved to 00:00, sorted, each once; empty for no dates (an
// empty list is not stored). Dates before 1601 or after 4500 are left out.
std::vector<BYTE> ZuSkippedDatesToBytes(ZuSkippedDates dates);
// The list a stored BLOB holds; empty for a missing BLOB or one that breaks the layout.
ZuSkippedDates ZuSkippedDatesFromBytes(const BYTE* bytes, size_t count);
inline ZuSkippedDates ZuSkippedDatesFromBytes(const std::vector<BYTE>& bytes)
{
    return ZuSkippedDatesFromBytes(bytes.data(), bytes.size());
}

// Whether `date` (any time of that day) is in the sorted list.
bool ZuIsSkippedDate(const ZuSkippedDates& dates, ULONGLONG date);

// Keeps the dates that are occurrence dates of `pattern` (a copy walks; `pattern` stays as it
// is). A pattern that is not valid keeps none.
void ZuKeepOccurrenceDates(const CRecurrencePattern& pattern, ZuSkippedDates& dates);
