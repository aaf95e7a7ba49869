#include "icalimport.h"

#include "cedbdatabase.h"
#include "icalcommon.h"
#include "icalrecur.h"
#include "lasterror.h"
#include "lunar.h"
#include "oledatetime.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <strings.h>

using namespace zuical;

namespace {

const wchar_t* const kNoSubject = L"내용 없음";  // what the editors save for an empty subject
constexpr int kProgressStep = 500;

struct ParserFree {
    void operator()(icalparser* p) const { icalparser_free(p); }
};

// ---- Parsing ------------------------------------------------------------------------------------

// Hands the text to libical's line reader one physical line (or one buffer of a long line) at a
// time, remembering on which line each piece starts, so that an error can name its line.
struct LineSource {
    const std::string* text = nullptr;
    size_t pos = 0;
    int nextLine = 1;   // the line the next piece starts on
    int pieceLine = 0;  // the line the piece handed out last starts on
};

char* nextPiece(char* buffer, size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    const std::string& text = *source->text;
    if (source->pos >= text.size() || size < 2)
        return nullptr;
    // Like fgets: up to size - 1 bytes, ending after a newline. libical tells a full buffer (a
    // line that goes on) by its last byte.
    size_t n = 0;
    while (n + 1 < size && source->pos + n < text.size()) {
        if (text[source->pos + n++] == '\n')
            break;
    }
    std::memcpy(buffer, text.data() + source->pos, n);
    buffer[n] = 0;
    source->pieceLine = source->nextLine;
    if (buffer[n - 1] == '\n')
        ++source->nextLine;
    source->pos += n;
    return buffer;
}

std::string shortened(const char* line)
{
    std::string text(line);
    if (text.size() > 60)
        text = text.substr(0, 57) + "...";
    return text;
}

bool hasParseErrors(icalcomponent* c, std::string& error)
{
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        error = std::string("libical reports: ") + icalproperty_get_xlicerror(p);
        return true;
    }
    for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (hasParseErrors(sub, error))
            return true;
    return false;
}

// Calls each(line number, content line) for the unfolded lines of the text, as libical's line
// reader gives them, until each returns false; false then.
template <typename Each>
bool forEachLine(const std::string& text, icalparser* parser, Each each)
{
    LineSource source;
    source.text = &text;
    icalparser_set_gen_data(parser, &source);
    // libical reads one piece ahead: when it returns a line, the piece it holds back begins the
    // next one.
    int lineStart = 1;
    for (;;) {
        char* line = icalparser_get_line(parser, nextPiece);
        const int number = lineStart;
        lineStart = source.pieceLine;
        if (!line)
            return true;
        const bool more = each(number, line);
        icalmemory_free_buffer(line);
        if (!more)
            return false;
    }
}

std::string cannotParse(int line, const char* text)
{
    return "line " + std::to_string(line) + ": cannot parse \"" + shortened(text) + "\"";
}

// libical marks some faults (a parameter it cannot read, say) inside the component instead of
// stopping: the first content line that does not parse on its own is the one.
std::string lineOfFault(const std::string& text, const std::string& reported)
{
    std::string error = reported;
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    forEachLine(text, parser.get(), [&](int number, const char* line) {
        if (!*line || !strncasecmp(line, "BEGIN:", 6) || !strncasecmp(line, "END:", 4))
            return true;
        icalproperty* p = icalproperty_new_from_string(line);
        if (p) {
            icalproperty_free(p);
            return true;
        }
        error = cannotParse(number, line);
        return false;
    });
    return error;
}

bool parseAll(const std::string& text, std::vector<ComponentPtr>& roots, std::string& error)
{
    if (const size_t nul = text.find('\0'); nul != std::string::npos) {
        error = "line " + std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1)
            + ": the file holds a NUL byte";
        return false;
    }
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    int depth = 0;  // components begun and not ended
    int lastLine = 1;
    const bool read = forEachLine(text, parser.get(), [&](int number, const char* line) {
        lastLine = number;
        icalcomponent* done = icalparser_add_line(parser.get(), const_cast<char*>(line));
        const icalparser_state state = icalparser_get_state(parser.get());
        if (done) {
            roots.emplace_back(done);
            depth = 0;
        } else if (state == ICALPARSER_BEGIN_COMP) {
            ++depth;
        } else if (state == ICALPARSER_END_COMP) {
            --depth;
        } else if (state == ICALPARSER_ERROR) {
            error = cannotParse(number, line);
            return false;
        }
        return true;
    });
    if (!read)
        return false;
    // The parser frees what it still holds; icalparser_clean() is not used, it can free twice.
    if (depth > 0) {
        error = "line " + std::to_string(lastLine) + ": the file ends inside a component (an END line is missing)";
        return false;
    }
    if (roots.empty()) {
        error = "line 1: no VCALENDAR in the file";
        return false;
    }
    for (const ComponentPtr& root : roots) {
        std::string reported;
        if (hasParseErrors(root.get(), reported)) {
            error = lineOfFault(text, reported);
            return false;
        }
    }
    return true;
}

