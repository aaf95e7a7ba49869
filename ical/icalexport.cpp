#include "icalexport.h"

#include "attendees.h"
#include "cedbdatabase.h"
#include "dateargument.h"
#include "icalcommon.h"
#include "icalrecur.h"
#include "lasterror.h"
#include "lunar.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "registrykeys.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"
#include "registry.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zuical;

namespace {

const wchar_t* const kStoreIdValue = L"strStoreId";

bool storedTime(const CCeDBRecord& record, WORD ident, Ticks& out)
{
    const CCeDBProp* prop = record.GetIdProp(ident);
    if (!prop || prop->GetType() != CEVT_FILETIME)
        return false;
    out = ticksOf(prop->GetFiletime());
    return true;
}

// Every record that reads, from the first; false when a read of the store failed (then the
// records seen are not all there are, and nothing may be exported).
template <typename Each>
bool forEachRecord(CCeDBDatabase& db, Each each)
{
    CCeDBRecord record;
    if (!db.SeekFirst())
        return !db.ReadFailed() && GetLastError() == ERROR_NO_MORE_ITEMS;
    while (!db.IsEOF()) {
        const CEOID before = db.GetCurrentOid();
        if (db.ReadCurrRecord(&record))
            each(record);
        else if (db.ReadFailed() || db.GetCurrentOid() == before)
            break;
    }
    return !db.ReadFailed();
}

bool utcToLocal(Ticks utc, Ticks& local)
{
    const FILETIME u = filetimeOf(utc);
    FILETIME l{};
    if (!FileTimeToLocalFileTime(&u, &l))
        return false;
    local = ticksOf(l);
    return true;
}

// A lunar date (with a time of day) -> the solar wall-clock time.
bool solarOf(Ticks lunar, Ticks& solar)
{
    const SYSTEMTIME s = fieldsOf(lunar);
    int y = 0, m = 0, d = 0;
    if (!ZuMoonToSun(s.wYear, s.wMonth, s.wDay, false, &y, &m, &d) || !wallTicks(y, m, d, 0, 0, 0, solar))
        return false;
    solar += lunar % kDay;
    return true;
}

// ---- What is exported ---------------------------------------------------------------------------

struct Appointment {
    CEOID oid = 0;
    std::wstring subject, location;
    std::vector<BYTE> categories, attendees;
    Ticks start = 0;  // local (solar) start; for a recurring one its first occurrence
    long minutes = 0;
    bool allDay = false;
    bool isPrivate = false;
    bool memorial = false;
    bool lunar = false;
    int lunarMonth = 0, lunarDay = 0;
    long busy = 2;
    bool reminder = false;
    long lead = 0;
    std::optional<CRecurrencePattern> pattern;
    ExportRule rule;
    ZuSkippedDates skipped;           // the pattern's dates that do not happen
    std::string uid;                  // the UID it was imported under (empty: made here)
    std::optional<Ticks> occurrence;  // with uid: the occurrence of it this record stands for
};

struct Task {
    CEOID oid = 0;
    std::wstring subject;
    std::vector<BYTE> categories;
    std::optional<Ticks> start, due;  // wall clock
    int importance = 2;
    int percent = 0;
    bool complete = false;
    std::optional<Ticks> completedUtc;
    bool isPrivate = false;
    std::optional<CRecurrencePattern> pattern;
    ExportRule rule;
    std::string uid;  // the UID it was imported under (empty: made here)
};

// Reads an appointment record; false (with the reason) when it cannot be exported.
bool readAppointment(const CCeDBRecord& record, Appointment& a, std::string& problem)
{
    a.oid = record.GetOid();
    a.subject = ZuRecordString(record, ZUID_APT_SUBJECT).str();
    a.location = ZuRecordString(record, ZUID_APT_LOCATION).str();
    a.categories = ZuRecordBytes(record, ZUID_APT_CATEGORIES);
    a.attendees = ZuRecordBytes(record, ZUID_APT_ATTENDEES);
    a.minutes = static_cast<long>(std::max<long long>(ZuRecordInt(record, ZUID_APT_DURATION), 0));
    a.allDay = ZuRecordInt(record, ZUID_APT_TYPE) == ZU_APT_ALLDAY;
    a.isPrivate = ZuRecordInt(record, ZUID_APT_PRIVATE) == 1;
    a.memorial = ZuRecordInt(record, ZUID_APT_MEMORIAL) == 1;
    a.lunar = ZuRecordInt(record, ZUID_APT_LUNAR) == 1;
    a.busy = static_cast<long>(std::clamp<long long>(ZuRecordInt(record, ZUID_APT_BUSYSTATUS), 0, 3));
    a.reminder = ZuRecordInt(record, ZUID_APT_REMINDER_SET) != 0;
    a.lead = static_cast<long>(std::max<long long>(ZuRecordInt(record, ZUID_APT_REMINDER_MINUTES), 0));
    if (const CCeDBProp* uid = record.GetFullIdProp(ZUPID_APT_UID)) {
        a.uid = utf8(uid->GetString());
        if (const CCeDBProp* occurrence = record.GetFullIdProp(ZUPID_APT_UID_OCCURRENCE); occurrence && !a.uid.empty())
            a.occurrence = ticksOf(occurrence->GetFiletime());
    }
    if (ZuRecordInt(record, ZUID_APT_RECURRING) == 1) {
        a.skipped = ZuSkippedDatesFromBytes(ZuRecordBytes(record, ZUID_APT_SKIPPED_DATES));
        const std::vector<BYTE> bytes = ZuRecordBytes(record, ZUID_APT_RECURRENCE);
        a.pattern.emplace(ZuBlobOf(bytes), 1u, 1u);
        if (!a.pattern->IsValid()) {
            problem = "its recurrence pattern does not read";
            return false;
        }
        a.rule = ruleOfPattern(*a.pattern, a.lunar);
        if (!a.rule.ok) {
            problem = a.rule.problem;
            return false;
        }
        // Time of day and length as the calendar takes them: from the pattern.
        long startTime = 0, duration = 0;
        a.pattern->get_StartTime(&startTime);
        a.pattern->get_Duration(&duration);
        a.minutes = std::max<long>(duration, 0);
        a.start = a.rule.first + static_cast<Ticks>(std::clamp<long>(startTime, 0, 1439)) * kMinute;
        if (a.lunar) {
            long month = 0, day = 0;
            a.pattern->get_MonthOfYear(&month);
            a.pattern->get_DayOfMonth(&day);
            a.lunarMonth = static_cast<int>(month);
            a.lunarDay = static_cast<int>(day);
        }
        return true;
    }
    Ticks utc = 0, local = 0;
    if (!storedTime(record, ZUID_APT_START, utc) || !utcToLocal(utc, local)) {
        problem = "it has no start";
        return false;
    }
    if (a.lunar) {
        const SYSTEMTIME s = fieldsOf(local);
        a.lunarMonth = s.wMonth;
        a.lunarDay = s.wDay;
        if (!solarOf(local, a.start)) {
            problem = "its lunar date lies outside the lunar table";
            return false;
        }
    } else {
        a.start = local;
    }
    return true;
}

bool readTask(const CCeDBRecord& record, Task& t, std::string& problem)
{
    t.oid = record.GetOid();
    t.subject = ZuRecordString(record, ZUID_TASK_SUBJECT).str();
    if (const CCeDBProp* uid = record.GetFullIdProp(ZUPID_TASK_UID))
        t.uid = utf8(uid->GetString());
    t.categories = ZuRecordBytes(record, ZUID_TASK_CATEGORIES);
    t.importance = static_cast<int>(ZuRecordInt(record, ZUID_TASK_IMPORTANCE));
    t.isPrivate = ZuRecordInt(record, ZUID_TASK_PRIVATE) == 1;
    const CCeDBProp* complete = record.GetFullIdProp(ZUPID_TASK_COMPLETE);
    t.complete = complete && complete->GetShort() == 1;
    t.percent = GetDBStatusPercent(const_cast<CCeDBRecord*>(&record));
    if (const CCeDBProp* done = record.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE))
        t.completedUtc = ticksOf(done->GetFiletime());
    Ticks start = 0, due = 0;
    if (storedTime(record, ZUID_TASK_START, start) && !ZuIsNoDate(filetimeOf(start)))
        t.start = start;
    if (storedTime(record, ZUID_TASK_DUE, due) && !ZuIsNoDate(filetimeOf(due)))
        t.due = due;
    if (ZuRecordInt(record, ZUID_TASK_RECURRING) == 1) {
        const std::vector<BYTE> bytes = ZuRecordBytes(record, ZUID_TASK_RECURRENCE);
        t.pattern.emplace(ZuBlobOf(bytes), 1u, static_cast<UINT>(ZU_SEL_TASKS));
        if (!t.pattern->IsValid()) {
            problem = "its recurrence pattern does not read";
            return false;
        }
        t.rule = ruleOfPattern(*t.pattern, false);
        if (!t.rule.ok) {
            problem = t.rule.problem;
            return false;
        }
        // The calendar places each occurrence on the pattern's dates, as long as the task lasts.
        const Ticks length = t.start && t.due && *t.due > *t.start ? *t.due - *t.start : 0;
        if (t.start) {
            t.start = t.rule.first;
            if (t.due)
                t.due = t.rule.first + length;
        } else {
            t.due = t.rule.first;
        }
    }
    return true;
}

