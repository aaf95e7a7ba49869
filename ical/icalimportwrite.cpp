#include "icalimport_p.h"

#include "cedbdatabase.h"
#include "oledatetime.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"
#include "taskrecord.h"

#include <memory>

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

// The memorial and lunar marks, written into the saved record as the event editor does.
bool setMemorialDay(CEOID oid, bool memorial, bool lunar)
{
    CCeDBDatabase db;
    if (!oid || !GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS))
        return false;
    CCeDBProp props[] = {CCeDBProp(short(memorial ? 1 : 0), ZUID_APT_MEMORIAL), CCeDBProp(short(lunar ? 1 : 0), ZUID_APT_LUNAR)};
    CEPROPVAL values[] = {props[0].AsPropVal(), props[1].AsPropVal()};
    return db.WriteProps(oid, values, 2) != 0;
}

bool saveEvent(CPoomApplication& app, const PlannedEvent& e, Ticks start, bool single)
{
    std::unique_ptr<CPoomAppointment> item;
    if (app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item) != S_OK)
        return false;
    item->put_Subject(e.subject.c_str());
    item->put_Location(e.location.c_str());
    if (!e.categories.empty())
        item->put_Categories(joinedNames(e.categories).c_str());
    if (item->put_Start(COleDateTime(filetimeOf(start)).m_dt) != S_OK || item->put_Duration(e.minutes) != S_OK)
        return false;
    item->put_AllDayEvent(e.allDay ? 1 : 0);
    item->put_BusyStatus(e.busy);
    item->put_Sensitivity(e.isPrivate ? ZU_OL_PRIVATE : ZU_OL_NORMAL);
    item->put_ReminderSet(e.reminder ? 1 : 0);
    item->put_ReminderMinutesBeforeStart(e.reminder ? e.lead : 0);
    item->put_ReminderSoundFile(ZU_TASK_REMINDER_SOUND);
    item->put_ReminderOptions(ZU_TASK_REMINDER_OPTIONS);
    CPoomRecipients* recipients = nullptr;
    if (!e.attendees.empty() && item->get_Recipients(&recipients) == S_OK) {
        for (const auto& [name, address] : e.attendees) {
            CPoomRecipient* recipient = nullptr;
            if (recipients->Add(name.c_str(), &recipient) == S_OK && recipient)
                recipient->put_Address(address.c_str());
        }
    }
    if (!single && (e.recurrence.kind == Recurrence::Pattern || e.recurrence.kind == Recurrence::Lunar)) {
        CRecurrencePattern* pattern = nullptr;
        if (item->GetRecurrencePattern(&pattern) != S_OK || !fillPattern(e.recurrence, *pattern))
            return false;
    }
    if (item->Save() != S_OK)
        return false;
    if (e.memorial || e.lunar) {
        CEOID oid = 0;
        item->get_Oid(&oid);
        return setMemorialDay(oid, e.memorial, e.lunar);
    }
    return true;
}

// The task with the task editor's property list (taskrecord.h).
bool writeTask(CCeDBDatabase& db, const PlannedTask& t, const std::map<std::wstring, int>& indexes)
{
    ZuTask task;
    for (const std::wstring& name : t.categories)
        ZuBitmapSet(task.categories, indexes.at(name));
    if (t.recurrence.kind == Recurrence::Pattern) {
        CRecurrencePattern p(ZU_SEL_TASKS);
        CEBLOB blob{};
        if (!fillPattern(t.recurrence, p) || !p.GetRecurPattern(&blob))
            return false;
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
    if (!db.WriteRecord(ZuTaskRecord(task), 0))
        return false;
    if (!task.categories.empty()) {
        const CEBLOB blob = ZuBlobOf(task.categories);
        return AddCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT) != 0;
    }
    return true;
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
    const size_t records = plan.records;
    FILE* progress = static_cast<int>(records) > kZuIcalProgressThreshold ? options.progress : nullptr;
    size_t written = 0;
    const auto step = [&] {
        if (progress && ++written % kProgressStep == 0) {
            std::fprintf(progress, "\rzupim import: %zu of %zu records written", written, records);
            std::fflush(progress);
        }
    };
    for (const PlannedItem& item : plan.items) {
        bool ok = true;
        if (item.task) {
            ok = writeTask(tasks, item.todo, indexes);
            result.tasks += ok;
            step();
        } else if (item.event.recurrence.kind == Recurrence::Expand) {
            for (Ticks start : item.event.recurrence.starts) {
                if (!(ok = saveEvent(app, item.event, start, true)))
                    break;
                ++result.appointments;
                step();
            }
        } else {
            ok = saveEvent(app, item.event, item.event.start, false);
            result.appointments += ok;
            step();
        }
        if (!ok) {
            if (progress)
                std::fputc('\n', progress);
            result.error = "cannot write " + itemName(item) + lastError() + "; nothing was imported";
            result.appointments = result.tasks = result.categoriesAdded = 0;
            return false;
        }
        if (!item.task && item.event.recurrence.kind == Recurrence::Expand) {
            const Recurrence& r = item.event.recurrence;
            ++result.expanded;
            std::string text = std::to_string(r.starts.size()) + " occurrence" + (r.starts.size() == 1 ? "" : "s") + " from "
                + dayText(r.starts.front()) + " to " + dayText(r.starts.back());
            if (r.cut)
                text += " (earlier ones left out: at most 1000 are made)";
            result.expandedItems.push_back({item.uid, item.summary, text + "; " + r.reason});
        } else {
            ++result.imported;
        }
    }
    if (progress)
        std::fputc('\n', progress);
    if (!batch.Commit()) {
        result.error = "the store did not take the import" + lastError() + "; nothing was imported";
        result.appointments = result.tasks = result.categoriesAdded = 0;
        return false;
    }
    return true;
}