// ---- Reading components -------------------------------------------------------------------------

std::string textOf(const char* s)
{
    return s ? std::string(s) : std::string();
}

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

struct PlannedEvent {
    std::wstring subject, location;
    std::vector<std::wstring> categories;
    Ticks start = 0;  // local wall clock; a lunar one holds the lunar date with the time
    long minutes = 0;
    bool allDay = false;
    bool isPrivate = false;
    bool memorial = false;
    bool lunar = false;
    long busy = ZU_OL_BUSY;
    bool reminder = false;
    long lead = 0;
    std::vector<std::pair<std::wstring, std::wstring>> attendees;  // name, address
    Recurrence recurrence;
};

struct PlannedTask {
    std::wstring subject;
    std::vector<std::wstring> categories;
    std::optional<Ticks> start, due;  // local wall clock
    int importance = 2;
    int percent = 0;
    bool complete = false;
    Ticks completedUtc = 0;
    bool isPrivate = false;
    Recurrence recurrence;
};

struct Item {
    std::string uid, summary;
    bool task = false;
    PlannedEvent event;
    PlannedTask todo;
};

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

Ticks localNow()
{
    const FILETIME utc = ZuUtcNow();
    FILETIME local{};
    FileTimeToLocalFileTime(&utc, &local);
    return ticksOf(local);
}

