#include "icalimport_p.h"

#include "cedbdatabase.h"
#include "icalexport.h"
#include "oledatetime.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"
#include "taskrecord.h"

#include <deque>
#include <memory>
#include <tuple>

using namespace zuical;

namespace {

constexpr int kProgressStep = 500;

// Finds or creates every named category; fills their indexes.
bool ensureCategories(const std::set<std::wstring>& names, std::map<std::wstring, int>& indexes, int& added, std::string& error)
{
    if (names.empty())
        return true;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES)) {
        error = "cannot open \"\\Categories Database\"" + lastError();
        return false;
    }
    std::set<int> used;
    std::map<std::wstring, std::pair<CEOID, bool>> existing;  // name -> record, in use
    CCeDBRecord record;
    if (db.SeekFirst()) {
        while (!db.IsEOF()) {
            const CEOID before = db.GetCurrentOid();
            if (!db.ReadCurrRecord(&record)) {
                if (db.GetCurrentOid() == before)
                    break;
                continue;
            }
            const CCeDBProp* name = record.GetIdProp(ZUID_CAT_NAME);
            const CCeDBProp* index = record.GetIdProp(ZUID_CAT_INDEX);
            const CCeDBProp* inUse = record.GetIdProp(ZUID_CAT_IN_USE);
            if (!index)
                continue;
            used.insert(index->GetShort());
            if (name && name->GetType() == CEVT_LPWSTR && !existing.count(name->GetString())) {
                existing[name->GetString()] = {record.GetOid(), inUse && inUse->GetShort() == 1};
                indexes[name->GetString()] = index->GetShort();
            }
        }
    }
    int next = 0;
    for (const std::wstring& name : names) {
        if (auto it = existing.find(name); it != existing.end()) {
            if (!it->second.second) {
                CCeDBProp inUse(short(1), ZUID_CAT_IN_USE);
                CEPROPVAL value = inUse.AsPropVal();
                if (!db.WriteProps(it->second.first, &value, 1)) {
                    error = "cannot write the category \"" + utf8(name) + "\"" + lastError();
                    return false;
                }
            }
            continue;
        }
        while (used.count(next))
            ++next;
        if (next > 32767) {
            error = "no free category index is left";
            return false;
        }
        const CCeDBProp props[] = {
            CCeDBProp(name.c_str(), ZUID_CAT_NAME),
            CCeDBProp(short(next), ZUID_CAT_INDEX),
            CCeDBProp(short(1), ZUID_CAT_IN_USE),
            CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT),
            CCeDBProp(short(0), ZUID_CAT_APT_COUNT),
            CCeDBProp(short(0), ZUID_CAT_TASK_COUNT),
        };
        CCeDBRecord fresh;
        fresh.AddProps(props, static_cast<WORD>(std::size(props)));
        if (!db.WriteRecord(fresh, 0)) {
            error = "cannot write the category \"" + utf8(name) + "\"" + lastError();
            return false;
        }
        used.insert(next);
        indexes[name] = next;
        ++added;
    }
    return true;
}

std::wstring joinedNames(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names) {
        if (!text.empty())
            text += L", ";
        text += name;
    }
    return text;
}

// ---- The records already in the store ------------------------------------------------------------

// A record that an item of the file may stand for.
struct Stored {
    CEOID oid = 0;
    bool task = false;
    bool own = false;  // made in the suite: matched by the UID its export gives it
    std::optional<Ticks> occurrence;
    bool memorial = false, lunar = false, hasMarks = false;
    bool claimed = false;
};

struct StoreIndex {
    std::vector<Stored> records;
    std::map<std::pair<bool, std::string>, std::vector<size_t>> byUid;  // (task, UID) -> records
    // (task, UID, occurrence or 0) -> records, in store order
    std::map<std::tuple<bool, std::string, Ticks>, std::vector<size_t>> byKey;

    void add(Stored s, const std::string& uid)
    {
        byUid[{s.task, uid}].push_back(records.size());
        byKey[{s.task, uid, s.occurrence.value_or(0)}].push_back(records.size());
        records.push_back(std::move(s));
    }

    // The first unclaimed record of that UID and occurrence, claimed; null when none.
    Stored* claim(bool task, const std::string& uid, std::optional<Ticks> occurrence)
    {
        if (uid.empty())
            return nullptr;
        const auto it = byKey.find({task, uid, occurrence.value_or(0)});
        if (it == byKey.end())
            return nullptr;
        for (size_t i : it->second) {
            Stored& s = records[i];
            if (!s.claimed) {
                s.claimed = true;
                return &s;
            }
        }
        return nullptr;
    }
};

