#include "recordcache.h"

#include "datafolder.h"
#include "lasterror.h"
#include "loaderdates_p.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recordwalk.h"

#include <algorithm>
#include <unordered_set>

using namespace zuload;

namespace {

using Records = CRecordCache::Records;

std::unique_ptr<CRecurrencePattern> patternOf(const CCeDBRecord& record, WORD blobIdent, UINT kind)
{
    std::vector<BYTE> bytes = ZuRecordBytes(record, blobIdent);
    CEBLOB blob = ZuBlobOf(bytes);
    auto pattern = std::make_unique<CRecurrencePattern>(blob, 1u, kind);
    if (!pattern->IsValid())
        return nullptr;
    return pattern;
}

void addAppointment(Records& records, const CCeDBRecord& record)
{
    CRecordCache::Appointment a;
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
        a.skipped = ZuSkippedDatesFromBytes(ZuRecordBytes(record, ZUID_APT_SKIPPED_DATES));
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
    records.appointments.push_back(std::move(a));
}

bool readAppointments(Records& records, CCeDBDatabase& db)
{
    return ZuForEachRecord(db, [&records](const CCeDBRecord& record) { addAppointment(records, record); });
}

// A single appointment shorter than this lies within this much before the range when it reaches
// into it; longer ones are found by their duration. It is above what a 16-bit duration can
// hold, so a duration stored in the narrower type is never missed.
constexpr LONG kLongMinutes = 32768;

enum class Ranged { Read, NoOrders, Failed };

// Only the appointments a load of [rangeStart, rangeEnd] (local) can show, through the database's
// sort orders; NoOrders when the database lacks them (then read them all).
Ranged readAppointmentsFor(Records& records, ULONGLONG rangeStart, ULONGLONG rangeEnd)
{
    std::unordered_set<CEOID> seen;
    CCeDBDatabase db;
    bool failed = false;
    // Walks on from the seek while `more` holds, adding each record once.
    auto walk = [&](auto more) {
        failed |= !ZuWalkOn(db, [&](const CCeDBRecord& record) {
            if (!more(record))
                return false;
            if (seen.insert(record.GetOid()).second)
                addAppointment(records, record);
            return true;
        });
    };
    // Opens sorted by `id`; a database without that order is read whole, one that cannot be
    // opened is a failure.
    auto sortedBy = [&](CEPROPID id) {
        CCeDBProp sort;
        sort.SetPropId(id);
        if (db.Open(ZU_DB_APPOINTMENTS, &sort))
            return true;
        failed |= GetLastError() != ERROR_INVALID_PARAMETER;
        return false;
    };
    // A seek that finds nothing is no failure; one whose read failed is.
    auto sought = [&](BOOL found) {
        failed |= !found && db.ReadFailed();
        return found && !failed;
    };
    const auto outcome = [&] { return failed ? Ranged::Failed : Ranged::NoOrders; };
    auto flagged = [](CEPROPID id) {
        return [id](const CCeDBRecord& r) {
            const CCeDBProp* p = r.GetFullIdProp(id);
            return p && p->GetShort() == 1;
        };
    };

    // Recurring and lunar appointments, whatever their start; then the long ones.
    const CEPROPID recurring = MAKEPROPID(ZUID_APT_RECURRING, CEVT_I2);
    if (!sortedBy(recurring))
        return outcome();
    if (sought(db.SeekValueFirstEqual(CCeDBProp(short(1), ZUID_APT_RECURRING))))
        walk(flagged(recurring));
    const CEPROPID lunar = MAKEPROPID(ZUID_APT_LUNAR, CEVT_I2);
    if (failed || !sortedBy(lunar))
        return outcome();
    if (sought(db.SeekValueFirstEqual(CCeDBProp(short(1), ZUID_APT_LUNAR))))
        walk(flagged(lunar));
    const CEPROPID duration = MAKEPROPID(ZUID_APT_DURATION, CEVT_I4);
    if (failed || !sortedBy(duration))
        return outcome();
    if (sought(db.SeekValueGreaterOrEqual(CCeDBProp(kLongMinutes, ZUID_APT_DURATION))))
        walk([&](const CCeDBRecord& r) { return r.GetFullIdProp(duration) != nullptr; });

    // The rest start between the long limit before the range and its end. Stored starts are UTC;
    // a day on each side covers any zone's offset.
    const CEPROPID start = MAKEPROPID(ZUID_APT_START, CEVT_FILETIME);
    if (failed || !sortedBy(start))
        return outcome();
    const ULONGLONG before = kLongMinutes * kMinute + kDay;
    const ULONGLONG to = rangeEnd + kDay;
    if (sought(db.SeekValueGreaterOrEqual(CCeDBProp(fromTicks(rangeStart > before ? rangeStart - before : 0), ZUID_APT_START))))
        walk([&](const CCeDBRecord& r) {
            const CCeDBProp* p = r.GetFullIdProp(start);
            return p && ticks(p->GetFiletime()) <= to;
        });
    if (failed)
        return Ranged::Failed;
    // In object id order, as a read of every record gives them: items that tie keep that order.
    std::sort(records.appointments.begin(), records.appointments.end(),
        [](const CRecordCache::Appointment& a, const CRecordCache::Appointment& b) { return a.oid < b.oid; });
    return Ranged::Read;
}

bool readContacts(Records& records, CCeDBDatabase& db)
{
    std::vector<CRecordCache::ContactDay> days;
    std::vector<std::vector<BYTE>> categories;
    std::vector<size_t> owner;  // contact of each day, fixed up once the vector stops growing
    const bool read = ZuForEachRecord(db, [&](const CCeDBRecord& record) {
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
            CRecordCache::ContactDay day;
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
    records.contactCategories = std::move(categories);
    for (size_t i = 0; i < days.size(); ++i)
        days[i].categories = &records.contactCategories[owner[i]];
    records.contactDays = std::move(days);
    return read;
}

bool readTasks(Records& records, CCeDBDatabase& db)
{
    return ZuForEachRecord(db, [&records](CCeDBRecord& record) {
        CRecordCache::Task t;
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
        records.tasks.push_back(std::move(t));
    });
}

// Contacts' days and tasks: what a load reads whatever its range. False when a read failed.
bool readUndated(Records& records)
{
    CCeDBDatabase db;
    return db.Open(ZU_DB_CONTACTS) && readContacts(records, db) && db.Open(ZU_DB_TASKS) && readTasks(records, db);
}

// The last error as the failure of a load.
CString failureText()
{
    return ZuLastErrorText();
}

}  // namespace

void CRecordCache::Invalidate()
{
    m_valid = false;
    m_rangeStamp = 0;
}

void CRecordCache::Prepare()
{
    const ZuStoreSnapshot snapshot;
    const ULONGLONG stamp = ZuStoreChangeStamp();
    if (!snapshot.ok() || stamp == 0 || (m_valid && stamp == m_stamp))
        return;
    m_prepared = std::make_unique<Records>();
    if (!readUndated(*m_prepared)) {
        m_prepared.reset();  // the load itself reads them again and reports the failure
        return;
    }
    m_preparedStamp = stamp;
    m_preparedPath = ZuDataFile("pim.db");
}

bool CRecordCache::Refresh(FILETIME rangeStart, FILETIME rangeEnd)
{
    m_failure.Empty();
    const std::string path = ZuDataFile("pim.db");
    // Every database below is read in this one snapshot, the stamp with them.
    const ZuStoreSnapshot snapshot;
    if (!snapshot.ok())
        return fail();
    const ULONGLONG stamp = ZuStoreChangeStamp();
    if (m_valid && path == m_path && stamp == m_stamp && stamp != 0)
        return true;
    Records records;
    // The first read after a change takes only the appointments its range can show, so the
    // calendar's first page (and a command's one answer) come without reading them all; a second
    // read on the same data takes every one and keeps them.
    bool ranged = false;
    if (stamp != 0 && (stamp != m_rangeStamp || path != m_path)) {
        const Ranged read = readAppointmentsFor(records, ticks(rangeStart), ticks(rangeEnd));
        if (read == Ranged::Failed)
            return fail();
        ranged = read == Ranged::Read;
        if (!ranged)
            records.appointments.clear();
    }
    CCeDBDatabase db;
    if (!ranged && !(db.Open(ZU_DB_APPOINTMENTS) && readAppointments(records, db)))
        return fail();
    if (m_prepared && m_preparedStamp == stamp && m_preparedPath == path) {
        // Moving the vectors keeps their elements, so the days still point at their categories.
        records.contactCategories = std::move(m_prepared->contactCategories);
        records.contactDays = std::move(m_prepared->contactDays);
        records.tasks = std::move(m_prepared->tasks);
    } else if (!readUndated(records)) {
        return fail();
    }
    m_prepared.reset();
    db.Close();
    m_records = std::move(records);
    m_path = path;
    m_stamp = stamp;
    m_valid = !ranged;
    m_rangeStamp = ranged ? stamp : 0;
    ++m_storeReads;
    return true;
}

bool CRecordCache::fail()
{
    m_failure = failureText();
    if (m_failure.IsEmpty())
        m_failure = L"the store cannot be read";
    m_prepared.reset();
    m_valid = false;
    m_rangeStamp = 0;
    ++m_storeReads;
    return false;
}