std::string dayText(Ticks t)
{
    const SYSTEMTIME s = fieldsOf(t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", s.wYear, s.wMonth, s.wDay);
    return text;
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
        if (toLocal(icalproperty_get_completed(completed), local) && localToUtc(local, utc))
            t.completedUtc = utc;
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

// ---- Writing ------------------------------------------------------------------------------------

std::string lastError()
{
    const std::string text = utf8(ZuLastErrorText().str());
    return text.empty() ? std::string() : " (" + text + ")";
}

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

bool writeTask(CCeDBDatabase& db, const PlannedTask& t, const std::map<std::wstring, int>& indexes)
{
    std::vector<BYTE> bitmap;
    for (const std::wstring& name : t.categories)
        ZuBitmapSet(bitmap, indexes.at(name));
    std::vector<BYTE> pattern;
    if (t.recurrence.kind == Recurrence::Pattern) {
        CRecurrencePattern p(ZU_SEL_TASKS);
        CEBLOB blob{};
        if (!fillPattern(t.recurrence, p) || !p.GetRecurPattern(&blob))
            return false;
        pattern.assign(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
    }
    const auto blobOf = [](const std::vector<BYTE>& bytes) {
        CEBLOB blob;
        blob.dwCount = static_cast<DWORD>(bytes.size());
        blob.lpb = const_cast<BYTE*>(bytes.data());
        return blob;
    };
    // The task editor's property list, in its order.
    CCeDBRecord record;
    const auto add = [&record](const CCeDBProp& prop) { record.AddProp(&prop); };
    add(CCeDBProp(short(t.complete ? 1 : 0), ZUID_TASK_COMPLETE));
    if (!t.complete)
        add(CCeDBProp(short(t.percent), ZUID_TASK_PROGRESS));
    else
        add(CCeDBProp(filetimeOf(t.completedUtc), ZUID_TASK_COMPLETED_DATE));
    add(CCeDBProp(t.subject.c_str(), ZUID_TASK_SUBJECT));
    add(CCeDBProp(t.start ? filetimeOf(*t.start) : ZuNoDate(), ZUID_TASK_START));
    add(CCeDBProp(t.due ? filetimeOf(*t.due) : ZuNoDate(), ZUID_TASK_DUE));
    add(CCeDBProp(LONG(t.importance), ZUID_TASK_IMPORTANCE));
    add(CCeDBProp(short(t.isPrivate ? 1 : 0), ZUID_TASK_PRIVATE));
    if (!bitmap.empty())
        add(CCeDBProp(blobOf(bitmap), ZUID_TASK_CATEGORIES));
    add(CCeDBProp(short(0), ZUID_TASK_RESERVED));
    add(CCeDBProp(short(0), ZUID_TASK_REMINDER_SET));
    add(CCeDBProp(LONG(0), ZUID_TASK_NOTIFY));
    add(CCeDBProp(short(0), ZUID_TASK_REMINDER_FLAG));
    add(CCeDBProp(LONG(0), ZUID_TASK_REMINDER_MINUTES));
    add(CCeDBProp(ZU_TASK_REMINDER_SOUND, ZUID_TASK_REMINDER_SOUND));
    add(CCeDBProp(LONG(ZU_TASK_REMINDER_OPTIONS), ZUID_TASK_REMINDER_OPTIONS));
    if (!pattern.empty())
        add(CCeDBProp(blobOf(pattern), ZUID_TASK_RECURRENCE));
    add(CCeDBProp(short(pattern.empty() ? 0 : 1), ZUID_TASK_RECURRING));
    if (!db.WriteRecord(record, 0))
        return false;
    if (!bitmap.empty()) {
        const CEBLOB blob = blobOf(bitmap);
        return AddCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT) != 0;
    }
    return true;
}

std::string itemName(const Item& item)
{
    return (item.uid.empty() ? std::string("(no UID)") : item.uid) + " \"" + item.summary + "\"";
}

}  // namespace

ZuIcalImportResult ZuImportIcal(const std::string& text, const ZuIcalImportOptions& options)
{
    ZuIcalImportResult result;
    std::vector<ComponentPtr> roots;
    if (!parseAll(text, roots, result.error))
        return result;

    // Everything is read and planned before the store is touched.
    struct Found {
        icalcomponent* root;
        icalcomponent* component;
    };
    std::vector<Found> found;
    std::map<std::string, std::vector<Found>> changes;  // UID -> VEVENTs with RECURRENCE-ID
    for (const ComponentPtr& root : roots) {
        const bool calendar = icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT;
        std::vector<icalcomponent*> children;
        if (calendar) {
            for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
                 c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT))
                children.push_back(c);
        } else {
            children.push_back(root.get());
        }
        for (icalcomponent* c : children) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind == ICAL_VTIMEZONE_COMPONENT)
                continue;
            ++result.components;
            icalcomponent* zones = calendar ? root.get() : nullptr;
            if (kind == ICAL_VEVENT_COMPONENT && icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
                changes[textOf(icalcomponent_get_uid(c))].push_back({zones, c});
            else
                found.push_back({zones, c});
        }
    }
    // Occurrences that a RECURRENCE-ID replaces come out of their series; the changed ones are
    // imported as single events after the series (those without one in the file too).
    std::map<std::string, std::vector<Ticks>> changedStarts;
    std::set<std::string> masters;
    for (const Found& f : found)
        if (icalcomponent_isa(f.component) == ICAL_VEVENT_COMPONENT)
            masters.insert(textOf(icalcomponent_get_uid(f.component)));
    std::vector<Found> changeItems;
    for (auto& [uid, list] : changes) {
        for (const Found& f : list) {
            icalproperty* p = icalcomponent_get_first_property(f.component, ICAL_RECURRENCEID_PROPERTY);
            bool unknownZone = false;
            Ticks local = 0;
            const bool cancelled = icalcomponent_get_status(f.component) == ICAL_STATUS_CANCELLED;
            if (masters.count(uid)) {
                if (toLocal(zonedTime(f.root, p, icalproperty_get_recurrenceid(p), unknownZone), local))
                    changedStarts[uid].push_back(local);
                if (cancelled) {
                    --result.components;  // part of its series: nothing of its own
                    continue;
                }
            }
            changeItems.push_back(f);
        }
    }

    const Ticks now = localNow();
    std::vector<Item> items;
    items.reserve(found.size() + changeItems.size());
    const auto plan = [&](const Found& f, bool isChange) {
        Item item;
        icalcomponent* c = f.component;
        item.uid = textOf(icalcomponent_get_uid(c));
        item.summary = textOf(icalcomponent_get_summary(c));
        std::string reason;
        bool ok = false;
        switch (icalcomponent_isa(c)) {
        case ICAL_VEVENT_COMPONENT: {
            const auto changed = changedStarts.find(item.uid);
            ok = planEvent(f.root, c, changed == changedStarts.end() ? std::vector<Ticks>() : changed->second, isChange, now,
                item.event, reason);
            break;
        }
        case ICAL_VTODO_COMPONENT:
            item.task = true;
            ok = planTask(f.root, c, now, item.todo, result.taskAlarmsLeft, reason);
            break;
        default:
            const char* kind = icalcomponent_kind_to_string(icalcomponent_isa(c));
            reason = std::string(kind && *kind ? kind : "unknown") + " components are not imported";
            break;
        }
        if (!ok) {
            ++result.skipped;
            result.skippedItems.push_back({item.uid, item.summary, reason});
            return;
        }
        items.push_back(std::move(item));
    };
    for (const Found& f : found)
        plan(f, false);
    for (const Found& f : changeItems)
        plan(f, true);

    std::set<std::wstring> names;
    size_t records = 0;
    for (const Item& item : items) {
        const std::vector<std::wstring>& list = item.task ? item.todo.categories : item.event.categories;
        names.insert(list.begin(), list.end());
        records += item.task || item.event.recurrence.kind != Recurrence::Expand ? 1 : item.event.recurrence.starts.size();
    }

    // One batch: every write below lands, or none does.
    ZuStoreBatch batch;
    if (!batch.ok()) {
        result.error = "the store cannot be opened for one transaction" + lastError();
        return result;
    }
    std::map<std::wstring, int> indexes;
    if (!ensureCategories(names, indexes, result.categoriesAdded, result.error))
        return result;
    CPoomApplication app;
    CCeDBDatabase tasks;
    if (app.Logon(0) != S_OK || !GetDatabasePtr(&tasks, ZU_SEL_TASKS)) {
        result.error = "cannot open the appointments and tasks" + lastError();
        return result;
    }
    FILE* progress = static_cast<int>(records) > kZuIcalProgressThreshold ? options.progress : nullptr;
    size_t written = 0;
    const auto step = [&] {
        if (progress && ++written % kProgressStep == 0) {
            std::fprintf(progress, "\rzupim import: %zu of %zu records written", written, records);
            std::fflush(progress);
        }
    };
    for (const Item& item : items) {
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
            return result;
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
        return result;
    }
    result.ok = true;
    return result;
}

