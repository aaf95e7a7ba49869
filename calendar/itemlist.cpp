#include "itemlist.h"

#include "filetime.h"
#include "recordlayouts.h"
#include "textutil.h"

#include <algorithm>
#include <string>

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

// The texts are built by hand: a load makes thousands of them, and wide printf is slow.
void appendNumber(std::wstring& out, int n)
{
    if (n < 0) {
        out += L'-';
        n = -n;
    }
    wchar_t digits[12];
    int i = 0;
    do {
        digits[i++] = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n && i < 12);
    while (i)
        out += digits[--i];
}

// "M/D", the month and day of a date.
void appendMonthDay(std::wstring& out, const SYSTEMTIME& st)
{
    appendNumber(out, st.wMonth);
    out += L'/';
    appendNumber(out, st.wDay);
}

// "M/D time".
void appendMonthDayTime(std::wstring& out, const FILETIME& ft, const ZuTimeFormatter& formatTime)
{
    const SYSTEMTIME st = fields(ft);
    appendMonthDay(out, st);
    out += L' ';
    out += formatTime(st).str();
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
    std::wstring text;
    if (ZuIsNoDate(due))
        return text;
    if (ZuIsNoDate(start)) {
        text = L"Due: ";
    } else {
        appendMonthDay(text, fields(start));
        text += L" - ";
    }
    appendMonthDay(text, fields(due));
    return text;
}

CString ZuDayTimeText(FILETIME date, bool lunar, int lunarMonth, int lunarDay)
{
    std::wstring text;
    appendMonthDay(text, fields(date));
    if (lunar) {
        text += L" (음 ";
        appendNumber(text, lunarMonth);
        text += L'/';
        appendNumber(text, lunarDay);
        text += L')';
    }
    return text;
}

CString ZuAllDayTimeText(FILETIME start, FILETIME end, int viewType)
{
    if (viewType == ZU_VIEW_DAY)
        return CString(L"종일일정");
    // The end is exclusive: an all-day appointment of one day ends at the next midnight, and the
    // text names the last day it covers.
    const ULONGLONG last = ticks(end) > ticks(start) ? ticks(end) - 1 : ticks(start);
    std::wstring text;
    appendMonthDay(text, fields(start));
    text += L" - ";
    appendMonthDay(text, fields(ZuU64ToFileTime(last)));
    text += L" [ 종일일정 ]";
    return text;
}

CString ZuTimedTimeText(FILETIME start, FILETIME end, int viewType, FILETIME rangeStart, FILETIME rangeEnd,
    const ZuTimeFormatter& formatTime)
{
    const bool dayType = viewType == ZU_VIEW_DAY;
    std::wstring text;
    if (ticks(start) < ticks(rangeStart) || !dayType)
        appendMonthDayTime(text, start, formatTime);
    else
        text = formatTime(fields(start)).str();
    text += L" - ";
    if (ticks(end) > ticks(rangeEnd) || !dayType)
        appendMonthDayTime(text, end, formatTime);
    else
        text += formatTime(fields(end)).str();
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