// ---- The range ----------------------------------------------------------------------------------

struct Range {
    Ticks from = 0;  // local, first tick of the first day
    Ticks to = 0;    // local, last tick of the last day
};

bool appointmentInRange(Appointment& a, const Range& r)
{
    const Ticks length = static_cast<Ticks>(a.minutes) * kMinute;
    const auto touches = [&](Ticks start) { return start <= r.to && start + length > r.from; };
    if (!a.pattern)
        return touches(a.start);
    const Ticks offset = a.start % kDay;
    FILETIME date{};
    if (!a.lunar) {
        const Ticks from = r.from > offset + length ? r.from - offset - length : 0;
        if (!a.pattern->SeekRecurTimeFrom(&date, filetimeOf(from)))
            return false;
        do {
            const Ticks start = ticksOf(date) + offset;
            if (start > r.to)
                return false;
            if (touches(start) && !ZuIsSkippedDate(a.skipped, ticksOf(date)))
                return true;
        } while (a.pattern->SeekNextRecurTime(&date));
        return false;
    }
    // Lunar dates: walk from a lunar year before the range until the solar dates pass it.
    const SYSTEMTIME s = fieldsOf(r.from);
    Ticks from = 0;
    if (!wallTicks(std::max(s.wYear - 1, 1601), s.wMonth, std::min<int>(s.wDay, 28), 0, 0, 0, from)
        || !a.pattern->SeekRecurTimeFrom(&date, filetimeOf(from)))
        return false;
    for (int steps = 0; steps < 400; ++steps) {
        Ticks solar = 0;
        if (solarOf(ticksOf(date) + offset, solar)) {
            if (solar > r.to)
                return false;
            if (touches(solar) && !ZuIsSkippedDate(a.skipped, ticksOf(date)))
                return true;
        }
        if (!a.pattern->SeekNextRecurTime(&date))
            return false;
    }
    return false;
}

