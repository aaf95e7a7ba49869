#include "icalimport_p.h"

#include "lunar.h"
#include "recordlayouts.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <strings.h>

using namespace zuical;

namespace {

const wchar_t* const kNoSubject = L"내용 없음";  // what the editors save for an empty subject

std::wstring trimmed(const std::wstring& s)
{
    return QString::fromStdWString(s).trimmed().toStdWString();
}

const char* xValue(icalcomponent* c, const char* name)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* x = icalproperty_get_x_name(p);
        if (x && !strcasecmp(x, name))
            return icalproperty_get_x(p);
    }
    return nullptr;
}

std::vector<std::wstring> categoriesOf(icalcomponent* c)
{
    std::vector<std::wstring> names;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        std::wstring name = trimmed(wide(icalproperty_get_categories(p)));
        // The suite joins category names with commas, so a comma inside a name becomes a
        // full-width one.
        std::replace(name.begin(), name.end(), L',', L'\xFF0C');
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

bool isPrivate(icalcomponent* c)
{
    icalproperty* p = icalcomponent_get_first_property(c, ICAL_CLASS_PROPERTY);
    if (!p)
        return false;
    const icalproperty_class value = icalproperty_get_class(p);
    return value == ICAL_CLASS_PRIVATE || value == ICAL_CLASS_CONFIDENTIAL;
}

std::wstring subjectOf(icalcomponent* c)
{
    icalproperty* p = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY);
    std::wstring subject = p ? wide(icalproperty_get_summary(p)) : std::wstring();
    return subject.empty() ? std::wstring(kNoSubject) : subject;
}

// A time property with its zone; false (with the reason) when it is missing or cannot be placed.
enum class TimeOf { Missing, Ok, Bad };
TimeOf timeOf(icalcomponent* root, icalcomponent* c, icalproperty_kind kind, icaltimetype& value, Ticks& local,
    std::string& reason)
{
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    if (!p)
        return TimeOf::Missing;
    if (!icalproperty_get_value(p))
        return TimeOf::Missing;
    const icaltimetype raw = kind == ICAL_DTSTART_PROPERTY ? icalproperty_get_dtstart(p)
        : kind == ICAL_DTEND_PROPERTY                      ? icalproperty_get_dtend(p)
                                                           : icalproperty_get_due(p);
    bool unknownZone = false;
    value = zonedTime(root, p, raw, unknownZone);
    const char* name = icalproperty_kind_to_string(kind);
    if (unknownZone) {
        icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        reason = std::string(name) + " names an unknown time zone \"" + textOf(icalparameter_get_tzid(tzid)) + "\"";
        return TimeOf::Bad;
    }
    if (!toLocal(value, local)) {
        reason = std::string(name) + " lies outside the supported years";
        return TimeOf::Bad;
    }
    return TimeOf::Ok;
}

long busyOf(icalcomponent* c)
{
    if (const char* busy = xValue(c, "X-MICROSOFT-CDO-BUSYSTATUS")) {
        if (!strcasecmp(busy, "FREE"))
            return ZU_OL_FREE;
        if (!strcasecmp(busy, "TENTATIVE"))
            return ZU_OL_TENTATIVE;
        if (!strcasecmp(busy, "OOF"))
            return ZU_OL_OUT_OF_OFFICE;
        if (!strcasecmp(busy, "BUSY"))
            return ZU_OL_BUSY;
    }
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_TRANSP_PROPERTY)) {
        const icalproperty_transp transp = icalproperty_get_transp(p);
        if (transp == ICAL_TRANSP_TRANSPARENT || transp == ICAL_TRANSP_TRANSPARENTNOCONFLICT)
            return ZU_OL_FREE;
    }
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY)) {
        if (icalproperty_get_status(p) == ICAL_STATUS_TENTATIVE)
            return ZU_OL_TENTATIVE;
    }
    return ZU_OL_BUSY;
}

// The lead of the first VALARM in minutes before the start (0 for one at or after the start).
bool reminderOf(icalcomponent* c, Ticks localStart, long minutes, long& lead)
{
    icalcomponent* alarm = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT);
    icalproperty* p = alarm ? icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY) : nullptr;
    if (!p)
        return false;
    const icaltriggertype trigger = icalproperty_get_trigger(p);
    long long seconds = 0;  // before the start
    if (!icaltime_is_null_time(trigger.time)) {
        Ticks at = 0;
        if (!toLocal(trigger.time, at))
            return false;
        seconds = (static_cast<long long>(localStart) - static_cast<long long>(at)) / static_cast<long long>(ZU_TICKS_PER_SECOND);
    } else {
        seconds = -static_cast<long long>(icaldurationtype_as_int(trigger.duration));
        icalparameter* related = icalproperty_get_first_parameter(p, ICAL_RELATED_PARAMETER);
        if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
            seconds -= static_cast<long long>(minutes) * 60;
    }
    lead = static_cast<long>(std::clamp<long long>(seconds / 60, 0, 0x7FFFFFFF));
    return true;
}