int runImportCommand(char** args, int count, FILE* out, FILE* err)
{
    if (count != 1 || args[0][0] == '\0' || (args[0][0] == '-' && args[0][1] != '\0')) {
        std::fprintf(err, "usage: zupim import FILE.ics   (\"-\" reads standard input)\n");
        return 2;
    }
    const char* path = args[0];
    const bool useStdin = !std::strcmp(path, "-");
    FILE* file = useStdin ? stdin : std::fopen(path, "rb");
    if (!file) {
        std::fprintf(err, "zupim import: cannot open %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const bool readError = std::ferror(file);
    if (!useStdin)
        std::fclose(file);
    if (readError) {
        std::fprintf(err, "zupim import: cannot read %s\n", path);
        return 1;
    }
    ZuIcalImportOptions options;
    options.progress = err;
    const ZuIcalImportResult r = ZuImportIcal(text, options);
    if (!r.ok) {
        std::fprintf(err, "zupim import: %s: %s\n", useStdin ? "standard input" : path, r.error.c_str());
        std::fprintf(err, "zupim import: nothing was imported\n");
        return 1;
    }
    for (const ZuIcalReportLine& line : r.expandedItems)
        std::fprintf(out, "expanded  %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    for (const ZuIcalReportLine& line : r.skippedItems)
        std::fprintf(out, "skipped   %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    std::fprintf(out, "imported %d, expanded %d, skipped %d of %d items: %d appointments and %d tasks written",
        r.imported, r.expanded, r.skipped, r.components, r.appointments, r.tasks);
    if (r.categoriesAdded)
        std::fprintf(out, ", %d new categor%s", r.categoriesAdded, r.categoriesAdded == 1 ? "y" : "ies");
    std::fprintf(out, "\n");
    if (r.taskAlarmsLeft)
        std::fprintf(out, "note: the alarms of %d tasks were not imported (task reminders are set in the task editor)\n", r.taskAlarmsLeft);
    return 0;
}
