// icalimport.h - `zupim import FILE.ics`: VEVENTs into appointments (saved through the object
// model's stand-in, as the event editor saves them) and VTODOs into task records.
//
// The whole file is parsed by libical first; a line libical cannot parse stops the import before
// anything is written and names that line. So do a file above 256 MiB, components nested deeper
// than 16 levels and text that is neither UTF-8 (a byte-order mark is passed over) nor CP949
// (EUC-KR, which older Korean exports use: read as that with a note). An item with a date or
// time that does not exist, or a text longer than a record holds, is skipped with its line or
// the limit; an event ending before its start, or with a negative DURATION, is imported as
// lasting no time and reported as corrected. What libical prints itself is not shown. The writes then run as one store batch: either all of
// them land, or (on any failed write) none.
//
// Events: SUMMARY, LOCATION, CATEGORIES (created in "\Categories Database" when missing, at the
// lowest free index), DTSTART with DTEND or DURATION (DATE values give all-day events; TZID, UTC
// and floating times are placed on the local clock), CLASS (PRIVATE and CONFIDENTIAL make the
// appointment private), the busy status (X-MICROSOFT-CDO-BUSYSTATUS, else TRANSP:TRANSPARENT
// free, else STATUS:TENTATIVE tentative, else busy), the first VALARM as the reminder, ATTENDEE
// with CN and its mailto address, and the recurrence (icalrecur.h): mapped onto the suite's
// recurrence (EXDATEs as its skipped dates), or a lunar anniversary for RSCALE=DANGI, or expanded
// into single appointments, or skipped. Occurrences changed by a VEVENT with RECURRENCE-ID are
// skipped in their series and imported as that VEVENT says (a cancelled one not at all). The suite's own X-ZUPIMS-MEMORIAL
// (1: a memorial day) and X-ZUPIMS-LUNAR (MM-DD: the start is a lunar date) are read back.
//
// Every event and to-do keeps its UID on its record, so that importing the same file again
// updates its records in place instead of adding them twice (icalimport_p.h, writePlan): the
// report counts the records created, updated and unchanged, and a retry of an import whose
// commit went through changes nothing. Importing the suite's own export changes nothing either.
//
// Tasks: SUMMARY, DTSTART, DUE (or DURATION), PRIORITY (1-4 high, 5 and none normal, 6-9 low),
// PERCENT-COMPLETE (in tens, as the task editor keeps it), STATUS:COMPLETED or COMPLETED,
// CATEGORIES, CLASS and RRULE, written with the task layout; their dates are local wall-clock
// values. Task alarms are not imported (counted in the report).
//
// Other components (VJOURNAL, VFREEBUSY, ...) are skipped and reported.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ZuIcalReportLine {
    std::string uid;
    std::string summary;
    std::string text;  // what happened: the occurrences made, or why it was skipped
};

struct ZuIcalImportResult {
    bool ok = false;
    std::string error;     // when not ok; a parse error starts with "line N: "
    int components = 0;    // VEVENTs, VTODOs and other components read
    int imported = 0;      // components written as one record each
    int expanded = 0;      // events written as their occurrences
    int skipped = 0;
    int appointments = 0;  // appointment records written (created or updated)
    int tasks = 0;         // task records written (created or updated)
    // The records the file gives, by what became of them: new ones, ones whose UID was in the
    // store and that changed, ones that already held what the file gives; and the records of a
    // UID in the file that it no longer gives (removed).
    int created = 0;
    int updated = 0;
    int unchanged = 0;
    int removed = 0;
    int categoriesAdded = 0;
    int taskAlarmsLeft = 0;
    std::vector<ZuIcalReportLine> expandedItems;
    std::vector<ZuIcalReportLine> skippedItems;
    std::vector<ZuIcalReportLine> correctedItems;  // imported with a fault mended or a COUNT capped
    std::vector<std::string> notes;                // about the file: its encoding, refused time zones
};

struct ZuIcalImportOptions {
    // Where the progress line goes for files of more than kProgressThreshold items (null: none).
    FILE* progress = nullptr;
};

constexpr int kZuIcalProgressThreshold = 2000;

// Imports the text of an iCalendar file into the store of the data folder.
ZuIcalImportResult ZuImportIcal(const std::string& text, const ZuIcalImportOptions& options = {});

// `zupim import FILE.ics` ("-" reads standard input): 0 done, 1 nothing imported (an error),
// 2 bad arguments.
int runImportCommand(char** args, int count, FILE* out, FILE* err);
