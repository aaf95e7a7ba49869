#include "itemloader.h"

#include "datafolder.h"
#include "datetimeutil.h"
#include "filetime.h"
#include "itemlist.h"
#include "lunar.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recordwalk.h"
#include "stringtable.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr ULONGLONG kMinute = ZU_TICKS_PER_MINUTE;
constexpr ULONGLONG kDay = ZU_TICKS_PER_DAY;

ULONGLONG ticks(const FILETIME& ft)
{
    return ZuFileTimeToU64(ft);
}

FILETIME fromTicks(ULONGLONG v)
{
    return ZuU64ToFileTime(v);
}

FILETIME toLocal(const FILETIME& utc)
{
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&utc, &local))
        return utc;
    return local;
}

SYSTEMTIME fields(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

bool localMidnight(int year, int month, int day, FILETIME& out)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    return SystemTimeToFileTime(&st, &out);
}

// A lunar date held as a wall-clock FILETIME -> the wall-clock solar date with the same time of
// day; false when it does not convert.
bool lunarToSolar(const FILETIME& lunar, FILETIME& solar, int& lunarMonth, int& lunarDay)
{
    const SYSTEMTIME st = fields(lunar);
    int y = 0, m = 0, d = 0;
    if (!ZuMoonToSun(st.wYear, st.wMonth, st.wDay, false, &y, &m, &d))
        return false;
    FILETIME midnight{};
    if (!localMidnight(y, m, d, midnight))
        return false;
    lunarMonth = st.wMonth;
    lunarDay = st.wDay;
    solar = fromTicks(ticks(midnight) + ticks(lunar) % kDay);
    return true;
}

}  // namespace

struct CItemLoader::Cache {
    struct Appointment {
        CEOID oid = 0;
        bool memorial = false;
        bool lunar = false;
        bool allDay = false;
        bool isPrivate = false;
        bool recurring = false;
        bool placeable = true;  // a single lunar date that does not convert is never shown
        int busy = 0;
        LONGLONG durationMinutes = 0;
        FILETIME start{};  // singles: local, on the solar date
        FILETIME end{};
        int lunarMonth = 0;
        int lunarDay = 0;
        std::vector<BYTE> categories;
        CString subject;
        std::unique_ptr<CRecurrencePattern> pattern;
    };
    struct ContactDay {
        CEOID oid = 0;
        bool birthday = true;
        bool lunar = false;
        int month = 0;
        int day = 0;
        CString name;
        const std::vector<BYTE>* categories = nullptr;
    };
    struct Task {
        CEOID oid = 0;
        bool isPrivate = false;
        bool recurring = false;
        int importance = 0;
        int percent = 0;
        FILETIME start{};  // wall clock as the editor writes it, or no date
        FILETIME due{};
        std::vector<BYTE> categories;
        CString subject;
        std::unique_ptr<CRecurrencePattern> pattern;
    };

    std::vector<Appointment> appointments;
    std::vector<std::vector<BYTE>> contactCategories;  // one per contact, referred to by its days
    std::vector<ContactDay> contactDays;
    std::vector<Task> tasks;

    void readAppointments(CCeDBDatabase& db);
    // Only the appointments a load of [rangeStart, rangeEnd] (local) can show, through the
    // database's sort orders; false when the database lacks them (then read them all).
    bool readAppointmentsFor(ULONGLONG rangeStart, ULONGLONG rangeEnd);
    void addAppointment(const CCeDBRecord& record);
    void readContacts(CCeDBDatabase& db);
    void readTasks(CCeDBDatabase& db);
};

namespace {

std::unique_ptr<CRecurrencePattern> patternOf(const CCeDBRecord& record, WORD blobIdent, UINT kind)
{
    std::vector<BYTE> bytes = ZuRecordBytes(record, blobIdent);
    CEBLOB blob = ZuBlobOf(bytes);
    auto pattern = std::make_unique<CRecurrencePattern>(blob, 1u, kind);
    if (!pattern->IsValid())
        return nullptr;
    return pattern;
}

}  // namespace