template <typename Each>
void forEachRecord(CCeDBDatabase& db, Each each)
{
    CCeDBRecord record;
    if (!db.SeekFirst())
        return;
    while (!db.IsEOF()) {
        const CEOID before = db.GetCurrentOid();
        if (db.ReadCurrRecord(&record))
            each(record);
        else if (db.GetCurrentOid() == before)
            break;
    }
}

// Every appointment and task of the store with the UID it answers to.
void indexStore(StoreIndex& index, CCeDBDatabase& tasks)
{
    const std::string storeId = ZuIcalKnownStoreId();
    const auto add = [&](const CCeDBRecord& record, bool task) {
        Stored s;
        s.oid = record.GetOid();
        s.task = task;
        std::string uid;
        if (const CCeDBProp* p = record.GetFullIdProp(task ? ZUPID_TASK_UID : ZUPID_APT_UID))
            uid = utf8(p->GetString());
        if (uid.empty()) {
            if (storeId.empty())
                return;
            uid = std::string(task ? "zupims-t" : "zupims-a") + std::to_string(s.oid) + "-" + storeId;
            s.own = true;
        }
        if (!task) {
            if (const CCeDBProp* p = record.GetFullIdProp(ZUPID_APT_UID_OCCURRENCE); p && !s.own)
                s.occurrence = ticksOf(p->GetFiletime());
            s.hasMarks = record.GetIdProp(ZUID_APT_MEMORIAL) || record.GetIdProp(ZUID_APT_LUNAR);
            s.memorial = ZuRecordInt(record, ZUID_APT_MEMORIAL) == 1;
            s.lunar = ZuRecordInt(record, ZUID_APT_LUNAR) == 1;
        }
        index.add(std::move(s), uid);
    };
    CCeDBDatabase db;
    if (GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS))
        forEachRecord(db, [&](const CCeDBRecord& r) { add(r, false); });
    forEachRecord(tasks, [&](const CCeDBRecord& r) { add(r, true); });
}

// ---- Appointments ---------------------------------------------------------------------------------

// What the importer writes into an appointment besides the object model's values: the memorial
// and lunar marks (written after the save, as the event editor does) and the UID with the
// occurrence it stands for (saved with the item).
struct Marks {
    bool memorial = false, lunar = false;
    std::string uid;  // empty: none is written
    std::optional<Ticks> occurrence;
};

bool writeMarks(CEOID oid, const Marks& m)
{
    CCeDBDatabase db;
    if (!oid || !GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS))
        return false;
    CCeDBProp props[] = {CCeDBProp(short(m.memorial ? 1 : 0), ZUID_APT_MEMORIAL), CCeDBProp(short(m.lunar ? 1 : 0), ZUID_APT_LUNAR)};
    CEPROPVAL values[] = {props[0].AsPropVal(), props[1].AsPropVal()};
    return db.WriteProps(oid, values, 2) != 0;
}

// Puts the planned values into the item (a new one, or one loaded from its record).
bool fillEvent(CPoomAppointment& item, const PlannedEvent& e, Ticks start, bool single, bool existing)
{
    item.put_Subject(e.subject.c_str());
    item.put_Location(e.location.c_str());
    item.put_Categories(joinedNames(e.categories).c_str());
    if (item.put_Start(COleDateTime(filetimeOf(start)).m_dt) != S_OK || item.put_Duration(e.minutes) != S_OK)
        return false;
    item.put_AllDayEvent(e.allDay ? 1 : 0);
    item.put_BusyStatus(e.busy);
    item.put_Sensitivity(e.isPrivate ? ZU_OL_PRIVATE : ZU_OL_NORMAL);
    // An unset reminder keeps the lead a record of its own has (the editor's default).
    long wasSet = 0;
    const bool keepLead = !e.reminder && existing && item.get_ReminderSet(&wasSet) == S_OK && !wasSet;
    item.put_ReminderSet(e.reminder ? 1 : 0);
    if (!keepLead)
        item.put_ReminderMinutesBeforeStart(e.reminder ? e.lead : 0);
    item.put_ReminderSoundFile(ZU_TASK_REMINDER_SOUND);
    item.put_ReminderOptions(ZU_TASK_REMINDER_OPTIONS);
    CPoomRecipients* recipients = nullptr;
    if (item.get_Recipients(&recipients) == S_OK) {
        long count = 0;
        recipients->get_Count(&count);
        for (; count > 0; --count)
            recipients->Remove(count);
        for (const auto& [name, address] : e.attendees) {
            CPoomRecipient* recipient = nullptr;
            if (recipients->Add(name.c_str(), &recipient) == S_OK && recipient)
                recipient->put_Address(address.c_str());
        }
    }
    item.ClearRecurrencePattern();
    if (!single && (e.recurrence.kind == Recurrence::Pattern || e.recurrence.kind == Recurrence::Lunar)) {
        CRecurrencePattern* pattern = nullptr;
        if (item.GetRecurrencePattern(&pattern) != S_OK || !fillPattern(e.recurrence, *pattern))
            return false;
        item.put_SkippedDates(e.recurrence.skipped);
    } else {
        item.put_SkippedDates({});
    }
    return true;
}