bool taskInRange(Task& t, const Range& r)
{
    const auto shown = [&](std::optional<Ticks> start, std::optional<Ticks> due) {
        if (start)
            return *start <= r.to && (!due || *due >= r.from);
        return !due || (*due >= r.from && *due <= r.to);
    };
    if (!t.pattern)
        return shown(t.start, t.due);
    const Ticks length = t.start && t.due && *t.due > *t.start ? *t.due - *t.start : 0;
    FILETIME date{};
    if (!t.pattern->SeekRecurTimeFrom(&date, filetimeOf(r.from > length ? r.from - length : 0)))
        return false;
    do {
        const Ticks d = ticksOf(date);
        if (d > r.to)
            return false;
        if (t.start ? shown(d, d + length) : shown(std::nullopt, d))
            return true;
    } while (t.pattern->SeekNextRecurTime(&date));
    return false;
}

// ---- Writing ------------------------------------------------------------------------------------

// How timed values are written.
struct TimeStyle {
    enum Mode { Named, Utc, Floating } mode = Floating;
    std::string zone;

    icalproperty* make(icalproperty* (*create)(icaltimetype), Ticks local, bool date) const
    {
        if (date || mode == Floating)
            return create(fromLocal(local, date));
        if (mode == Utc) {
            Ticks utc = local;
            localToUtc(local, utc);
            icaltimetype t = fromLocal(utc, false);
            t.zone = icaltimezone_get_utc_timezone();
            return create(t);
        }
        icalproperty* p = create(fromLocal(local, false));
        icalproperty_add_parameter(p, icalparameter_new_tzid(zone.c_str()));
        return p;
    }

