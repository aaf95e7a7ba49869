#include "daycells.h"

#include "filetime.h"
#include "recordlayouts.h"

#include <algorithm>

namespace {

const std::vector<int> kNoItems;

}  // namespace

CDayCells::CDayCells(int days) : m_days(std::max(days, 0)), m_items(m_days), m_markers(m_days, 0)
{
}

void CDayCells::SetFirstDay(const SYSTEMTIME& first)
{
    SYSTEMTIME day{};
    day.wYear = first.wYear;
    day.wMonth = first.wMonth;
    day.wDay = first.wDay;
    SystemTimeToFileTime(&day, &m_first);
}

SYSTEMTIME CDayCells::DateOf(int day) const
{
    const LONGLONG delta = static_cast<LONGLONG>(day) * static_cast<LONGLONG>(ZU_TICKS_PER_DAY);
    const FILETIME ft = ZuU64ToFileTime(ZuFileTimeToU64(m_first) + static_cast<ULONGLONG>(delta));
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

long long CDayCells::DayOf(ULONGLONG ticks) const
{
    const ULONGLONG first = ZuFileTimeToU64(m_first);
    if (ticks >= first)
        return static_cast<long long>((ticks - first) / ZU_TICKS_PER_DAY);
    // Before the first day: round down, so any time of the day before is day -1.
    return -static_cast<long long>((first - ticks + ZU_TICKS_PER_DAY - 1) / ZU_TICKS_PER_DAY);
}

bool CDayCells::Span(const CalendarItem& item, int* first, int* last) const
{
    const bool hasStart = !ZuIsNoDate(item.start);
    const bool hasEnd = !ZuIsNoDate(item.end);
    if (!hasStart && !hasEnd)
        return false;
    const ULONGLONG start = ZuFileTimeToU64(hasStart ? item.start : item.end);
    ULONGLONG end = hasEnd ? ZuFileTimeToU64(item.end) : start;
    if (end < start)
        end = start;
    // An appointment's end is the first moment after it.
    if (item.kind != ZU_ITEM_TASK && end > start)
        end -= 1;
    long long from = DayOf(start);
    long long to = DayOf(end);
    if (to < 0 || from >= m_days)
        return false;
    from = std::max(from, 0LL);
    to = std::min(to, static_cast<long long>(m_days) - 1);
    *first = static_cast<int>(from);
    *last = static_cast<int>(to);
    return true;
}

CDayCells::Marker CDayCells::MarkerOf(int index, const ItemCounts& counts)
{
    if (index < counts.firstAnniversary)
        return MARK_APPOINTMENT;
    if (index < counts.beforeTasks)
        return MARK_ANNIVERSARY;
    return MARK_TASK;
}

void CDayCells::Clear()
{
    for (auto& list : m_items)
        list.clear();
    std::fill(m_markers.begin(), m_markers.end(), 0);
}

void CDayCells::Fill(const std::vector<CalendarItem>& items, const ItemCounts& counts)
{
    Clear();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        int first = 0, last = 0;
        if (!Span(items[i], &first, &last))
            continue;
        const unsigned char bit = static_cast<unsigned char>(1u << MarkerOf(i, counts));
        for (int day = first; day <= last; ++day) {
            m_items[day].push_back(i);
            m_markers[day] |= bit;
        }
    }
}

const std::vector<int>& CDayCells::ItemsOf(int day) const
{
    return day >= 0 && day < m_days ? m_items[day] : kNoItems;
}

bool CDayCells::HasMarker(int day, Marker marker) const
{
    return day >= 0 && day < m_days && marker >= 0 && marker < MARK_COUNT && (m_markers[day] >> marker) & 1u;
}