void CItemLoader::Cache::readAppointments(CCeDBDatabase& db)
{
    ZuForEachRecord(db, [this](const CCeDBRecord& record) { addAppointment(record); });
}

void CItemLoader::Cache::addAppointment(const CCeDBRecord& record)
{
    Appointment a;
    a.oid = record.GetOid();
    a.memorial = ZuRecordInt(record, ZUID_APT_MEMORIAL) == 1;
    a.lunar = ZuRecordInt(record, ZUID_APT_LUNAR) == 1;
    a.allDay = ZuRecordInt(record, ZUID_APT_TYPE) == ZU_APT_ALLDAY;
    a.isPrivate = ZuRecordInt(record, ZUID_APT_PRIVATE) == 1;
    a.recurring = ZuRecordInt(record, ZUID_APT_RECURRING) == 1;
    a.busy = static_cast<int>(ZuRecordInt(record, ZUID_APT_BUSYSTATUS));
    a.durationMinutes = ZuRecordInt(record, ZUID_APT_DURATION);
    a.categories = ZuRecordBytes(record, ZUID_APT_CATEGORIES);
    a.subject = ZuRecordString(record, ZUID_APT_SUBJECT);
    const CString location = ZuRecordString(record, ZUID_APT_LOCATION);
    if (!location.IsEmpty())
        a.subject.AppendFormat(L" (%s)", static_cast<const wchar_t*>(location));
    if (a.recurring) {
        a.pattern = patternOf(record, ZUID_APT_RECURRENCE, ZU_SEL_APPOINTMENTS);
        if (!a.pattern)
            return;  // a recurring record whose pattern does not read is never shown
    } else {
        FILETIME utc{};
        if (!ZuRecordFiletime(record, ZUID_APT_START, &utc))
            return;
        // The stored start is UTC; a lunar one holds the lunar date at the local wall clock.
        const FILETIME local = toLocal(utc);
        if (a.lunar) {
            a.placeable = lunarToSolar(local, a.start, a.lunarMonth, a.lunarDay);
            if (!a.placeable)
                return;
        } else {
            a.start = local;
        }
        const LONGLONG minutes = std::max<LONGLONG>(a.durationMinutes, 0);
        a.end = fromTicks(ticks(a.start) + static_cast<ULONGLONG>(minutes) * kMinute);
    }
    appointments.push_back(std::move(a));
}

// A single appointment shorter than this lies within this much before the range when it reaches
// into it; longer ones are found by their duration. It is above what a 16-bit duration can
// hold, so a duration stored in the narrower type is never missed.
constexpr LONG kLongMinutes = 32768;

bool CItemLoader::Cache::readAppointmentsFor(ULONGLONG rangeStart, ULONGLONG rangeEnd)
{
    std::unordered_set<CEOID> seen;
    CCeDBDatabase db;
    // Walks on from the seek while `more` holds, adding each record once.
    auto walk = [&](auto more) {
        ZuWalkOn(db, [&](const CCeDBRecord& record) {
            if (!more(record))
                return false;
            if (seen.insert(record.GetOid()).second)
                addAppointment(record);
            return true;
        });
    };
    auto sortedBy = [&](CEPROPID id) {
        CCeDBProp sort;
        sort.SetPropId(id);
        return db.Open(ZU_DB_APPOINTMENTS, &sort);
    };
    auto flagged = [](CEPROPID id) {
        return [id](const CCeDBRecord& r) {
            const CCeDBProp* p = r.GetFullIdProp(id);
            return p && p->GetShort() == 1;
        };
    };

    // Recurring and lunar appointments, whatever their start; then the long ones.
    const CEPROPID recurring = MAKEPROPID(ZUID_APT_RECURRING, CEVT_I2);
    if (!sortedBy(recurring))
        return false;
    if (db.SeekValueFirstEqual(CCeDBProp(short(1), ZUID_APT_RECURRING)))
        walk(flagged(recurring));
    const CEPROPID lunar = MAKEPROPID(ZUID_APT_LUNAR, CEVT_I2);
    if (!sortedBy(lunar))
        return false;
    if (db.SeekValueFirstEqual(CCeDBProp(short(1), ZUID_APT_LUNAR)))
        walk(flagged(lunar));
    const CEPROPID duration = MAKEPROPID(ZUID_APT_DURATION, CEVT_I4);
    if (!sortedBy(duration))
        return false;
    if (db.SeekValueGreaterOrEqual(CCeDBProp(kLongMinutes, ZUID_APT_DURATION)))
        walk([&](const CCeDBRecord& r) { return r.GetFullIdProp(duration) != nullptr; });

    // The rest start between the long limit before the range and its end. Stored starts are UTC;
    // a day on each side covers any zone's offset.
    const CEPROPID start = MAKEPROPID(ZUID_APT_START, CEVT_FILETIME);
    if (!sortedBy(start))
        return false;
    const ULONGLONG before = kLongMinutes * kMinute + kDay;
    const ULONGLONG to = rangeEnd + kDay;
    if (db.SeekValueGreaterOrEqual(CCeDBProp(fromTicks(rangeStart > before ? rangeStart - before : 0), ZUID_APT_START)))
        walk([&](const CCeDBRecord& r) {
            const CCeDBProp* p = r.GetFullIdProp(start);
            return p && ticks(p->GetFiletime()) <= to;
        });
    // In object id order, as a read of every record gives them: items that tie keep that order.
    std::sort(appointments.begin(), appointments.end(), [](const Appointment& a, const Appointment& b) { return a.oid < b.oid; });
    return true;
}

