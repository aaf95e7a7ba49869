// itemgroups_p.h - the three groups of items a load makes from the record cache (private to the
// loader): appointments and memorial days, contacts' birthdays and anniversaries, and tasks. Each
// function fills `group` (empty on entry) with the items of the range the request shows and puts
// them in their calendar order (ZuOrderItems); the loader lists the groups in that order.
#pragma once

#include "calendaritem.h"
#include "pimstore.h"
#include "recordcache.h"
#include "textutil.h"

#include <atomic>
#include <vector>

namespace zuload {

// What one load's groups share: the request, its range in ticks (local, both ends inclusive), the
// category filter's bitmap and the time formatter.
struct LoadContext {
    const LoadRequest& request;
    ULONGLONG rangeStart;
    ULONGLONG rangeEnd;
    std::vector<BYTE> filter;
    ZuTimeFormatter formatTime;

    bool passes(const std::vector<BYTE>& categories) const
    {
        if (request.catyType == ZU_CATY_ALL)
            return true;
        const CEBLOB record = ZuBlobOf(categories);
        const CEBLOB bitmap = ZuBlobOf(filter);
        return ZuCategoryFilterPasses(&record, &bitmap, request.catyType == ZU_CATY_NONE);
    }
};

// The appointments (memorial days among them) the request's contents, privacy and categories
// admit, each recurring one by its occurrences when the request expands recurrences. Returns false
// as soon as `abort` is seen set (checked after each appointment); the group is then incomplete.
bool appointmentItems(const LoadContext& ctx, const std::vector<CRecordCache::Appointment>& appointments,
    const std::atomic<bool>& abort, std::vector<CalendarItem>& group);

// The contacts' days, in every year the range touches, whatever the request's contents say.
void contactDayItems(const LoadContext& ctx, const std::vector<CRecordCache::ContactDay>& days,
    std::vector<CalendarItem>& group);

// The tasks the request's privacy and categories admit, each recurring one by its occurrences
// when the request expands recurrences, whatever the request's contents say.
void taskItems(const LoadContext& ctx, const std::vector<CRecordCache::Task>& tasks, std::vector<CalendarItem>& group);

}  // namespace zuload
