// icalexport.h - `zupim export FILE.ics`: the appointments and tasks of the store as one
// iCalendar file, written with libical.
//
// Appointments become VEVENTs: SUMMARY, LOCATION, DTSTART and DTEND (all-day ones as DATE
// values; timed ones in the local zone with its VTIMEZONE when libical knows the zone, in UTC
// when the zone is UTC, else floating), CATEGORIES, CLASS:PRIVATE, TRANSP and
// X-MICROSOFT-CDO-BUSYSTATUS (and STATUS:TENTATIVE) for the busy status, the reminder as a VALARM
// (TRIGGER -PTnM), ATTENDEEs with CN and mailto, and the recurrence as an RRULE (icalrecur.h).
// Lunar appointments carry X-ZUPIMS-LUNAR:MM-DD (the lunar month and day) and, when recurring,
// RRULE:RSCALE=DANGI;FREQ=YEARLY;BYMONTH=m;BYMONTHDAY=d (RFC 7529; SKIP=FORWARD for day 30),
// with DTSTART on the solar date of the first occurrence; memorial days carry X-ZUPIMS-MEMORIAL.
// Tasks become VTODOs: SUMMARY, DTSTART, DUE, PRIORITY (1 high, 5 normal, 9 low),
// PERCENT-COMPLETE, STATUS, COMPLETED, CATEGORIES, CLASS and RRULE.
//
// A record imported from a file keeps the UID it came with (0x8802, recordlayouts.h) and writes it
// again, with RECURRENCE-ID for a record that stands for one occurrence of it (0x8803); a
// recurring appointment's skipped dates become EXDATEs (save those that such a record of its UID
// replaces). Other UIDs are "zupims-a<object id>-<store id>" for appointments and "zupims-t<object id>-<store
// id>" for tasks. The store id is 16 hex digits drawn once per data folder and kept in the
// registry (HKEY_CURRENT_USER "Software\Tandemoor\Pims\Export", "strStoreId"), so a record keeps
// its UID from one export to the next and two stores do not share UIDs.
//
// A record whose recurrence RRULE cannot say (the nth of several weekdays; the meaningless type
// 4) is left out and reported.
#pragma once

#include "wintypes.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

struct ZuIcalExportOptions {
    // Only records with an occurrence on these days (local dates, inclusive); a recurring one is
    // exported whole.
    std::optional<SYSTEMTIME> from;
    std::optional<SYSTEMTIME> to;
};

struct ZuIcalExportResult {
    bool ok = false;
    std::string error;
    std::string text;  // the iCalendar file
    int appointments = 0;
    int tasks = 0;
    std::vector<std::string> leftOut;  // records not exported, with the reason
};

ZuIcalExportResult ZuExportIcal(const ZuIcalExportOptions& options = {});

// The store's id used in UIDs (made and kept on first use); empty when the registry fails.
std::string ZuIcalStoreId();
// The store's id when one was made already; empty otherwise (nothing is written).
std::string ZuIcalKnownStoreId();

// `zupim export FILE.ics [--from DATE] [--to DATE]` ("-" writes standard output): 0 done, 1 an
// error, 2 bad arguments.
int runExportCommand(char** args, int count, FILE* out, FILE* err);
