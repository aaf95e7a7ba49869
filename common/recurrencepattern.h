// recurrencepattern.h - CRecurrencePattern, the suite's one model of a repeating appointment or
// task: reading and writing the stored recurrence BLOB, the get_/put_ accessors of the object
// model, the Korean sentence, counting occurrences and walking them one by one.
//
// Dates are wall-clock values: nothing here converts time zones. A pattern's dates are minutes
// since 1601-01-01 00:00 (a FILETIME divided by 600,000,000); an occurrence carries the time of
// day of the pattern start date (normally midnight), and the appointment's own start time and
// duration are added by the reader.
//
// Recurrence types (get_RecurrenceType):
//   0 daily every `interval` days; interval 0 = every weekday (Monday to Friday, whatever the
//     stored mask says), 1 weekly on the mask's days every `interval` weeks (weeks run Sunday to
//     Saturday, the start's week counts first), 2 monthly on a day of the month, 3 monthly on the
//     instance-th mask day, 4 accepted but meaningless (nothing is computed for it), 5 yearly on a
//     month and day, 6 yearly on the instance-th mask day of a month; -1 no pattern.
//   Monthly and yearly types honour their interval: occurrence months are start month +
//   interval * k, occurrence years start year + interval * k (k from 0 when the start's own month
//   or year holds a date on or after the start, else from 1).
//   Instance 1 to 4 is the nth mask day counted from the first day of the month that matches any
//   mask day, in whole weeks; 5 is the last such day (f + 28 when it fits, else f + 21).
//
// Limits (each a named constant in the source, with its reason):
//   - interval 1 to 999 (0 only for the every-weekday form); mask 1 to 127; instance 1 to 5; day
//     of month 1 to 31; month 1 to 12. put_ refuses anything else (returns 0, value unchanged) and
//     a BLOB holding it does not parse (the pattern stays uninitialised).
//   - Nothing occurs after 4500-12-31 23:59 (minute 0x5AE980DF, the stored "no end" date): walks
//     stop there, counts stop there and an occurrence past it is refused.
//   - A date that does not exist (the 31st of a 30-day month, 29 February of a common year) is an
//     occurrence slot without a day: counts count it (so stored counts keep their meaning),
//     GetPatternEndDate gives minute 0 for it (1601-01-01, before any view), and the Seek*
//     operations skip it. A skip gives up after one whole calendar cycle of steps (400 years of
//     months), so a pattern none of whose dates exist fails at once instead of spinning.
//   - Counts and n-th dates are O(1) for every type; a walk step is O(1) plus the skip above.
//
// Ending: end date type 0 no end, 1 ends on a date, 2 ends after a count. The chosen value leads:
// with type 1 the count follows from the end date (occurrences from the start up to it), with
// type 2 the end date follows from the count (the date of the last existing occurrence among the
// first `count`). Every successful put_ and SetEndDateType keeps the derived value current. The
// written BLOB snaps a type-1 end date back onto the last existing occurrence and stores that
// occurrence's index as the count, so what is read back writes the same bytes again. A pattern
// with no occurrence before its end (end before start, a count of 0) cannot be written.
//
// Threads: an object is used by one thread at a time; the class keeps no mutable static state,
// so the calendar's loading thread may work on its own objects while the interface thread works
// on others. Nothing throws.
//
// ---------------------------------------------------------------------------------------------
// The recurrence BLOB (appointment property 0x4015, task property 0x4116). All integers are
// little-endian; c is the size of the type-specific part (0, 4 or 8). Bytes not named are 0.
//
//   offset   size  field                            written as
//   0        2     reader version                   0x3004 (ignored when read)
//   2        2     writer version                   0x3004 (ignored)
//   4        2     frequency                        0x200A daily, 0x200B weekly, 0x200C monthly,
//                                                   0x200D yearly
//   6        2     pattern kind                     0 day, 1 week, 2 day of month, 3 nth weekday
//   8        2     calendar kind                    0 (read with 6 as one 32-bit value)
//   10       4     first date-time, minutes         see the table below; yearly types read the
//                                                   month of year from it
//   14       4     period                           see below; gives the interval
//   18       4     sliding flag                     0 (ignored)
//   22       c     type-specific                    weekly kinds: mask; monthly/yearly by day:
//                                                   day of month; nth kinds: mask, instance
//                                                   (4 bytes each, only the low byte written)
//   22+c     4     end type                         0x2021 by date, 0x2022 by count, 0x2023 none
//   26+c     4     occurrence count                 0 when no end
//   30+c     4     first day of week                0
//   34+c     4     deleted-instance count D         0; a stored BLOB may follow it with D dates
//   38+c     4     modified-instance count M        0; ... and with M dates (4 bytes each)
//   42+c     4     start date, minutes since 1601   pattern start date
//   46+c     4     end date, minutes                last occurrence; 0x5AE980DF when no end
//   50+c     4     second reader version            appointments: 0x00000305
//   54+c     4     second writer version            appointments: 0x00000305
//   58+c     4     start time, minutes after 0:00   appointments only
//   62+c     4     end time offset, minutes         appointments only: start + duration (may
//                                                   exceed 1440 for one crossing midnight)
//   When exception dates are present, the fields from 38+c on lie 4 * D bytes later and those
//   from 42+c on 4 * (D + M) bytes later; the reader skips the dates (counts whose dates do not
//   fit in the BLOB make it corrupt) and the writer always writes D = M = 0.
//   Written length: 72 bytes; 74 for an appointment of type 3 or 6 (so its end offset fits).
//   Fields beyond the end of a shorter stored BLOB read as 0.
//
//   Writing (s = start date in minutes, n = interval):
//     type 0, n >= 1   0x200A/0  first = s mod (n * 1440)     period n * 1440    c = 0
//     type 0, n = 0    0x200A/1  first = 8640                 period 1           c = 4 (mask)
//     type 1           0x200B/1  first = (s mod (n * 10080) - 1440) mod (n * 10080)
//                                                             period n           c = 4 (mask)
//     type 2           0x200C/2  first = 1440 * days of the first k months of a common year,
//                                k = (start month - 1) mod n  period n           c = 4 (day)
//     type 3           0x200C/3  first as type 2              period n           c = 8
//     type 5           0x200D/2  first = 1440 * days of months 1 .. month - 1 of a common year
//                                                             period n * 12      c = 4 (day)
//     type 6           0x200D/3  first as type 5              period n * 12      c = 8
//     type 4           0/0       first = 0                    period 0           c = 0
//   Reading: 0x200A with kind 1 is the every-weekday form (interval 0), otherwise daily with
//   interval period / 1440; 0x200B weekly; 0x200C kind 2 / 3 types 2 / 3; 0x200D kind 2 / 3
//   types 5 / 6 with interval period / 12 and the month whose common-year span holds
//   first / 1440 days (at most 12); anything else does not parse.
//
//   Worked example: an appointment 09:00 to 10:00, every 2 weeks on Monday and Wednesday from
//   2004-03-01 (a Monday; minute 212,042,880 = 0x0CA38480), no end. s mod 20160 = 0, so the
//   first date-time is 2 * 10080 - 1440 = 18720 = 0x4920. The 72 bytes:
//
//     00: 04 30 04 30 0B 20 01 00  00 00 20 49 00 00 02 00   versions, 0x200B/1, first, period 2
//     10: 00 00 00 00 00 00 0A 00  00 00 23 20 00 00 00 00   mask 0x0A at 22, 0x2023 at 26, count
//     20: 00 00 00 00 00 00 00 00  00 00 00 00 00 00 80 84   first day, D, M, start date at 46 ...
//     30: A3 0C DF 80 E9 5A 05 03  00 00 05 03 00 00 1C 02   ... end 0x5AE980DF at 50, versions
//     40: 00 00 58 02 00 00 00 00                            540 at 62, 600 at 66, padding
// ---------------------------------------------------------------------------------------------
#pragma once

