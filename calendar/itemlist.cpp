#include "itemlist.h"

#include "filetime.h"
#include "recordlayouts.h"
#include "textutil.h"

#include <algorithm>

namespace {

constexpr ULONGLONG kDay = ZU_TICKS_PER_DAY;
constexpr ULONGLONG kHour = ZU_TICKS_PER_DAY / 24;

ULONGLONG ticks(const FILETIME& ft)
{
    return ZuFileTimeToU64(ft);
}

SYSTEMTIME fields(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

CString monthDayTime(const FILETIME& ft)
{
    const SYSTEMTIME st = fields(ft);
    CString text;
    text.Format(L"%d/%d %s", st.wMonth, st.wDay, static_cast<const wchar_t*>(FormatTime(st)));
    return text;
}

}  // namespace

ULONGLONG ZuItemKey(const CalendarItem& item)
{
    return ZuIsNoDate(item.start) ? ticks(item.end) : ticks(item.start);
}

void ZuOrderItems(std::vector<CalendarItem>& group)
{
    // Reversed, a stable sort keeps the later-read item of equal (class, key) in front.
    std::reverse(group.begin(), group.end());
    std::stable_sort(group.begin(), group.end(), [](const CalendarItem& a, const CalendarItem& b) {
        if (a.dayClass != b.dayClass)
            return a.dayClass < b.dayClass;
        return ZuItemKey(a) < ZuItemKey(b);
    });
}

CString ZuTaskTimeText(FILETIME start, FILETIME due)
{
    CString text;
    if (ZuIsNoDate(due))
        return text;
    const SYSTEMTIME d = fields(due);
    if (ZuIsNoDate(start)) {
        text.Format(L"Due: %d/%d", d.wMonth, d.wDay);
    } else {
        const SYSTEMTIME s = fields(start);
        text.Format(L"%d/%d - %d/%d", s.wMonth, s.wDay, d.wMonth, d.wDay);
    }
    return text;
}

CString ZuDayTimeText(FILETIME date, bool lunar, int lunarMonth, int lunarDay)
{
    const SYSTEMTIME st = fields(date);
    CString text;
    if (lunar)
        text.Format(L"%d/%d (음 %d/%d)", st.wMonth, st.wDay, lunarMonth, lunarDay);
    else
        text.Format(L"%d/%d", st.wMonth, st.wDay);
    return text;
}

CString ZuAllDayTimeText(FILETIME start, FILETIME end, int viewType)
{
    if (viewType == ZU_VIEW_DAY)
        return CString(L"종일일정");
    // The end is exclusive: an all-day appointment of one day ends at the next midnight, and the
    // text names the last day it covers.
    const ULONGLONG last = ticks(end) > ticks(start) ? ticks(end) - 1 : ticks(start);
    const SYSTEMTIME s = fields(start);
    const SYSTEMTIME e = fields(ZuU64ToFileTime(last));
    CString text;
    text.Format(L"%d/%d - %d/%d [ 종일일정 ]", s.wMonth, s.wDay, e.wMonth, e.wDay);
    return text;
}

CString ZuTimedTimeText(FILETIME start, FILETIME end, int viewType, FILETIME rangeStart, FILETIME rangeEnd)
{
    const bool dayType = viewType == ZU_VIEW_DAY;
    CString text;
    if (ticks(start) < ticks(rangeStart) || !dayType)
        text = monthDayTime(start);
    else
        text = FormatTime(fields(start));
    text += L" - ";
    if (ticks(end) > ticks(rangeEnd) || !dayType)
        text += monthDayTime(end);
    else
        text += FormatTime(fields(end));
    return text;
}

void ZuLayoutDays(const std::vector<CalendarItem>& items, int timed, FILETIME rangeStartFt, FILETIME rangeEndFt,
    DayLayout& layout)
{
    for (auto& column : layout.columns)
        column.clear();
    for (auto& day : layout.occupancy)
        day.fill(0);
    const ULONGLONG rangeStart = ticks(rangeStartFt);
    const ULONGLONG rangeEnd = ticks(rangeEndFt);
    const int days = static_cast<int>(layout.columns.size());
    timed = std::min<int>(timed, static_cast<int>(items.size()));

    for (int i = 0; i < timed; ++i) {
        const ULONGLONG s = std::max(ticks(items[i].start), rangeStart);
        const ULONGLONG e = std::min(ticks(items[i].end), rangeEnd);
        if (s > rangeEnd || e < rangeStart)
            continue;
        const int first = static_cast<int>((s - rangeStart) / kDay);
        int last = static_cast<int>((e - rangeStart) / kDay);
        const ULONGLONG endInDay = (e - rangeStart) % kDay;
        // An appointment that ends exactly at midnight does not reach into the day it ends on.
        bool endsAtMidnight = false;
        if (endInDay == 0 && last > first) {
            --last;
            endsAtMidnight = true;
        }
        const int startHour = static_cast<int>(((s - rangeStart) % kDay) / kHour);
        int lastEndHour = 24;
        if (!endsAtMidnight) {
            lastEndHour = static_cast<int>(endInDay / kHour) + (endInDay % kHour ? 1 : 0);
            lastEndHour = std::min(lastEndHour, 24);
        }
        for (int day = first; day <= last && day < days; ++day) {
            const int from = day == first ? startHour : 0;
            int to = day == last ? lastEndHour : 24;
            if (to <= from)
                to = from + 1;  // at least the first hour counts
            layout.columns[day].push_back(DayColumnEntry{i, 0, 0});
            for (int h = from; h < to && h < 24; ++h) {
                BYTE& count = layout.occupancy[day][h];
                if (count < 255)
                    ++count;
            }
        }
    }

    for (int day = 0; day < days; ++day) {
        const ULONGLONG dayStart = rangeStart + static_cast<ULONGLONG>(day) * kDay;
        const ULONGLONG dayEnd = dayStart + kDay;
        for (DayColumnEntry& entry : layout.columns[day]) {
            const CalendarItem& item = items[entry.item];
            const ULONGLONG s = std::max(ticks(item.start), dayStart);
            const ULONGLONG e = std::min(ticks(item.end), dayEnd);
            const int from = static_cast<int>((s - dayStart) / kHour);
            int to = e <= s ? from + 1 : static_cast<int>((e - dayStart + kHour - 1) / kHour);
            to = std::min(std::max(to, from + 1), 24);
            int overlap = 0;
            for (int h = from; h < to; ++h)
                overlap = std::max<int>(overlap, layout.occupancy[day][h]);
            entry.overlap = overlap;
        }
    }
}