enum class Outcome { Failed, Created, Updated, Unchanged };

// One appointment record of the plan: the matched record updated (or left as it is), else a new one.
Outcome saveEvent(CPoomApplication& app, const PlannedEvent& e, Ticks start, bool single, const Marks& marks, Stored* match)
{
    std::unique_ptr<CPoomAppointment> item;
    if (match) {
        if (app.GetItemFromOid(match->oid, &item) != S_OK || !fillEvent(*item, e, start, single, true))
            return Outcome::Failed;
    } else if (app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item) != S_OK || !fillEvent(*item, e, start, single, false)) {
        return Outcome::Failed;
    }
    // A record of the suite keeps the UID its export makes.
    if (!marks.uid.empty() && !(match && match->own)) {
        const std::wstring uid = wide(marks.uid.c_str());
        const FILETIME occurrence = filetimeOf(marks.occurrence.value_or(0));
        item->put_ImportUid(uid.c_str(), marks.occurrence ? &occurrence : nullptr);
    }
    if (match && match->memorial == marks.memorial && match->lunar == marks.lunar && item->MatchesRecord())
        return Outcome::Unchanged;
    if (item->Save() != S_OK)
        return Outcome::Failed;
    CEOID oid = 0;
    item->get_Oid(&oid);
    if ((marks.memorial || marks.lunar || (match && match->hasMarks)) && !writeMarks(oid, marks))
        return Outcome::Failed;
    return match ? Outcome::Updated : Outcome::Created;
}

// ---- Tasks --------------------------------------------------------------------------------------

// The task properties an import manages; the reminder, which the import never sets, and the note
// stay as the record has them.
bool importManaged(CEPROPID id)
{
    switch (PROPID_IDENT(id)) {
    case ZUID_TASK_NOTIFY:
    case ZUID_TASK_REMINDER_FLAG:
    case ZUID_TASK_RESERVED:
    case ZUID_TASK_REMINDER_MINUTES:
    case ZUID_TASK_REMINDER_SET:
    case ZUID_TASK_REMINDER_SOUND:
    case ZUID_TASK_REMINDER_OPTIONS:
        return false;
    default:
        return true;
    }
}

bool sameValue(const CCeDBProp& a, const CCeDBProp& b)
{
    return a.GetPropId() == b.GetPropId() && a.rawInt() == b.rawInt() && a.rawString() == b.rawString()
        && a.rawBytes() == b.rawBytes();
}