std::vector<std::pair<std::wstring, std::wstring>> attendeesOf(icalcomponent* c)
{
    std::vector<std::pair<std::wstring, std::wstring>> list;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ATTENDEE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_ATTENDEE_PROPERTY)) {
        std::string address = textOf(icalproperty_get_attendee(p));
        if (!strncasecmp(address.c_str(), "mailto:", 7))
            address.erase(0, 7);
        icalparameter* cn = icalproperty_get_first_parameter(p, ICAL_CN_PARAMETER);
        std::wstring name = cn ? wide(icalparameter_get_cn(cn)) : std::wstring();
        if (name.empty())
            name = wide(address.c_str());
        if (!name.empty() || !address.empty())
            list.emplace_back(name, wide(address.c_str()));
    }
    return list;
}

// Lunar year, month and day of a solar local date; false outside the table or in a leap month.
bool lunarOf(Ticks local, Ticks& lunar)
{
    const SYSTEMTIME s = fieldsOf(local);
    int ly = 0, lm = 0, ld = 0;
    bool leap = false;
    if (!ZuSunToMoon(s.wYear, s.wMonth, s.wDay, &ly, &lm, &ld, &leap) || leap)
        return false;
    if (!wallTicks(ly, lm, std::min(ld, ZuDaysInMonth(ly, lm)), 0, 0, 0, lunar))
        return false;
    lunar += local % kDay;
    return true;
}

bool planEvent(icalcomponent* root, icalcomponent* c, const std::vector<Ticks>& changed, bool isChange, Ticks now,
    PlannedEvent& e, std::string& reason)
{
    icaltimetype start{}, end{};
    Ticks localStart = 0, localEnd = 0;
    switch (timeOf(root, c, ICAL_DTSTART_PROPERTY, start, localStart, reason)) {
    case TimeOf::Missing:
        reason = "it has no DTSTART";
        return false;
    case TimeOf::Bad:
        return false;
    case TimeOf::Ok:
        break;
    }
    e.allDay = start.is_date;
    const TimeOf endKind = timeOf(root, c, ICAL_DTEND_PROPERTY, end, localEnd, reason);
    if (endKind == TimeOf::Bad)
        return false;
    if (endKind == TimeOf::Missing) {
        if (icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY))
            localEnd = localStart + static_cast<Ticks>(std::max(0, icaldurationtype_as_int(icalproperty_get_duration(d)))) * ZU_TICKS_PER_SECOND;
        else
            localEnd = localStart + (e.allDay ? kDay : 0);
    }
    if (const char* allDay = xValue(c, "X-MICROSOFT-CDO-ALLDAYEVENT"); allDay && !strcasecmp(allDay, "TRUE"))
        e.allDay = true;
    const Ticks span = localEnd > localStart ? localEnd - localStart : 0;
    e.minutes = static_cast<long>(std::min<Ticks>(span / kMinute, 0x7FFFFFFF));
    e.start = localStart;
    e.subject = subjectOf(c);
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_LOCATION_PROPERTY))
        e.location = wide(icalproperty_get_location(p));
    e.categories = categoriesOf(c);
    e.isPrivate = isPrivate(c);
    e.busy = busyOf(c);
    e.reminder = reminderOf(c, localStart, e.minutes, e.lead);
    e.attendees = attendeesOf(c);

    const char* memorial = xValue(c, "X-ZUPIMS-MEMORIAL");
    if (!isChange) {
        RecurrenceInput in;
        in.root = root;
        in.component = c;
        in.base = start;
        in.localBase = localStart;
        in.now = now;
        in.changed = changed;
        if (const char* lunar = xValue(c, "X-ZUPIMS-LUNAR"))
            std::sscanf(lunar, "%2d-%2d", &in.lunarMonth, &in.lunarDay);
        e.recurrence = mapRecurrence(in);
        if (e.recurrence.kind == Recurrence::Skip) {
            reason = e.recurrence.reason;
            return false;
        }
    }
    if (e.recurrence.kind == Recurrence::Lunar) {
        e.lunar = true;
        e.start = e.recurrence.patternStart + localStart % kDay;
        e.memorial = memorial ? !std::strcmp(memorial, "1") : e.allDay;
    } else {
        e.memorial = memorial && !std::strcmp(memorial, "1");
        // A single lunar date written by the suite: the start becomes the lunar date again.
        Ticks lunar = 0;
        if (e.recurrence.kind == Recurrence::None && xValue(c, "X-ZUPIMS-LUNAR") && lunarOf(localStart, lunar)) {
            e.lunar = true;
            e.start = lunar;
        }
    }
    return true;
}