void CItemLoader::Cache::readContacts(CCeDBDatabase& db)
{
    std::vector<ContactDay> days;
    std::vector<std::vector<BYTE>> categories;
    std::vector<size_t> owner;  // contact of each day, fixed up once the vector stops growing
    ZuForEachRecord(db, [&](const CCeDBRecord& record) {
        const struct {
            WORD date, lunar;
            bool birthday;
        } kinds[] = {{ZUID_CON_BIRTHDAY, ZUID_CON_BIRTHDAY_LUNAR, true},
            {ZUID_CON_ANNIVERSARY, ZUID_CON_ANNIVERSARY_LUNAR, false}};
        bool any = false;
        for (const auto& kind : kinds) {
            FILETIME stored{};
            if (!ZuRecordFiletime(record, kind.date, &stored))
                continue;
            const SYSTEMTIME local = fields(toLocal(stored));
            if (local.wMonth < 1 || local.wMonth > 12 || local.wDay < 1 || local.wDay > 31)
                continue;
            ContactDay day;
            day.oid = record.GetOid();
            day.birthday = kind.birthday;
            day.lunar = ZuRecordInt(record, kind.lunar) == 1;
            day.month = local.wMonth;
            day.day = local.wDay;
            day.name = ZuRecordString(record, ZUID_CON_FILE_AS);
            days.push_back(std::move(day));
            owner.push_back(categories.size());
            any = true;
        }
        if (any)
            categories.push_back(ZuRecordBytes(record, ZUID_CON_CATEGORIES));
    });
    contactCategories = std::move(categories);
    for (size_t i = 0; i < days.size(); ++i)
        days[i].categories = &contactCategories[owner[i]];
    contactDays = std::move(days);
}

void CItemLoader::Cache::readTasks(CCeDBDatabase& db)
{
    ZuForEachRecord(db, [this](CCeDBRecord& record) {
        Task t;
        t.oid = record.GetOid();
        t.isPrivate = ZuRecordInt(record, ZUID_TASK_PRIVATE) == 1;
        t.recurring = ZuRecordInt(record, ZUID_TASK_RECURRING) == 1;
        t.importance = static_cast<int>(ZuRecordInt(record, ZUID_TASK_IMPORTANCE));
        t.percent = GetDBStatusPercent(&record);
        if (!ZuRecordFiletime(record, ZUID_TASK_START, &t.start))
            t.start = ZuNoDate();
        if (!ZuRecordFiletime(record, ZUID_TASK_DUE, &t.due))
            t.due = ZuNoDate();
        t.categories = ZuRecordBytes(record, ZUID_TASK_CATEGORIES);
        t.subject = ZuRecordString(record, ZUID_TASK_SUBJECT);
        if (t.recurring) {
            t.pattern = patternOf(record, ZUID_TASK_RECURRENCE, ZU_SEL_TASKS);
            if (!t.pattern)
                return;
        }
        tasks.push_back(std::move(t));
    });
}

