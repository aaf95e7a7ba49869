#include "holidaytable.h"

#include "cedbdatabase.h"
#include "koreanholidays.h"
#include "lunar.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recordwalk.h"

#include <tuple>

namespace {

auto orderKey(const HolidayEntry& e)
{
    return std::make_tuple(e.lunar != 0, e.month, e.day);
}

const HolidayEntry* scan(const std::vector<HolidayEntry>& entries, bool lunar, int month, int day)
{
    for (const HolidayEntry& e : entries) {
        if ((e.lunar != 0) != lunar)
            continue;
        if (e.month == month && e.day == day)
            return &e;
        if (std::make_tuple(int(e.month), int(e.day)) > std::make_tuple(month, day))
            return nullptr;
    }
    return nullptr;
}

}  // namespace

bool CHolidayTable::Load()
{
    m_entries.clear();
    CCeDBDatabase db;
    if (!CCeDBDatabase::Exists(ZU_DB_ANNIVERSARIES)) {
        // Created and seeded in one batch: a program stopped in between leaves no half-seeded
        // database behind (one that exists is never seeded again).
        ZuStoreBatch batch;
        bool seeded = db.Create(ZU_DB_ANNIVERSARIES);
        for (size_t i = 0; seeded && i < std::size(ZU_SEED_HOLIDAYS); ++i) {
            CCeDBRecord record = ZuHolidayRecord(ZU_SEED_HOLIDAYS[i]);
            seeded = db.AddRecord(&record);
        }
        if (seeded && batch.ok())
            seeded = batch.Commit();
        if (!seeded)
            db.Close();  // rolled back; another program may have created it meanwhile
    }
    if (!db.IsOpen() && !db.Open(ZU_DB_ANNIVERSARIES))
        return false;
    ZuForEachRecord(db, [this](const CCeDBRecord& record) {
        HolidayEntry e;
        e.name = ZuRecordString(record, ZUID_ANN_NAME);
        e.year = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_YEAR));
        e.month = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_MONTH));
        e.day = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_DAY));
        e.lunar = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_LUNAR));
        e.reserved = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_RESERVED));
        e.kind = static_cast<WORD>(ZuRecordInt(record, ZUID_ANN_KIND));
        Insert(e);
    });
    return true;
}

void CHolidayTable::Insert(const HolidayEntry& entry)
{
    auto it = m_entries.begin();
    while (it != m_entries.end() && !(orderKey(*it) > orderKey(entry)))
        ++it;
    m_entries.insert(it, entry);
}

std::optional<DayHoliday> CHolidayTable::HolidayFor(const SYSTEMTIME& date) const
{
    const bool covered = ZuHolidayRulesCover(date.wYear);
    if (covered) {
        if (const ZuPublicHoliday* h = ZuHolidayOn(date.wYear, date.wMonth, date.wDay))
            return DayHoliday{h->name, h->red};
    }
    if (const HolidayEntry* stored = StoredHolidayFor(date))
        return DayHoliday{stored->name, !covered};
    return std::nullopt;
}

const HolidayEntry* CHolidayTable::StoredHolidayFor(const SYSTEMTIME& date) const
{
    if (const HolidayEntry* solar = scan(m_entries, false, date.wMonth, date.wDay))
        return solar;
    int lunarMonth = 0, lunarDay = 0;
    bool leap = false;
    if (!ZuSunToMoon(date.wYear, date.wMonth, date.wDay, nullptr, &lunarMonth, &lunarDay, &leap) || leap)
        return nullptr;
    return scan(m_entries, true, lunarMonth, lunarDay);
}
