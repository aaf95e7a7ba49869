#include "itemgroups_p.h"
#include "itemlist.h"
#include "loaderdates_p.h"
#include "stringtable.h"

#include <algorithm>

namespace zuload {

void contactDayItems(const LoadContext& ctx, const std::vector<CRecordCache::ContactDay>& days,
    std::vector<CalendarItem>& group)
{
    const int firstYear = fields(ctx.request.rangeStart).wYear;
    const int lastYear = fields(ctx.request.rangeEnd).wYear;
    const CString birthday = ZuLoadString(ZuStr::ContactBirthday), anniversary = ZuLoadString(ZuStr::ContactAnniversary);
    for (const CRecordCache::ContactDay& c : days) {
        if (!ctx.passes(*c.categories))
            continue;
        // A lunar date of lunar year y falls in solar year y or y + 1.
        for (int year = c.lunar ? firstYear - 1 : firstYear; year <= lastYear; ++year) {
            FILETIME date{};
            if (c.lunar) {
                int y = 0, m = 0, d = 0;
                if (!ZuMoonToSun(year, c.month, c.day, false, &y, &m, &d) || !localMidnight(y, m, d, date))
                    continue;
            } else {
                // 29 February of a common year is kept on 28 February.
                if (!localMidnight(year, c.month, std::min(c.day, ZuDaysInMonth(year, c.month)), date))
                    continue;
            }
            if (ticks(date) < ctx.rangeStart || ticks(date) > ctx.rangeEnd)
                continue;
            CalendarItem item;
            item.kind = ZU_ITEM_CONTACT_DAY;
            item.oid = c.oid;
            item.start = item.end = date;
            item.dayClass = ZU_DAY_ANNIVERSARY;
            item.subject.Format(c.birthday ? birthday : anniversary, static_cast<const wchar_t*>(c.name));
            item.timeText = ZuDayTimeText(date, c.lunar, c.month, c.day);
            group.push_back(std::move(item));
        }
    }
    ZuOrderItems(group);
}

}  // namespace zuload