CItemLoader::CItemLoader() : m_cache(std::make_unique<Cache>()) {}

CItemLoader::~CItemLoader() = default;

void CItemLoader::Invalidate()
{
    m_valid = false;
    m_rangeStamp = 0;
}

// Contacts' days and tasks: what a load reads whatever its range.
void CItemLoader::readUndated(Cache& cache)
{
    CCeDBDatabase db;
    if (db.Open(ZU_DB_CONTACTS))
        cache.readContacts(db);
    if (db.Open(ZU_DB_TASKS))
        cache.readTasks(db);
}

void CItemLoader::Prepare()
{
    const ULONGLONG stamp = ZuStoreChangeStamp();
    if (stamp == 0 || (m_valid && stamp == m_stamp))
        return;
    m_prepared = std::make_unique<Cache>();
    readUndated(*m_prepared);
    m_preparedStamp = stamp;
    m_preparedPath = ZuDataFile("pim.db");
}

void CItemLoader::refresh(const LoadRequest& request)
{
    const std::string path = ZuDataFile("pim.db");
    const ULONGLONG stamp = ZuStoreChangeStamp();
    if (m_valid && path == m_path && stamp == m_stamp && stamp != 0)
        return;
    auto cache = std::make_unique<Cache>();
    // The first load after a change reads only the appointments its range can show, so the
    // calendar's first page (and a command's one answer) come without reading them all; a second
    // load on the same data reads every one and keeps them.
    bool ranged = false;
    if (stamp != 0 && (stamp != m_rangeStamp || path != m_path)) {
        ranged = cache->readAppointmentsFor(ZuFileTimeToU64(request.rangeStart), ZuFileTimeToU64(request.rangeEnd));
        if (!ranged)
            cache->appointments.clear();
    }
    CCeDBDatabase db;
    if (!ranged && db.Open(ZU_DB_APPOINTMENTS))
        cache->readAppointments(db);
    if (m_prepared && m_preparedStamp == stamp && m_preparedPath == path) {
        // Moving the vectors keeps their elements, so the days still point at their categories.
        cache->contactCategories = std::move(m_prepared->contactCategories);
        cache->contactDays = std::move(m_prepared->contactDays);
        cache->tasks = std::move(m_prepared->tasks);
    } else {
        readUndated(*cache);
    }
    m_prepared.reset();
    db.Close();
    m_cache = std::move(cache);
    m_path = path;
    m_stamp = stamp;
    m_valid = !ranged;
    m_rangeStamp = ranged ? stamp : 0;
    ++m_storeReads;
}

