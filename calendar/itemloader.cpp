#include "itemloader.h"

#include "itemgroups_p.h"
#include "itemlist.h"
#include "loaderdates_p.h"

#include <algorithm>
#include <iterator>

using namespace zuload;

namespace {

std::vector<BYTE> filterBitmap(const LoadRequest& request)
{
    std::vector<BYTE> bitmap;
    if (request.catyType != ZU_CATY_ONE && request.catyType != ZU_CATY_SEVERAL)
        return bitmap;
    int highest = -1;
    for (int index : request.chosenIndexes) {
        if (index < 0 || index > 32767)
            continue;
        ZuBitmapSet(bitmap, index);
        highest = std::max(highest, index);
    }
    if (highest >= 0)
        bitmap.resize(static_cast<size_t>(((highest / 8 + 1) / 4 + 1) * 4), 0);
    return bitmap;
}

void appendGroup(std::vector<CalendarItem>& items, std::vector<CalendarItem>& group)
{
    std::move(group.begin(), group.end(), std::back_inserter(items));
}

}  // namespace

bool CItemLoader::Load(const LoadRequest& request, LoadResult& result, const std::atomic<bool>& abort)
{
    result.items.clear();
    result.counts = ItemCounts{};
    for (auto& column : result.layout.columns)
        column.clear();
    for (auto& day : result.layout.occupancy)
        day.fill(0);
    if (abort.load())
        return false;
    result.failure.Empty();
    if (!m_cache.Refresh(request.rangeStart, request.rangeEnd)) {
        result.failure = m_cache.Failure();
        return !abort.load();
    }
    const CRecordCache::Records& records = m_cache.Current();
    const LoadContext ctx{request, ticks(request.rangeStart), ticks(request.rangeEnd), filterBitmap(request), {}};

    std::vector<CalendarItem> appointments;
    if (!appointmentItems(ctx, records.appointments, abort, appointments))
        return false;
    result.items = std::move(appointments);
    ItemCounts& counts = result.counts;
    counts.timed = 0;
    while (counts.timed < static_cast<int>(result.items.size()) && result.items[counts.timed].dayClass == ZU_DAY_TIMED)
        ++counts.timed;
    counts.firstAnniversary = counts.timed;
    while (counts.firstAnniversary < static_cast<int>(result.items.size())
        && result.items[counts.firstAnniversary].dayClass < ZU_DAY_ANNIVERSARY)
        ++counts.firstAnniversary;

    if (request.contents & ZU_SHOW_ANNIVERSARIES) {
        std::vector<CalendarItem> days;
        contactDayItems(ctx, records.contactDays, days);
        appendGroup(result.items, days);
    }
    counts.beforeTasks = static_cast<int>(result.items.size());
    if (abort.load())
        return false;

    if (request.contents & ZU_SHOW_TASKS) {
        std::vector<CalendarItem> tasks;
        taskItems(ctx, records.tasks, tasks);
        appendGroup(result.items, tasks);
    }
    counts.total = static_cast<int>(result.items.size());

    if (request.viewType != ZU_VIEW_MONTH)
        ZuLayoutDays(result.items, counts.timed, request.rangeStart, request.rangeEnd, result.layout);
    return !abort.load();
}