#include "cstring.h"
#include "wintypes.h"

class CRecurrencePattern {
public:
    // An empty pattern for appointments (kind 1) or tasks (any other kind takes the task
    // property identifiers): type -1, times and duration -1, no BLOB, not initialised, no end.
    explicit CRecurrencePattern(UINT kind = 1);
    // Loads the pattern of a stored record (see SetRecurPattern(DWORD, UINT)).
    CRecurrencePattern(DWORD oid, UINT kind);
    // Parses a BLOB in memory; copy = 1 copies the bytes, otherwise the object refers to the
    // caller's bytes, which must outlive it (they are never written).
    CRecurrencePattern(CEBLOB blob, UINT copy, UINT kind);
    // Copies take every member and a private copy of the BLOB bytes.
    CRecurrencePattern(const CRecurrencePattern& other);
    CRecurrencePattern& operator=(const CRecurrencePattern& other);
    void InternalCopy(const CRecurrencePattern* other);
    ~CRecurrencePattern();

    // Reads the record `oid` of the kind's database (1 appointments, 4 tasks; any other kind
    // fails), which must carry the recurring flag 1, copies its BLOB and parses it. For a task
    // the duration is its due date minus its start date, in minutes. 1 when the BLOB parsed.
    int SetRecurPattern(DWORD oid, UINT kind);
    // Parses a BLOB in memory as the constructor does, keeping the kind.
    int SetRecurPattern(CEBLOB blob, UINT copy);
    // Sets oid and kind, then SaveRecurPattern().
    int SaveRecurPattern(DWORD oid, UINT kind);
    // Builds the BLOB and writes it into the record's BLOB property (other properties stay).
    // 1 when the BLOB was built and the record found, read and written.
    int SaveRecurPattern();
    // Builds the BLOB and hands out a new copy (LocalAlloc; the caller frees it with LocalFree).
    // A buffer the blob already held is freed first, so pass a zeroed blob. 0 (blob untouched)
    // unless the pattern is valid and can be written.
    int GetRecurPattern(CEBLOB* blob);
    int GetRecurPattern(CEBLOB& blob);