namespace {

// The pieces of one load, shared by the three readers below.
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

CString appointmentTimeText(const LoadContext& ctx, const CalendarItem& item, bool lunar, int lunarMonth, int lunarDay)
{
    if (item.dayClass == ZU_DAY_ANNIVERSARY)
        return ZuDayTimeText(item.start, lunar, lunarMonth, lunarDay);
    if (item.dayClass == ZU_DAY_ALLDAY)
        return ZuAllDayTimeText(item.start, item.end, ctx.request.viewType);
    return ZuTimedTimeText(
        item.start, item.end, ctx.request.viewType, ctx.request.rangeStart, ctx.request.rangeEnd, ctx.formatTime);
}

// Walks a recurring appointment's occurrences that touch the range.
void expandAppointment(const LoadContext& ctx, const CItemLoader::Cache::Appointment& a,
    std::vector<CalendarItem>& out, const CalendarItem& proto)
{
    CRecurrencePattern pattern(*a.pattern);
    long duration = 0, startTime = 0;
    short noEnd = 1;
    pattern.get_Duration(&duration);
    pattern.get_NoEndDate(&noEnd);
    pattern.get_StartTime(&startTime);
    duration = std::max<long>(duration, 0);
    startTime = std::clamp<long>(startTime, 0, 1439);
    const ULONGLONG offset = static_cast<ULONGLONG>(startTime) * kMinute;
    const ULONGLONG length = static_cast<ULONGLONG>(duration) * kMinute;
    FILETIME patternStart{}, patternEnd{};
    ULONGLONG endBound = ~0ull;
    if (!noEnd) {
        pattern.get_PatternStartDate(&patternStart);
        pattern.get_PatternEndDate(&patternEnd);
        endBound = ticks(patternEnd);
        if (!a.lunar && (ticks(patternStart) > ctx.rangeEnd || ticks(patternEnd) + offset + length < ctx.rangeStart))
            return;
    }
    // Occurrence dates are wall-clock dates; a lunar pattern's are lunar dates, placed one by one.
    ULONGLONG from = ctx.rangeStart > offset + length ? ctx.rangeStart - offset - length : 0;
    ULONGLONG lunarLimit = ~0ull;
    if (a.lunar) {
        // Lunar dates run at most about two months behind the solar ones they stand for.
        const SYSTEMTIME s = fields(fromTicks(from));
        int ly = 0, lm = 0, ld = 0;
        FILETIME lunarFrom{};
        if (ZuSunToMoon(s.wYear, s.wMonth, s.wDay, &ly, &lm, &ld, nullptr) && localMidnight(ly, lm, std::min(ld, 28), lunarFrom))
            from = ticks(lunarFrom) > 31 * kDay ? ticks(lunarFrom) - 31 * kDay : 0;
        else if (s.wYear > ZU_LUNAR_LAST_YEAR + 1)
            return;
        else
            from = 0;
        // ... so the walk may stop two months after the lunar date of the range's end.
        const SYSTEMTIME e = fields(fromTicks(ctx.rangeEnd));
        FILETIME limit{};
        if (ZuSunToMoon(e.wYear, e.wMonth, e.wDay, &ly, &lm, &ld, nullptr) && localMidnight(ly, lm, std::min(ld, 28), limit))
            lunarLimit = ticks(limit) + 62 * kDay;
        else if (localMidnight(std::min<int>(e.wYear + 1, 30000), e.wMonth, std::min<int>(e.wDay, 28), limit))
            lunarLimit = ticks(limit);
    }
    FILETIME date{};
    if (!pattern.SeekRecurTimeFrom(&date, fromTicks(from)))
        return;
    do {
        const ULONGLONG raw = ticks(date);
        if (raw > endBound || raw > lunarLimit)
            break;
        FILETIME solar = date;
        int lunarMonth = 0, lunarDay = 0;
        if (a.lunar && !lunarToSolar(date, solar, lunarMonth, lunarDay)) {
            if (fields(date).wYear > ZU_LUNAR_LAST_YEAR)
                break;
            continue;
        }
        const ULONGLONG start = ticks(solar) + offset;
        if (start > ctx.rangeEnd) {
            if (!a.lunar)
                break;
            continue;
        }
        const ULONGLONG end = start + length;
        if (end > ctx.rangeStart) {
            CalendarItem item = proto;
            item.start = fromTicks(start);
            item.end = fromTicks(end);
            item.timeText = appointmentTimeText(ctx, item, a.lunar, lunarMonth, lunarDay);
            out.push_back(std::move(item));
        }
    } while (pattern.SeekNextRecurTime(&date));
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
    refresh(request);
    const Cache& cache = *m_cache;
    LoadContext ctx{request, ticks(request.rangeStart), ticks(request.rangeEnd), filterBitmap(request), {}};
    const bool recurring = request.contents & ZU_SHOW_RECURRING;

    // Appointments.
    std::vector<CalendarItem> appointments;
    for (const Cache::Appointment& a : cache.appointments) {
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
            appointments.push_back(std::move(item));
        } else if (recurring) {
            expandAppointment(ctx, a, appointments, item);
        }
        if (abort.load())
            return false;
    }
    ZuOrderItems(appointments);
    result.items = std::move(appointments);
    ItemCounts& counts = result.counts;
    counts.timed = 0;
    while (counts.timed < static_cast<int>(result.items.size()) && result.items[counts.timed].dayClass == ZU_DAY_TIMED)
        ++counts.timed;
    counts.firstAnniversary = counts.timed;
    while (counts.firstAnniversary < static_cast<int>(result.items.size())
        && result.items[counts.firstAnniversary].dayClass < ZU_DAY_ANNIVERSARY)
        ++counts.firstAnniversary;

