#include "itemgroups_p.h"
#include "itemlist.h"
#include "loaderdates_p.h"
#include "occurrencewalk_p.h"

#include <algorithm>

namespace zuload {

namespace {

CString appointmentTimeText(const LoadContext& ctx, const CalendarItem& item, bool lunar, int lunarMonth, int lunarDay)
{
    if (item.dayClass == ZU_DAY_ANNIVERSARY)
        return ZuDayTimeText(item.start, lunar, lunarMonth, lunarDay);
    if (item.dayClass == ZU_DAY_ALLDAY)
        return ZuAllDayTimeText(item.start, item.end, ctx.request.viewType);
    return ZuTimedTimeText(
        item.start, item.end, ctx.request.viewType, ctx.request.rangeStart, ctx.request.rangeEnd, ctx.formatTime);
}

// The lunar dates whose solar dates may start an occurrence within [ctx.rangeStart, ctx.rangeEnd],
// given `from`, the first solar date that may; false when none can (the range lies past the
// lunar table).
bool lunarWindow(const LoadContext& ctx, ULONGLONG from, OccurrenceWindow& window)
{
    // Lunar dates run at most about two months behind the solar ones they stand for.
    const SYSTEMTIME s = fields(fromTicks(from));
    int ly = 0, lm = 0, ld = 0;
    FILETIME lunarFrom{};
    if (ZuSunToMoon(s.wYear, s.wMonth, s.wDay, &ly, &lm, &ld, nullptr) && localMidnight(ly, lm, std::min(ld, 28), lunarFrom))
        window.from = ticks(lunarFrom) > 31 * kDay ? ticks(lunarFrom) - 31 * kDay : 0;
    else if (s.wYear > ZU_LUNAR_LAST_YEAR + 1)
        return false;
    else
        window.from = 0;
    // ... so the walk may stop two months after the lunar date of the range's end.
    const SYSTEMTIME e = fields(fromTicks(ctx.rangeEnd));
    FILETIME limit{};
    window.last = ~0ull;
    if (ZuSunToMoon(e.wYear, e.wMonth, e.wDay, &ly, &lm, &ld, nullptr) && localMidnight(ly, lm, std::min(ld, 28), limit))
        window.last = ticks(limit) + 62 * kDay;
    else if (localMidnight(std::min<int>(e.wYear + 1, 30000), e.wMonth, std::min<int>(e.wDay, 28), limit))
        window.last = ticks(limit);
    return true;
}

// A recurring appointment's occurrences that touch the range.
void expandAppointment(const LoadContext& ctx, const CRecordCache::Appointment& a, std::vector<CalendarItem>& out,
    const CalendarItem& proto)
{
    const CRecurrencePattern& pattern = *a.pattern;
    long duration = 0, startTime = 0;
    pattern.get_Duration(&duration);
    pattern.get_StartTime(&startTime);
    duration = std::max<long>(duration, 0);
    startTime = std::clamp<long>(startTime, 0, 1439);
    const ULONGLONG offset = static_cast<ULONGLONG>(startTime) * kMinute;
    const ULONGLONG length = static_cast<ULONGLONG>(duration) * kMinute;
    if (offset > ctx.rangeEnd)
        return;  // every occurrence starts after the range
    // Occurrence dates are wall-clock dates; a lunar pattern's are lunar dates, placed one by one.
    OccurrenceWindow window = windowReaching(ctx.rangeStart, ctx.rangeEnd, offset, length);
    if (a.lunar && !lunarWindow(ctx, window.from, window))
        return;
    walkOccurrences(pattern, window, a.skipped, [&](const FILETIME& date) {
        FILETIME solar = date;
        int lunarMonth = 0, lunarDay = 0;
        if (a.lunar && !lunarToSolar(date, solar, lunarMonth, lunarDay))
            return fields(date).wYear <= ZU_LUNAR_LAST_YEAR;  // past the lunar table none converts
        const ULONGLONG start = ticks(solar) + offset;
        if (start > ctx.rangeEnd)
            return true;  // a lunar date only: a later one may still land in the range
        const ULONGLONG end = start + length;
        if (end > ctx.rangeStart) {
            CalendarItem item = proto;
            item.start = fromTicks(start);
            item.end = fromTicks(end);
            item.timeText = appointmentTimeText(ctx, item, a.lunar, lunarMonth, lunarDay);
            out.push_back(std::move(item));
        }
        return true;
    });
}

}  // namespace

bool appointmentItems(const LoadContext& ctx, const std::vector<CRecordCache::Appointment>& appointments,
    const std::atomic<bool>& abort, std::vector<CalendarItem>& group)
{
    const LoadRequest& request = ctx.request;
    const bool recurring = request.contents & ZU_SHOW_RECURRING;
    for (const CRecordCache::Appointment& a : appointments) {
        if (!(request.contents & (a.memorial ? ZU_SHOW_ANNIVERSARIES : ZU_SHOW_APPOINTMENTS)))
            continue;
        if ((a.isPrivate && !request.showPrivate) || !ctx.passes(a.categories))
            continue;
        CalendarItem item;
        item.kind = ZU_ITEM_APPOINTMENT;
        item.oid = a.oid;
        item.dayClass = a.allDay ? (a.memorial ? ZU_DAY_ANNIVERSARY : ZU_DAY_ALLDAY) : ZU_DAY_TIMED;
        item.subject = a.subject;
        item.status = a.busy;
        if (!a.recurring) {
            if (ticks(a.start) > ctx.rangeEnd || ticks(a.end) <= ctx.rangeStart)
                continue;
            item.start = a.start;
            item.end = a.end;
            item.timeText = appointmentTimeText(ctx, item, a.lunar, a.lunarMonth, a.lunarDay);
            group.push_back(std::move(item));
        } else if (recurring) {
            expandAppointment(ctx, a, group, item);
        }
        if (abort.load())
            return false;
    }
    ZuOrderItems(group);
    return true;
}

}  // namespace zuload