    int IsInitialized() const { return m_bInitialized; }
    // Initialised and of a type other than -1.
    int IsValid() const { return m_bInitialized && m_lRecurrenceType != -1; }
    UINT GetEndDateType() const { return m_uEndDateType; }
    // Sets 0 (no end), 1 (by date) or 2 (by count; the count already chosen is kept) and returns
    // the previous value; any other value changes nothing.
    UINT SetEndDateType(UINT type);

    // Accessors: 1 on success, 0 on failure. Every get_ except the times fails unless valid.
    int get_RecurrenceType(long* type) const;
    int get_PatternStartDate(FILETIME* date) const;
    int get_PatternEndDate(FILETIME* date) const;
    int get_NoEndDate(short* noEnd) const;
    int get_Occurrences(long* count) const;
    int get_Interval(long* interval) const;
    int get_DayOfWeekMask(long* mask) const;
    int get_DayOfMonth(long* day) const;  // also fails unless 1 to 31
    int get_Instance(long* instance) const;
    int get_MonthOfYear(long* month) const;
    int get_Duration(long* minutes) const;
    int get_StartTime(long* minutes) const;
    int get_EndTime(long* minutes) const;

    // put_RecurrenceType accepts 0 to 6. The others fail while the type is -1 and refuse the
    // values listed in the file comment. Each success marks the pattern initialised.
    int put_RecurrenceType(long type);
    // Refuses a date after 4500-12-31 23:59.
    int put_PatternStartDate(FILETIME date);
    // Also sets end date type 1; refuses a date after 4500-12-31 23:59.
    int put_PatternEndDate(FILETIME date);
    // 1 sets end date type 0, any other value 1.
    int put_NoEndDate(short noEnd);
    // Also sets end date type 2; refuses a negative count (0 is kept but cannot be written).
    int put_Occurrences(long count);
    // Type 0 with interval 0 is the every-weekday form and also sets the mask to 62.
    int put_Interval(long interval);
    int put_DayOfWeekMask(long mask);
    int put_DayOfMonth(long day);
    int put_Instance(long instance);
    int put_MonthOfYear(long month);
    // Minutes after midnight; always succeed (values are kept within 32 bits). For appointments
    // put_StartTime keeps a known duration and moves the end with the start; put_EndTime sets
    // the duration to end - start, plus 1440 when the end lies before the start (an appointment
    // crossing midnight).
    int put_StartTime(long minutes);
    int put_EndTime(long minutes);
    // Fails while the type is -1 or for a negative duration; for appointments the end time
    // becomes start + duration, also above 1440.
    int put_Duration(long minutes);

    // The Korean sentence ("3 일 마다 반복"; with an end "2004-03-01 부터 2004-03-29 까지 ...").
    // Fails for type -1 and for a pattern whose fields cannot be computed; type 4 gives "".
    int RecurPatternToStr(CString& text);

