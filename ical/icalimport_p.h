// icalimport_p.h - the three stages of ZuImportIcal (icalimport.h). Collect parses the file and
// lists the components to import; plan reads each one and decides what it becomes (an
// appointment, a series, its expanded occurrences, a task, or a skipped item with its report
// line); write puts the plan into the store in one batch. Nothing touches the store before write.
#pragma once

#include "icalcommon.h"
#include "icalimport.h"
#include "icalrecur.h"
#include "poomappointment.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zuical {

inline std::string textOf(const char* s)
{
    return s ? std::string(s) : std::string();
}

// ---- Collect ------------------------------------------------------------------------------------

// A component of the file to import: a VEVENT, a VTODO or one of another kind (which the plan
// skips). The recurrence is read from the component itself, so it points into the parsed file.
struct FoundComponent {
    icalcomponent* root = nullptr;  // its VCALENDAR, for the VTIMEZONEs; null for a bare component
    icalcomponent* component = nullptr;
    std::string uid, summary;  // as the file has them, for the report
    bool isChange = false;  // a VEVENT with RECURRENCE-ID: one changed occurrence
    size_t order = 0;       // where its report lines and records go among the others
};

struct Collected {
    std::vector<ComponentPtr> roots;  // a VCALENDAR of ours per calendar of the file, with its zones
    std::vector<ComponentPtr> held;   // the components of `found`
    // The items whose plan waits for the whole file (a recurrence, a zone defined further on) in
    // file order, then the changed occurrences by UID (a cancelled one of a series in the file is
    // not among them: it only leaves its series).
    std::vector<FoundComponent> found;
    std::map<std::string, std::vector<Ticks>> changedStarts;  // UID -> local starts its series loses
    int components = 0;  // the components the report counts as read
    std::vector<std::pair<size_t, ZuIcalReportLine>> skipped;  // refused while reading (with their order)
    std::vector<ZuIcalReportLine> corrected;  // imported with a fault mended (an end before the start)
    std::vector<std::string> notes;           // about the file: its encoding, a refused VTIMEZONE
};

// Parses the text item by item. An item that can be planned at once goes to `ready` while its
// component exists (and is freed after); the others are kept in `out`. False with the error when
// the text does not parse (the error names the line): the items given to `ready` so far are
// then to be dropped.
//
// The text is UTF-8, with or without a byte-order mark, or else CP949 (EUC-KR) when it is valid
// as that (a note says so). Components nest at most kMaxDepth deep, and each END closes the
// component begun last. A VTIMEZONE whose rule libical cannot expand in bounded time is left
// out with a note (its TZID then names libical's built-in zone of that name, if any). An item
// with a date/time that does not exist (20260230, T250000) or a text longer than a record holds
// is skipped with the reason; an event whose end lies before its start is reported as corrected.
constexpr int kMaxDepth = 16;
bool collectComponents(const std::string& text, Collected& out, const std::function<void(const FoundComponent&)>& ready,
    std::string& error);

// ---- Plan ---------------------------------------------------------------------------------------

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
    bool completedGiven = false;  // the file says when (COMPLETED); else completedUtc is now
    bool isPrivate = false;
    Recurrence recurrence;
};

struct PlannedItem {
    std::string uid, summary;
    std::optional<Ticks> occurrence;  // a changed occurrence: the local start its RECURRENCE-ID names
    bool task = false;
    PlannedEvent event;
    PlannedTask todo;
};

struct ImportPlan {
    std::vector<PlannedItem> items;  // what is written, in order
    std::vector<ZuIcalReportLine> skipped;  // in the order of the components
    std::set<std::wstring> categories;  // every category the items carry
    size_t records = 0;  // the records the items are written as
    int taskAlarmsLeft = 0;
};

// What each collected component becomes; `now` is the import's local wall clock.
ImportPlan planImport(const Collected& collected, Ticks now);

// ---- Write --------------------------------------------------------------------------------------

// Writes the plan in one store batch, counting into `result` what was written and adding the
// report lines of the expanded events. False (with result.error) when the batch did not land:
// then the store is as it was.
//
// Records are matched by the UID they were imported under (0x8802, with 0x8803 for one
// occurrence of a UID), or by the UID an export gives a record made in the suite
// ("zupims-a<oid>-<store id>" of this store): a record that holds every value the file gives
// stays as it is (unchanged), another is updated in place (its categories' counts and its
// reminder with it), and what matches nothing is created. When the file has the whole of a UID
// (its series or single event, not only changed occurrences), the records of that UID it no
// longer gives are removed, save the occurrences of an expanded series that lie outside the
// span the file's expansion kept.
bool writePlan(const ImportPlan& plan, const ZuIcalImportOptions& options, ZuIcalImportResult& result);

}  // namespace zuical