    // UNTIL: a DATE for date values, UTC beside a zoned or UTC start, else floating.
    icaltimetype until(Ticks local, bool date) const
    {
        if (date || mode == Floating)
            return fromLocal(local, date);
        Ticks utc = local;
        localToUtc(local, utc);
        icaltimetype t = fromLocal(utc, false);
        t.zone = icaltimezone_get_utc_timezone();
        return t;
    }
};

std::string categoryList(const std::vector<BYTE>& bitmap, const std::map<int, std::wstring>& names)
{
    std::string text;
    const CEBLOB blob = ZuBlobOf(bitmap);
    for (const auto& [index, name] : names) {
        if (!ZuBitmapHas(&blob, index))
            continue;
        std::wstring clean = name;
        std::replace(clean.begin(), clean.end(), L',', L'\xFF0C');
        if (!text.empty())
            text += ',';
        text += utf8(clean);
    }
    return text;
}

void addText(icalcomponent* c, icalproperty* p)
{
    icalcomponent_add_property(c, p);
}

void addX(icalcomponent* c, const char* name, const std::string& value)
{
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

void addRule(icalcomponent* c, ExportRule rule, const TimeStyle& style, Ticks startOfDay, bool date)
{
    if (rule.hasEnd) {
        if (rule.useCount)
            rule.rule.count = static_cast<int>(rule.count);
        else
            rule.rule.until = style.until(rule.last + (date ? 0 : startOfDay), date);
    }
    icalcomponent_add_property(c, icalproperty_new_rrule(rule.rule));
}

icalcomponent* eventOf(const Appointment& a, const std::string& uid, const TimeStyle& style, const icaltimetype& stamp,
    const std::map<int, std::wstring>& names, const std::set<Ticks>& replaced)
{
    icalcomponent* ev = icalcomponent_new_vevent();
    addText(ev, icalproperty_new_uid(uid.c_str()));
    addText(ev, icalproperty_new_dtstamp(stamp));
    addText(ev, icalproperty_new_summary(utf8(a.subject).c_str()));
    if (!a.location.empty())
        addText(ev, icalproperty_new_location(utf8(a.location).c_str()));
    // All-day appointments that fill whole days are DATE values; any other keeps its times.
    const bool dates = a.allDay && a.start % kDay == 0 && a.minutes > 0 && a.minutes % 1440 == 0;
    addText(ev, style.make(icalproperty_new_dtstart, a.start, dates));
    if (a.minutes > 0)
        addText(ev, style.make(icalproperty_new_dtend, a.start + static_cast<Ticks>(a.minutes) * kMinute, dates));
    if (a.allDay && !dates)
        addX(ev, "X-MICROSOFT-CDO-ALLDAYEVENT", "TRUE");
    if (a.occurrence)
        addText(ev, style.make(icalproperty_new_recurrenceid, *a.occurrence, dates));
    if (a.pattern) {
        addRule(ev, a.rule, style, a.start % kDay, dates);
        // Skipped dates, save those a record of the UID's own occurrence stands in for (its
        // RECURRENCE-ID takes the date out on import again).
        for (Ticks date : a.skipped) {
            Ticks solar = date;
            if (a.lunar && !solarOf(date, solar))
                continue;
            if (!replaced.count(solar))
                addText(ev, style.make(icalproperty_new_exdate, solar + (dates ? 0 : a.start % kDay), dates));
        }
    }
    if (a.lunar) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d-%02d", a.lunarMonth % 100, a.lunarDay % 100);
        addX(ev, "X-ZUPIMS-LUNAR", text);
    }
    if (a.memorial || a.lunar)
        addX(ev, "X-ZUPIMS-MEMORIAL", a.memorial ? "1" : "0");
    if (const std::string list = categoryList(a.categories, names); !list.empty())
        addText(ev, icalproperty_new_categories(list.c_str()));
    if (a.isPrivate)
        addText(ev, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    addText(ev, icalproperty_new_transp(a.busy == 0 ? ICAL_TRANSP_TRANSPARENT : ICAL_TRANSP_OPAQUE));
    if (a.busy == 1)
        addText(ev, icalproperty_new_status(ICAL_STATUS_TENTATIVE));
    static const char* const kBusy[] = {"FREE", "TENTATIVE", "BUSY", "OOF"};
    addX(ev, "X-MICROSOFT-CDO-BUSYSTATUS", kBusy[a.busy]);
    if (!a.attendees.empty()) {
        const CAttendees list(ZuBlobOf(a.attendees));
        for (int i = 0; i < list.GetSize(); ++i) {
            const _ATTENDEE entry = list[i];
            icalproperty* p = icalproperty_new_attendee(("mailto:" + utf8(entry.strAddress.str())).c_str());
            if (!entry.strName.IsEmpty())
                icalproperty_add_parameter(p, icalparameter_new_cn(utf8(entry.strName.str()).c_str()));
            addText(ev, p);
        }
    }
    if (a.reminder) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        addText(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        addText(alarm, icalproperty_new_description(utf8(a.subject).c_str()));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(-static_cast<int>(std::min<long>(a.lead, 0x7FFFFFFF / 60)) * 60);
        addText(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_component(ev, alarm);
    }
    return ev;
}

icalcomponent* todoOf(const Task& t, const std::string& uid, const icaltimetype& stamp, const std::map<int, std::wstring>& names)
{
    icalcomponent* todo = icalcomponent_new_vtodo();
    addText(todo, icalproperty_new_uid(uid.c_str()));
    addText(todo, icalproperty_new_dtstamp(stamp));
    addText(todo, icalproperty_new_summary(utf8(t.subject).c_str()));
    // Task dates are wall-clock values: DATE when they fall on midnight, else floating.
    const TimeStyle floating;
    if (t.start)
        addText(todo, floating.make(icalproperty_new_dtstart, *t.start, *t.start % kDay == 0));
    if (t.due)
        addText(todo, floating.make(icalproperty_new_due, *t.due, *t.due % kDay == 0));
    if (t.pattern)
        addRule(todo, t.rule, floating, 0, true);
    static const int kPriority[] = {0, 1, 5, 9};
    if (t.importance >= 1 && t.importance <= 3)
        addText(todo, icalproperty_new_priority(kPriority[t.importance]));
    addText(todo, icalproperty_new_percentcomplete(std::clamp(t.percent, 0, 100)));
    addText(todo, icalproperty_new_status(t.complete ? ICAL_STATUS_COMPLETED
            : t.percent > 0                       ? ICAL_STATUS_INPROCESS
                                                  : ICAL_STATUS_NEEDSACTION));
    if (t.complete && t.completedUtc) {
        icaltimetype done = fromLocal(*t.completedUtc, false);
        done.zone = icaltimezone_get_utc_timezone();
        addText(todo, icalproperty_new_completed(done));
    }
    if (const std::string list = categoryList(t.categories, names); !list.empty())
        addText(todo, icalproperty_new_categories(list.c_str()));
    if (t.isPrivate)
        addText(todo, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    return todo;
}

}  // namespace

std::string ZuIcalKnownStoreId()
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, ZuReg::Export, 0, 0, &key) != ERROR_SUCCESS)
        return {};
    wchar_t stored[64] = {};
    DWORD type = 0, size = sizeof stored - sizeof(wchar_t);
    std::wstring id;
    if (RegQueryValueEx(key, kStoreIdValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS
        && type == REG_SZ)
        id = stored;
    RegCloseKey(key);
    const bool wellFormed = id.size() == 16 && std::all_of(id.begin(), id.end(), [](wchar_t c) { return std::iswxdigit(c); });
    return wellFormed ? utf8(id) : std::string();
}