    // Occurrence slots of the pattern, taken as starting at `from`, whose date lies on or before
    // `to` (dates after 4500 are not counted). Fails, with *count = 0, unless the pattern is
    // valid and computable and from <= to.
    int GetOccurrences(long* count, FILETIME from, FILETIME to);
    // From the pattern start to its end (to 4500-12-31 23:59 without end).
    int GetOccurrences(long* count);
    // The date of the n-th occurrence (n from 1) in minutes since 1601, as a FILETIME or as a
    // SYSTEMTIME (with its day of week). A date that does not exist gives minute 0 with success.
    // Fails for n < 1, an invalid or uncomputable pattern, or an occurrence after 4500.
    int GetPatternEndDate(long* minutes, long n);
    int GetPatternEndDate(FILETIME* date, long n);
    int GetPatternEndDate(SYSTEMTIME* date, long n);

    // The walk. Each returns an existing occurrence's date and moves the current index onto it,
    // skipping dates that do not exist; each fails when there is none in its direction (past the
    // end count or end date, after 4500, or before the first).
    //   SeekFirst: the first occurrence. SeekNext: the next after the current index (a failure
    //   leaves the index past the end, so SeekPrev then gives the last). SeekPrev: the previous.
    //   SeekLast: the last; fails for a pattern without end.
    int SeekFirstRecurTime(FILETIME* occurrence);
    int SeekNextRecurTime(FILETIME* occurrence);
    int SeekPrevRecurTime(FILETIME* occurrence);
    int SeekLastRecurTime(FILETIME* occurrence);
    // For the calendar loader: moves the current index onto the first existing occurrence whose
    // date is on or after `from` and returns it, in constant time (the index comes from the
    // counting formulas, not from a walk over the earlier occurrences); SeekNextRecurTime then
    // continues from there. Fails like SeekNextRecurTime when no occurrence remains.
    int SeekRecurTimeFrom(FILETIME* occurrence, FILETIME from);

private:
    struct Rule;

    void reset();
    void freeBlob();
    int parseBlob();
    // Builds the BLOB into an owned buffer (replacing the held one); 0 when it cannot be built.
    int recurPatternToBlob();
    // Fills `rule` from the members; false when they cannot be computed.
    bool makeRule(Rule& rule) const;
    // After a put_: brings the derived end value (count for type 1, date for type 2) up to date.
    void syncEnd();
    long long startMinutes() const;
    long long endMinutes() const;
    // The highest occurrence index the pattern's end allows.
    long long lastIndex(const Rule& rule) const;
    int seekForward(const Rule& rule, long long index, FILETIME* occurrence);
    int seekBackward(const Rule& rule, long long index, FILETIME* occurrence);

    DWORD m_dwOid = 0;                   // object id of the appointment or task record
    CEBLOB m_blob;                       // the raw recurrence BLOB
    int m_bOwnBlob = 1;                  // 1 when m_blob's bytes are ours to free
    WORD m_wRecurFlagId = 0x4223;        // recurring flag: 0x4223 appointments, 0x4126 tasks
    WORD m_wBlobId = 0x4015;             // BLOB property: 0x4015 appointments, 0x4116 tasks
    int m_bInitialized = 0;              // set by a successful parse and every successful put_
    UINT m_uKind = 1;                    // 1 appointment, 4 task
    long m_lRecurrenceType = -1;         // 0 to 6, -1 none
    FILETIME m_ftPatternStartDate;       // first day of the pattern
    FILETIME m_ftPatternEndDate;         // last occurrence when the pattern ends
    long m_lOccurrences = 0;             // number of occurrences when the pattern ends
    UINT m_uEndDateType = 0;             // 0 no end, 1 by date, 2 by count
    long m_lInterval = 0;                // days, weeks, months or years; 0 every weekday
    long m_lDayOfWeekMask = 0;           // bit d for day d, Sunday = 1 ... Saturday = 64
    long m_lDayOfMonth = 0;              // 1 to 31
    long m_lInstance = 0;                // 1 to 5, 5 the last
    long m_lMonthOfYear = 0;             // 1 to 12
    long m_lStartTime = -1;              // minutes after midnight (appointments)
    long m_lEndTime = -1;                // minutes after midnight, start + duration (appointments)
    long m_lCurrentOccurrence = 0;       // 1-based index of the walk, 0 before it
    long m_lDuration = -1;               // minutes
};