// The task with the task editor's property list (taskrecord.h): a new record, or the matched one
// updated in place (or left as it is).
Outcome writeTask(CCeDBDatabase& db, const PlannedTask& t, const std::map<std::wstring, int>& indexes,
    const std::string& uid, Stored* match)
{
    ZuTask task;
    for (const std::wstring& name : t.categories)
        ZuBitmapSet(task.categories, indexes.at(name));
    if (t.recurrence.kind == Recurrence::Pattern) {
        CRecurrencePattern p(ZU_SEL_TASKS);
        CEBLOB blob{};
        if (!fillPattern(t.recurrence, p) || !p.GetRecurPattern(&blob))
            return Outcome::Failed;
        task.recurrence.assign(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
    }
    task.subject = t.subject;
    if (t.start)
        task.start = filetimeOf(*t.start);
    if (t.due)
        task.due = filetimeOf(*t.due);
    task.importance = t.importance;
    task.percent = static_cast<short>(t.percent);
    task.complete = t.complete;
    task.completed = filetimeOf(t.completedUtc);
    task.isPrivate = t.isPrivate;
    if (!match) {
        CCeDBRecord record = ZuTaskRecord(task);
        const std::wstring text = wide(uid.c_str());
        if (!uid.empty()) {
            const CCeDBProp uidProp(text.c_str(), ZUID_TASK_UID);
            record.AddProp(&uidProp);
        }
        if (!db.WriteRecord(record, 0))
            return Outcome::Failed;
        if (!task.categories.empty()) {
            const CEBLOB blob = ZuBlobOf(task.categories);
            if (!AddCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT))
                return Outcome::Failed;
        }
        return Outcome::Created;
    }
    CCeDBRecord stored;
    if (!db.SeekToRecord(match->oid) || !db.ReadCurrRecord(&stored))
        return Outcome::Failed;
    // A file that does not say when the task was completed keeps the date the record has.
    if (const CCeDBProp* done = stored.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE); done && !t.completedGiven)
        task.completed = done->GetFiletime();
    const CCeDBRecord wanted = ZuTaskRecord(task);
    std::vector<CEPROPID> removed;
    for (CEPROPID id : {ZUPID_TASK_PROGRESS, ZUPID_TASK_COMPLETED_DATE, ZUPID_TASK_CATEGORIES, ZUPID_TASK_RECURRENCE})
        if (!wanted.GetFullIdProp(id) && stored.GetFullIdProp(id))
            removed.push_back(id);
    bool same = removed.empty();
    std::deque<CCeDBProp> props;
    for (const CCeDBProp& p : wanted.props()) {
        if (!importManaged(p.GetPropId()))
            continue;
        const CCeDBProp* old = stored.GetFullIdProp(p.GetPropId());
        // An integer property that is not there reads as 0.
        const bool absentZero = !old && p.GetType() != CEVT_LPWSTR && p.GetType() != CEVT_BLOB
            && p.GetType() != CEVT_FILETIME && p.rawInt() == 0;
        if (!absentZero && (!old || !sameValue(*old, p)))
            same = false;
        props.push_back(p);
    }
    if (same)
        return Outcome::Unchanged;
    std::vector<CEPROPVAL> values;
    for (CCeDBProp& p : props)
        values.push_back(p.AsPropVal());
    for (CEPROPID id : removed) {
        CEPROPVAL gone{};
        gone.propid = id;
        gone.wFlags = CEDB_PROPDELETE;
        values.push_back(gone);
    }
    if (!db.WriteProps(match->oid, values.data(), static_cast<WORD>(values.size())))
        return Outcome::Failed;
    // The counts follow the categories: the old ones released, the new ones added.
    const std::vector<BYTE> before = ZuRecordBytes(stored, ZUID_TASK_CATEGORIES);
    if (!before.empty()) {
        const CEBLOB blob = ZuBlobOf(before);
        ReleaseCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT);
    }
    if (!task.categories.empty()) {
        const CEBLOB blob = ZuBlobOf(task.categories);
        if (!AddCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT))
            return Outcome::Failed;
    }
    return Outcome::Updated;
}

std::string itemName(const PlannedItem& item)
{
    return (item.uid.empty() ? std::string("(no UID)") : item.uid) + " \"" + item.summary + "\"";
}

std::string dayText(Ticks t)
{
    const SYSTEMTIME s = fieldsOf(t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", s.wYear, s.wMonth, s.wDay);
    return text;
}

void count(ZuIcalImportResult& result, Outcome outcome, bool task)
{
    switch (outcome) {
    case Outcome::Created:
        ++result.created;
        break;
    case Outcome::Updated:
        ++result.updated;
        break;
    case Outcome::Unchanged:
        ++result.unchanged;
        return;
    case Outcome::Failed:
        return;
    }
    ++(task ? result.tasks : result.appointments);
}

}  // namespace

