#include "itemgroups_p.h"
#include "itemlist.h"
#include "loaderdates_p.h"
#include "occurrencewalk_p.h"
#include "recordlayouts.h"

namespace zuload {

namespace {

// A task without a start is shown on its due date; one with neither date always.
bool taskShown(const LoadContext& ctx, bool hasStart, bool hasDue, ULONGLONG start, ULONGLONG due)
{
    return hasStart ? start <= ctx.rangeEnd && due >= ctx.rangeStart
                    : !hasDue || (due >= ctx.rangeStart && due <= ctx.rangeEnd);
}

// A recurring task's occurrences that touch the range. An occurrence lasts as long as the task;
// one without both dates lasts its day.
void expandTask(const LoadContext& ctx, const CRecordCache::Task& t, bool hasStart, bool hasDue,
    std::vector<CalendarItem>& out, const CalendarItem& proto)
{
    const ULONGLONG length = hasStart && hasDue && ticks(t.due) > ticks(t.start) ? ticks(t.due) - ticks(t.start) : 0;
    walkOccurrences(*t.pattern, windowReaching(ctx.rangeStart, ctx.rangeEnd, 0, length), {}, [&](const FILETIME& date) {
        const ULONGLONG d = ticks(date);
        const FILETIME occurrenceStart = hasStart ? date : ZuNoDate();
        const FILETIME occurrenceEnd = fromTicks(hasStart ? d + length : d);
        const bool shown = (ticks(occurrenceStart) <= ctx.rangeEnd && ticks(occurrenceEnd) >= ctx.rangeStart)
            || (!hasStart && ticks(occurrenceEnd) >= ctx.rangeStart && ticks(occurrenceEnd) <= ctx.rangeEnd);
        if (shown) {
            CalendarItem occurrence = proto;
            occurrence.start = occurrenceStart;
            occurrence.end = occurrenceEnd;
            occurrence.priority = 4 - t.importance;
            occurrence.timeText = ZuTaskTimeText(occurrenceStart, occurrenceEnd);
            out.push_back(std::move(occurrence));
        }
        return true;
    });
}

}  // namespace

// A task's dates are wall-clock values, compared with the range as they are.
void taskItems(const LoadContext& ctx, const std::vector<CRecordCache::Task>& tasks, std::vector<CalendarItem>& group)
{
    const LoadRequest& request = ctx.request;
    const bool recurring = request.contents & ZU_SHOW_RECURRING;
    for (const CRecordCache::Task& t : tasks) {
        if ((t.isPrivate && !request.showPrivate) || !ctx.passes(t.categories))
            continue;
        const bool hasStart = !ZuIsNoDate(t.start);
        const bool hasDue = !ZuIsNoDate(t.due);
        CalendarItem item;
        item.kind = ZU_ITEM_TASK;
        item.oid = t.oid;
        item.dayClass = ZU_DAY_ALLDAY;
        item.subject = t.subject;
        item.status = t.percent;
        if (!t.recurring) {
            if (!taskShown(ctx, hasStart, hasDue, ticks(t.start), ticks(t.due)))
                continue;
            item.start = t.start;
            item.end = t.due;
            item.priority = 3 - t.importance;
            item.timeText = ZuTaskTimeText(t.start, t.due);
            group.push_back(std::move(item));
        } else if (recurring) {
            expandTask(ctx, t, hasStart, hasDue, group, item);
        }
    }
    ZuOrderItems(group);
}

}  // namespace zuload
