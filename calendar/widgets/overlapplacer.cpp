#include "overlapplacer.h"

#include "filetime.h"

#include <algorithm>

const std::vector<OverlapPlacement>& COverlapPlacer::Place(const std::vector<OverlapEntry>& entries,
                                                           ULONGLONG dayStart, int rowHeight)
{
    const int n = static_cast<int>(entries.size());
    m_masks.assign(n, 0u);
    m_placed.assign(n, 0);
    m_placedList.clear();
    m_placements.clear();
    m_placements.reserve(n);
    m_columns = 1;
    const ULONGLONG dayEnd = dayStart + ZU_TICKS_PER_DAY - 1;
    m_clipStart.resize(n);
    m_clipEnd.resize(n);
    for (int i = 0; i < n; ++i) {
        m_clipStart[i] = std::clamp(entries[i].start, dayStart, dayEnd);
        m_clipEnd[i] = std::clamp(entries[i].end, dayStart, dayEnd);
    }

    for (int first = 0; first < n; ++first) {
        if (m_placed[first])
            continue;
        // Each round places one entry not placed before, so the chain ends within n rounds.
        for (int round = 0; round < n; ++round) {
            ULONGLONG latestEnd = entries[first].end;
            int chosen = first;
            for (int j = first + 1; j < n && !m_placed[j] && entries[j].start < latestEnd; ++j) {
                latestEnd = std::max(latestEnd, entries[j].end);
                if (entries[j].overlap > entries[chosen].overlap)
                    chosen = j;
            }
            PlaceOne(entries, chosen, dayStart, rowHeight);
            if (chosen == first)
                break;
        }
    }
    return m_placements;
}

void COverlapPlacer::PlaceOne(const std::vector<OverlapEntry>& entries, int i, ULONGLONG dayStart, int rowHeight)
{
    m_placed[i] = 1;
    const ULONGLONG s = m_clipStart[i], e = m_clipEnd[i];
    const int startHour = static_cast<int>((s - dayStart) / ZU_TICKS_PER_HOUR);
    const ULONGLONG endInDay = e - dayStart;
    const int endHour = static_cast<int>(endInDay / ZU_TICKS_PER_HOUR);
    OverlapPlacement p;
    p.item = entries[i].item;
    p.startRow = startHour;
    if (endHour == startHour)
        p.endRow = startHour + 1;
    else
        p.endRow = std::min(endHour + (endInDay % ZU_TICKS_PER_HOUR ? 1 : 0), 24);
    p.top = p.startRow * rowHeight;
    p.bottom = p.endRow * rowHeight - 1;

    unsigned taken = 0;
    int overlapping = 0;
    for (int j : m_placedList) {
        if (s < m_clipEnd[j] && e > m_clipStart[j]) {
            ++overlapping;
            taken |= m_masks[j];
        }
    }
    const int overlap = std::max(entries[i].overlap, 1);
    if (overlapping == 0) {
        m_columns = std::min(overlap, kMaxColumns);
        p.firstColumn = p.lastColumn = 0;
    } else {
        int column = m_columns - 1;  // all held: the group's last
        for (int c = 0; c < m_columns; ++c) {
            if (!(taken & (1u << c))) {
                column = c;
                break;
            }
        }
        p.firstColumn = p.lastColumn = column;
        if (overlapping >= overlap - 1) {
            while (p.lastColumn + 1 < m_columns && !(taken & (1u << (p.lastColumn + 1))))
                ++p.lastColumn;
        }
    }
    p.columns = m_columns;
    for (int c = p.firstColumn; c <= p.lastColumn; ++c)
        m_masks[i] |= 1u << c;
    m_placedList.push_back(i);
    m_placements.push_back(p);
}
