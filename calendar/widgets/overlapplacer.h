// overlapplacer.h - lays the timed appointments of one day side by side, for the week and day
// views' hour grids.
//
// The entries of a day come in the loader's order (DayColumnEntry: item, overlap = the most
// appointments sharing an hour with it that day). A chain starts at the first entry not placed
// yet; from the chain's first entry the placer walks on over the following unplaced entries that
// start before the latest end seen so far, chooses the walked entry with the largest overlap (the
// earliest of equals) and places it, until the chosen entry is the chain's first one.
//
// Placing an entry: its times are clipped to the day; top = start hour x row height; bottom =
// end hour (rounded up when it is not on the hour, at most 24) x row height - 1, or one row below
// the top when start and end fall in the same hour. When no placed entry of the day overlaps it in
// time it opens a group: columns = its overlap (1 to 4) and it takes column 0. Otherwise it takes
// the first column no overlapping placed entry holds (the group's last when all are held), and
// when it overlaps at least (its overlap - 1) placed entries it widens to the right up to the next
// held column or the group's last.
//
// Every chosen entry counts as placed, so a walk never chooses it again and every day ends after
// at most one placement per entry. The column masks are the placer's own, cleared at each Place().
#pragma once

#include "wintypes.h"

#include <vector>

struct OverlapEntry {
    int item = 0;         // index into the item list
    int overlap = 1;      // from the day layout
    ULONGLONG start = 0;  // local ticks
    ULONGLONG end = 0;    // local ticks, exclusive
};

struct OverlapPlacement {
    int item = 0;
    int startRow = 0;     // the hour rows it covers: [startRow, endRow)
    int endRow = 1;
    int top = 0;          // pixels from midnight's row: startRow x row height
    int bottom = 0;       // inclusive: endRow x row height - 1
    int firstColumn = 0;
    int lastColumn = 0;
    int columns = 1;      // the columns its group shares the day's width among (1 to 4)

    // The entry's x range within a day `width` pixels wide: [left, right] inclusive.
    int Left(int width) const { return firstColumn * (width / columns); }
    int Right(int width) const { return (lastColumn + 1) * (width / columns) - 1; }
};

class COverlapPlacer {
public:
    static constexpr int kMaxColumns = 4;

    // Places the entries of the day [dayStart, dayStart + 1 day) with `rowHeight` pixels per
    // hour; the result holds one placement per entry, in placing order.
    const std::vector<OverlapPlacement>& Place(const std::vector<OverlapEntry>& entries, ULONGLONG dayStart,
                                               int rowHeight);
    const std::vector<OverlapPlacement>& Placements() const { return m_placements; }
    // The column bits of entry i after the last Place().
    unsigned Mask(int i) const { return i >= 0 && i < static_cast<int>(m_masks.size()) ? m_masks[i] : 0u; }

private:
    void PlaceOne(const std::vector<OverlapEntry>& entries, int i, ULONGLONG dayStart, int rowHeight);

    std::vector<unsigned> m_masks;
    std::vector<char> m_placed;
    std::vector<int> m_placedList;
    std::vector<ULONGLONG> m_clipStart, m_clipEnd;
    std::vector<OverlapPlacement> m_placements;
    int m_columns = 1;
};