std::string ZuIcalStoreId()
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, ZuReg::Export, 0, nullptr, REG_OPTION_NON_VOLATILE, 0, nullptr, &key, &disposition)
        != ERROR_SUCCESS)
        return {};
    wchar_t stored[64] = {};
    DWORD type = 0, size = sizeof stored - sizeof(wchar_t);
    std::wstring id;
    if (RegQueryValueEx(key, kStoreIdValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS
        && type == REG_SZ)
        id = stored;
    const bool wellFormed = id.size() == 16 && std::all_of(id.begin(), id.end(), [](wchar_t c) { return std::iswxdigit(c); });
    if (!wellFormed) {
        std::random_device random;
        const unsigned long long value = (static_cast<unsigned long long>(random()) << 32) ^ random();
        wchar_t text[17];
        std::swprintf(text, 17, L"%016llx", value);
        id = text;
        if (RegSetValueEx(key, kStoreIdValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(id.c_str()),
                static_cast<DWORD>((id.size() + 1) * sizeof(wchar_t)))
            != ERROR_SUCCESS)
            id.clear();
    }
    RegCloseKey(key);
    return utf8(id);
}

ZuIcalExportResult ZuExportIcal(const ZuIcalExportOptions& options)
{
    ZuIcalExportResult result;
    std::optional<Range> range;
    if (options.from || options.to) {
        Range r;
        SYSTEMTIME first{}, last{};
        first.wYear = 1601;
        first.wMonth = first.wDay = 1;
        last.wYear = 4500;
        last.wMonth = 12;
        last.wDay = 31;
        if (options.from)
            first = *options.from;
        if (options.to)
            last = *options.to;
        if (!wallTicks(first.wYear, first.wMonth, first.wDay, 0, 0, 0, r.from)
            || !wallTicks(last.wYear, last.wMonth, last.wDay, 0, 0, 0, r.to) || r.to < r.from) {
            result.error = "the range is not a range of dates";
            return result;
        }
        r.to += kDay - 1;
        range = r;
    }
    const std::string storeId = ZuIcalStoreId();
    if (storeId.empty()) {
        result.error = "cannot keep the store id in the registry" + lastError();
        return result;
    }

    // One snapshot of the store for the whole export: all of another program's commit or none.
    const ZuStoreSnapshot snapshot;
    if (!snapshot.ok()) {
        result.error = "cannot read the store" + lastError();
        return result;
    }
    const auto readFailed = [&](const char* name) {
        result.error = std::string("cannot read \"") + name + "\"" + lastError();
        return result;
    };
    std::map<int, std::wstring> names;
    CCeDBDatabase db;
    if (GetDatabasePtr(&db, ZU_SEL_CATEGORIES)) {
        if (!forEachRecord(db, [&](const CCeDBRecord& record) {
                const CCeDBProp* index = record.GetIdProp(ZUID_CAT_INDEX);
                if (index && !names.count(index->GetShort()))
                    names[index->GetShort()] = ZuRecordString(record, ZUID_CAT_NAME).str();
            }))
            return readFailed("\\Categories Database");
    }
    std::vector<Appointment> appointments;
    std::vector<Task> tasks;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS)) {
        result.error = "cannot open \"Appointments Database\"" + lastError();
        return result;
    }
    if (!forEachRecord(db, [&](const CCeDBRecord& record) {
        Appointment a;
        std::string problem;
        if (!readAppointment(record, a, problem)) {
            result.leftOut.push_back("appointment \"" + utf8(a.subject) + "\": " + problem);
            return;
        }
        if (!range || appointmentInRange(a, *range))
            appointments.push_back(std::move(a));
    }))
        return readFailed("Appointments Database");
    if (!GetDatabasePtr(&db, ZU_SEL_TASKS)) {
        result.error = "cannot open \"Tasks Database\"" + lastError();
        return result;
    }
    if (!forEachRecord(db, [&](const CCeDBRecord& record) {
        Task t;
        std::string problem;
        if (!readTask(record, t, problem)) {
            result.leftOut.push_back("task \"" + utf8(t.subject) + "\": " + problem);
            return;
        }
        if (!range || taskInRange(t, *range))
            tasks.push_back(std::move(t));
    }))
        return readFailed("Tasks Database");
    db.Close();

    TimeStyle style;
    style.zone = localZoneName();
    style.mode = style.zone.empty() ? TimeStyle::Floating : style.zone == "UTC" ? TimeStyle::Utc : TimeStyle::Named;
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent* cal = calendar.get();
    addText(cal, icalproperty_new_version("2.0"));
    addText(cal, icalproperty_new_prodid("-//ZuPims//zupim export//KO"));
    addText(cal, icalproperty_new_calscale("GREGORIAN"));
    if (style.mode == TimeStyle::Named) {
        // libical's own VTIMEZONE for the zone, under the zone's plain name.
        icalcomponent* zone = icaltimezone_get_component(icaltimezone_get_builtin_timezone(style.zone.c_str()));
        if (zone) {
            icalcomponent* copy = icalcomponent_new_clone(zone);
            if (icalproperty* tzid = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY))
                icalproperty_set_tzid(tzid, style.zone.c_str());
            icalcomponent_add_component(cal, copy);
        } else {
            style.mode = TimeStyle::Floating;
        }
    }
    icaltimetype stamp = fromLocal(ticksOf(ZuUtcNow()), false);
    stamp.zone = icaltimezone_get_utc_timezone();
    // The dates of the occurrences that records of their own stand for, by UID.
    std::map<std::string, std::set<Ticks>> replaced;
    for (const Appointment& a : appointments)
        if (a.occurrence)
            replaced[a.uid].insert(midnightOf(*a.occurrence));
    const std::set<Ticks> none;
    for (const Appointment& a : appointments) {
        const std::string uid = a.uid.empty() ? "zupims-a" + std::to_string(a.oid) + "-" + storeId : a.uid;
        const auto r = a.uid.empty() ? replaced.end() : replaced.find(a.uid);
        icalcomponent_add_component(cal, eventOf(a, uid, style, stamp, names, r == replaced.end() ? none : r->second));
        ++result.appointments;
    }
    for (const Task& t : tasks) {
        const std::string uid = t.uid.empty() ? "zupims-t" + std::to_string(t.oid) + "-" + storeId : t.uid;
        icalcomponent_add_component(cal, todoOf(t, uid, stamp, names));
        ++result.tasks;
    }
    char* text = icalcomponent_as_ical_string_r(cal);
    result.text = text ? text : "";
    icalmemory_free_buffer(text);
    result.ok = true;
    return result;
}