bool zuical::writePlan(const ImportPlan& plan, const ZuIcalImportOptions& options, ZuIcalImportResult& result)
{
    // One batch: every write below lands, or none does.
    ZuStoreBatch batch;
    if (!batch.ok()) {
        result.error = "the store cannot be opened for one transaction" + lastError();
        return false;
    }
    std::map<std::wstring, int> indexes;
    if (!ensureCategories(plan.categories, indexes, result.categoriesAdded, result.error))
        return false;
    CPoomApplication app;
    CCeDBDatabase tasks;
    if (app.Logon(0) != S_OK || !GetDatabasePtr(&tasks, ZU_SEL_TASKS)) {
        result.error = "cannot open the appointments and tasks" + lastError();
        return false;
    }
    StoreIndex stored;
    indexStore(stored, tasks);
    // UIDs whose whole the file gives, with the span each expansion kept (none: all of it).
    std::map<std::pair<bool, std::string>, std::optional<std::pair<Ticks, Ticks>>> whole;
    const size_t records = plan.records;
    FILE* progress = static_cast<int>(records) > kZuIcalProgressThreshold ? options.progress : nullptr;
    size_t written = 0;
    const auto step = [&] {
        if (progress && ++written % kProgressStep == 0) {
            std::fprintf(progress, "\rzupim import: %zu of %zu records written", written, records);
            std::fflush(progress);
        }
    };
    const auto fail = [&](const std::string& error) {
        if (progress)
            std::fputc('\n', progress);
        result.error = error + "; nothing was imported";
        result.appointments = result.tasks = result.categoriesAdded = 0;
        result.created = result.updated = result.unchanged = result.removed = 0;
        return false;
    };
    for (const PlannedItem& item : plan.items) {
        bool ok = true;
        const std::string& uid = item.uid;
        if (item.task) {
            const Outcome outcome = writeTask(tasks, item.todo, indexes, uid, stored.claim(true, uid, std::nullopt));
            ok = outcome != Outcome::Failed;
            count(result, outcome, true);
            if (!uid.empty())
                whole[{true, uid}];
            step();
        } else {
            const PlannedEvent& e = item.event;
            Marks marks{e.memorial, e.lunar, uid, item.occurrence};
            if (e.recurrence.kind == Recurrence::Expand) {
                for (Ticks start : e.recurrence.starts) {
                    marks.occurrence = start;
                    const Outcome outcome = saveEvent(app, e, start, true, marks, stored.claim(false, uid, start));
                    count(result, outcome, false);
                    if (!(ok = outcome != Outcome::Failed))
                        break;
                    step();
                }
                if (!uid.empty())
                    whole[{false, uid}] = std::make_pair(e.recurrence.starts.front(), e.recurrence.starts.back());
            } else {
                const Outcome outcome = saveEvent(app, e, e.start, false, marks, stored.claim(false, uid, item.occurrence));
                ok = outcome != Outcome::Failed;
                count(result, outcome, false);
                if (!uid.empty() && !item.occurrence)
                    whole[{false, uid}];
                step();
            }
        }
        if (!ok)
            return fail("cannot write " + itemName(item) + lastError());
        if (!item.task && item.event.recurrence.kind == Recurrence::Expand) {
            const Recurrence& r = item.event.recurrence;
            ++result.expanded;
            std::string text = std::to_string(r.starts.size()) + " occurrence" + (r.starts.size() == 1 ? "" : "s") + " from "
                + dayText(r.starts.front()) + " to " + dayText(r.starts.back());
            if (r.cut)
                text += " (the " + std::to_string(kMaxExpanded) + " nearest the import date of " + std::to_string(r.found) + ")";
            result.expandedItems.push_back({item.uid, item.summary, text + "; " + r.reason});
        } else {
            ++result.imported;
        }
    }
    // The records of a UID the file gives whole that it no longer gives.
    for (const auto& [key, span] : whole) {
        const auto it = stored.byUid.find(key);
        if (it == stored.byUid.end())
            continue;
        for (size_t i : it->second) {
            const Stored& s = stored.records[i];
            if (s.claimed || s.own)
                continue;
            if (span && s.occurrence && (*s.occurrence < span->first || *s.occurrence > span->second))
                continue;  // an occurrence of an expanded series outside the span the file kept
            CCeDBDatabase db;
            const int selector = s.task ? ZU_SEL_TASKS : ZU_SEL_APPOINTMENTS;
            if (!GetDatabasePtr(&db, selector) || !DeleteRecord(&db, s.oid, selector))
                return fail("cannot remove a record the file no longer gives" + lastError());
            ++result.removed;
        }
    }
    if (progress)
        std::fputc('\n', progress);
    if (!batch.Commit()) {
        result.error = "the store did not take the import" + lastError() + "; nothing was imported";
        result.appointments = result.tasks = result.categoriesAdded = 0;
        result.created = result.updated = result.unchanged = result.removed = 0;
        return false;
    }
    return true;
}