    // Contacts' birthdays and anniversaries, in every year the range touches.
    if (request.contents & ZU_SHOW_ANNIVERSARIES) {
        std::vector<CalendarItem> days;
        const int firstYear = fields(request.rangeStart).wYear;
        const int lastYear = fields(request.rangeEnd).wYear;
        const CString birthday = ZuLoadString(65088), anniversary = ZuLoadString(65089);
        for (const Cache::ContactDay& c : cache.contactDays) {
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
                days.push_back(std::move(item));
            }
        }
        ZuOrderItems(days);
        std::move(days.begin(), days.end(), std::back_inserter(result.items));
    }
    counts.beforeTasks = static_cast<int>(result.items.size());
    if (abort.load())
        return false;

    // Tasks: their dates are wall-clock values.
    if (request.contents & ZU_SHOW_TASKS) {
        std::vector<CalendarItem> tasks;
        for (const Cache::Task& t : cache.tasks) {
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
                const bool shown = hasStart ? ticks(t.start) <= ctx.rangeEnd && ticks(t.due) >= ctx.rangeStart
                                            : !hasDue || (ticks(t.due) >= ctx.rangeStart && ticks(t.due) <= ctx.rangeEnd);
                if (!shown)
                    continue;
                item.start = t.start;
                item.end = t.due;
                item.priority = 3 - t.importance;
                item.timeText = ZuTaskTimeText(t.start, t.due);
                tasks.push_back(std::move(item));
                continue;
            }
            if (!recurring)
                continue;
            CRecurrencePattern pattern(*t.pattern);
            // An occurrence lasts as long as the task; one without both dates lasts its day.
            const ULONGLONG length = hasStart && hasDue && ticks(t.due) > ticks(t.start) ? ticks(t.due) - ticks(t.start) : 0;
            short noEnd = 1;
            pattern.get_NoEndDate(&noEnd);
            ULONGLONG endBound = ~0ull;
            if (!noEnd) {
                FILETIME ps{}, pe{};
                pattern.get_PatternStartDate(&ps);
                pattern.get_PatternEndDate(&pe);
                endBound = ticks(pe);
                if (ticks(ps) > ctx.rangeEnd || ticks(pe) + length < ctx.rangeStart)
                    continue;
            }
            FILETIME date{};
            const ULONGLONG from = ctx.rangeStart > length ? ctx.rangeStart - length : 0;
            if (!pattern.SeekRecurTimeFrom(&date, fromTicks(from)))
                continue;
            do {
                const ULONGLONG d = ticks(date);
                if (d > ctx.rangeEnd || d > endBound)
                    break;
                const FILETIME occurrenceStart = hasStart ? date : ZuNoDate();
                const FILETIME occurrenceEnd = fromTicks(hasStart ? d + length : d);
                const bool shown = (ticks(occurrenceStart) <= ctx.rangeEnd && ticks(occurrenceEnd) >= ctx.rangeStart)
                    || (!hasStart && ticks(occurrenceEnd) >= ctx.rangeStart && ticks(occurrenceEnd) <= ctx.rangeEnd);
                if (!shown)
                    continue;
                CalendarItem occurrence = item;
                occurrence.start = occurrenceStart;
                occurrence.end = occurrenceEnd;
                occurrence.priority = 4 - t.importance;
                occurrence.timeText = ZuTaskTimeText(occurrenceStart, occurrenceEnd);
                tasks.push_back(std::move(occurrence));
            } while (pattern.SeekNextRecurTime(&date));
        }
        ZuOrderItems(tasks);
        std::move(tasks.begin(), tasks.end(), std::back_inserter(result.items));
    }
    counts.total = static_cast<int>(result.items.size());

    if (request.viewType != ZU_VIEW_MONTH)
        ZuLayoutDays(result.items, counts.timed, request.rangeStart, request.rangeEnd, result.layout);
    return !abort.load();
}