int runExportCommand(char** args, int count, FILE* out, FILE* err)
{
    const auto usage = [err](const char* problem, const char* what) {
        std::fprintf(err, "zupim export: %s%s%s\n", problem, what ? ": " : "", what ? what : "");
        std::fprintf(err, "usage: zupim export FILE.ics [--from YYYY-MM-DD] [--to YYYY-MM-DD]   (\"-\" writes standard output)\n");
        return 2;
    };
    ZuIcalExportOptions options;
    const char* path = nullptr;
    for (int i = 0; i < count; ++i) {
        const char* a = args[i];
        if (!std::strcmp(a, "--from") || !std::strcmp(a, "--to")) {
            if (i + 1 >= count)
                return usage("missing date after", a);
            SYSTEMTIME date{};
            if (!ZuParseDateArgument(args[++i], date))
                return usage("not a date (expected YYYY-MM-DD)", args[i]);
            (a[2] == 'f' ? options.from : options.to) = date;
        } else if (a[0] == '-' && a[1] != '\0') {
            return usage("unknown option", a);
        } else if (!path) {
            path = a;
        } else {
            return usage("more than one file", a);
        }
    }
    if (!path || !*path)
        return usage("no file given", nullptr);
    if (options.from && options.to
        && std::make_tuple(options.from->wYear, options.from->wMonth, options.from->wDay)
            > std::make_tuple(options.to->wYear, options.to->wMonth, options.to->wDay))
        return usage("--from lies after --to", nullptr);

    const ZuIcalExportResult r = ZuExportIcal(options);
    if (!r.ok) {
        std::fprintf(err, "zupim export: %s\n", r.error.c_str());
        return 1;
    }
    for (const std::string& line : r.leftOut)
        std::fprintf(err, "zupim export: left out %s\n", line.c_str());
    const bool toStdout = !std::strcmp(path, "-");
    if (toStdout) {
        std::fwrite(r.text.data(), 1, r.text.size(), out);
        std::fflush(out);
    } else {
        // Written beside the target and renamed over it, so a failure leaves no half file; 0600
        // from the start whatever the umask, like the store: it is the user's whole calendar.
        const std::string temporary = std::string(path) + ".part";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::fchmod(fd, 0600);  // a .part left over from before keeps its mode otherwise
        FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
        if (fd >= 0 && !file)
            ::close(fd);
        const bool written = file && std::fwrite(r.text.data(), 1, r.text.size(), file) == r.text.size();
        const bool closed = file && std::fclose(file) == 0;
        if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
            std::fprintf(err, "zupim export: cannot write %s: %s\n", path, std::strerror(errno));
            std::remove(temporary.c_str());
            return 1;
        }
    }
    std::fprintf(toStdout ? err : out, "exported %d appointments and %d tasks%s%s\n", r.appointments, r.tasks,
        toStdout ? "" : " to ", toStdout ? "" : path);
    return 0;
}
