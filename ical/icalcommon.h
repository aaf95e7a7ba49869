// icalcommon.h - what `zupim import` and `zupim export` share: owning handles for libical's
// objects, text conversion and error text, and the conversions between iCalendar times and the
// suite's local wall clock.
//
// Times: records keep appointment starts in UTC and task dates as local wall-clock dates, and the
// calendar works on the local wall clock of the TZ environment (filetime.h). Here every time is
// carried as a local wall-clock FILETIME in ticks: an iCalendar DATE is its day at 00:00, a
// floating time is taken as it stands, and a UTC or zoned time goes through its instant.
#pragma once

#include "filetime.h"
#include "wintypes.h"

#include <libical/ical.h>

#include <memory>
#include <string>

namespace zuical {

using Ticks = ULONGLONG;

constexpr Ticks kMinute = ZU_TICKS_PER_MINUTE;
constexpr Ticks kDay = ZU_TICKS_PER_DAY;

struct ComponentFree {
    void operator()(icalcomponent* c) const
    {
        if (c)
            icalcomponent_free(c);
    }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// The largest file an import reads: 256 MiB.
constexpr size_t kMaxImportBytes = 256u * 1024u * 1024u;

// While one exists, what libical prints to standard error (its warnings name its own source
// lines) goes nowhere: the user sees only the import's own messages.
struct LibicalMuted {
    LibicalMuted();
    ~LibicalMuted();
    LibicalMuted(const LibicalMuted&) = delete;
    LibicalMuted& operator=(const LibicalMuted&) = delete;
    int saved = -1;
};

// UTF-8 <-> the suite's wide strings.
std::string utf8(const std::wstring& text);
std::wstring wide(const char* text);

// " (the text of the thread's last error)", or "" when it has none: the end of an error message.
std::string lastError();

inline Ticks ticksOf(const FILETIME& ft) { return ZuFileTimeToU64(ft); }
inline FILETIME filetimeOf(Ticks t) { return ZuU64ToFileTime(t); }
// Wall-clock fields -> ticks; false for a date SystemTimeToFileTime refuses.
bool wallTicks(int year, int month, int day, int hour, int minute, int second, Ticks& out);
SYSTEMTIME fieldsOf(Ticks t);
inline Ticks midnightOf(Ticks t) { return t - t % kDay; }
// Minutes after midnight.
inline long minuteOfDay(Ticks t) { return static_cast<long>(t % kDay / kMinute); }

// The zone of a TZID: a VTIMEZONE of the calendar `root` first, then libical's built-in zones
// (also under libical's own TZID prefix). Null when neither knows it.
icaltimezone* resolveZone(icalcomponent* root, const char* tzid);

// An iCalendar time -> the local wall clock. False when the time is null or lies outside what a
// FILETIME holds.
bool toLocal(const icaltimetype& t, Ticks& local);
// The local wall clock -> a floating iCalendar time (or a DATE).
icaltimetype fromLocal(Ticks local, bool date);
// The local wall clock -> UTC ticks (the gap and overlap rule of filetime.h).
bool localToUtc(Ticks local, Ticks& utc);

// The time of a DTSTART/DTEND/DUE/EXDATE/RECURRENCE-ID-like property with the zone of its TZID
// parameter attached. `unknownZone` is set when the TZID names no zone that can be resolved.
icaltimetype zonedTime(icalcomponent* root, icalproperty* prop, icaltimetype value, bool& unknownZone);

// The Olson name of the local zone when libical has it built in ($TZ, else /etc/localtime, else
// /etc/timezone); empty otherwise (times are then written floating).
std::string localZoneName();

}  // namespace zuical