bool planTask(icalcomponent* root, icalcomponent* c, Ticks now, PlannedTask& t, int& alarms, std::string& reason)
{
    icaltimetype start{}, due{};
    Ticks localStart = 0, localDue = 0;
    const TimeOf startKind = timeOf(root, c, ICAL_DTSTART_PROPERTY, start, localStart, reason);
    if (startKind == TimeOf::Bad)
        return false;
    TimeOf dueKind = timeOf(root, c, ICAL_DUE_PROPERTY, due, localDue, reason);
    if (dueKind == TimeOf::Bad)
        return false;
    if (startKind == TimeOf::Ok) {
        t.start = localStart;
        if (dueKind == TimeOf::Missing) {
            if (icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY)) {
                localDue = localStart + static_cast<Ticks>(std::max(0, icaldurationtype_as_int(icalproperty_get_duration(d)))) * ZU_TICKS_PER_SECOND;
                dueKind = TimeOf::Ok;
            }
        }
    }
    if (dueKind == TimeOf::Ok)
        t.due = localDue;
    t.subject = subjectOf(c);
    t.categories = categoriesOf(c);
    t.isPrivate = isPrivate(c);
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY)) {
        const int priority = icalproperty_get_priority(p);
        t.importance = priority >= 1 && priority <= 4 ? 1 : (priority >= 6 ? 3 : 2);
    }
    int percent = 0;
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_PERCENTCOMPLETE_PROPERTY))
        percent = std::clamp(icalproperty_get_percentcomplete(p), 0, 100);
    icalproperty* completed = icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY);
    icalproperty* status = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY);
    t.complete = percent >= 100 || completed || (status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED);
    t.percent = std::min(percent / 10 * 10, 90);  // the editor's steps of ten
    t.completedUtc = ticksOf(ZuUtcNow());
    if (completed) {
        Ticks local = 0, utc = 0;
        if (toLocal(icalproperty_get_completed(completed), local) && localToUtc(local, utc)) {
            t.completedUtc = utc;
            t.completedGiven = true;
        }
    }
    if (icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT))
        ++alarms;

    const bool recurs = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)
        || icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY);
    if (recurs) {
        if (!t.start && !t.due) {
            reason = "a recurring task without DTSTART or DUE";
            return false;
        }
        RecurrenceInput in;
        in.root = root;
        in.component = c;
        in.base = t.start ? start : due;
        in.localBase = t.start ? localStart : localDue;
        in.datesOnly = true;
        in.now = now;
        t.recurrence = mapRecurrence(in);
        if (t.recurrence.kind == Recurrence::Skip) {
            reason = t.recurrence.reason;
            return false;
        }
    }
    return true;
}

}  // namespace

ImportPlan zuical::planImport(const Collected& collected, Ticks now)
{
    ImportPlan out;
    out.items.reserve(collected.found.size());
    for (const FoundComponent& f : collected.found) {
        PlannedItem item;
        icalcomponent* c = f.component;
        item.uid = f.uid;
        item.summary = f.summary;
        std::string reason;
        bool ok = false;
        switch (icalcomponent_isa(c)) {
        case ICAL_VEVENT_COMPONENT: {
            if (f.isChange) {
                icalproperty* p = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
                bool unknownZone = false;
                Ticks local = 0;
                if (p && toLocal(zonedTime(f.root, p, icalproperty_get_recurrenceid(p), unknownZone), local))
                    item.occurrence = local;
            }
            const auto changed = collected.changedStarts.find(item.uid);
            ok = planEvent(f.root, c, changed == collected.changedStarts.end() ? std::vector<Ticks>() : changed->second,
                f.isChange, now, item.event, reason);
            break;
        }
        case ICAL_VTODO_COMPONENT:
            item.task = true;
            ok = planTask(f.root, c, now, item.todo, out.taskAlarmsLeft, reason);
            break;
        default:
            const char* kind = icalcomponent_kind_to_string(icalcomponent_isa(c));
            reason = std::string(kind && *kind ? kind : "unknown") + " components are not imported";
            break;
        }
        if (!ok) {
            out.skipped.push_back({item.uid, item.summary, reason});
            continue;
        }
        out.items.push_back(std::move(item));
    }
    for (const PlannedItem& item : out.items) {
        const std::vector<std::wstring>& list = item.task ? item.todo.categories : item.event.categories;
        out.categories.insert(list.begin(), list.end());
        out.records += item.task || item.event.recurrence.kind != Recurrence::Expand ? 1 : item.event.recurrence.starts.size();
    }
    return out;
}
