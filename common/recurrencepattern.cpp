// recurrencepattern.cpp - CRecurrencePattern: the stored BLOB, the accessors, the sentence, the
// counting formulas and the walk. The layout and the limits are described in the header.
//
// All date arithmetic is done on 64-bit day numbers (days since 1601-01-01, proleptic Gregorian)
// with closed formulas, so neither a BLOB nor a put_ can make it overflow, and no count or n-th
// occurrence depends on walking the occurrences before it.
#include "recurrencepattern.h"

#include "cedbdatabase.h"
#include "civildate.h"
#include "filetime.h"
#include "lecodec.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "stringtable.h"
#include "textutil.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <numeric>

namespace {

constexpr long long kMinutesPerDay = 1440;
constexpr long long kTicksPerMinute = static_cast<long long>(ZU_TICKS_PER_MINUTE);

// The stored "no end" date, 4500-12-31 23:59 in minutes since 1601. Nothing occurs after it:
// counts stop there, walks stop there, and no occurrence beyond it is handed out.
constexpr long long kNoEndMinutes = 0x5AE980DF;

// The largest interval accepted. The wizard offers at most 20 days or weeks, 18 months or 5 years;
// 999 leaves room for hand-made patterns while keeping every period field and step small.
constexpr long long kMaxInterval = 999;

// More occurrence slots than any pattern can have before 4500 (every day from 1601 gives
// 1,059,204), so an index above it is past the end whatever the pattern; it also keeps every
// product of index and interval far inside 64 bits.
constexpr long long kMaxIndex = 2000000;

// A skip over dates that do not exist gives up after one whole Gregorian cycle of steps. Months
// and leap years repeat every 400 years = 4800 months, so whichever the step (n months or n
// years), a pattern without an existing date in 4800 consecutive slots has none at all. Each
// pattern uses its own, often shorter, cycle (Rule::cycleSteps); this is the most any takes.
constexpr long long kCycleSteps = 4800;

// Stored constants of the BLOB.
constexpr WORD kVersion = 0x3004;
constexpr DWORD kSecondVersion = 0x00000305;
constexpr WORD kFreqDaily = 0x200A;
constexpr WORD kFreqWeekly = 0x200B;
constexpr WORD kFreqMonthly = 0x200C;
constexpr WORD kFreqYearly = 0x200D;
constexpr DWORD kKindDay = 0;
constexpr DWORD kKindWeek = 1;
constexpr DWORD kKindDayOfMonth = 2;
constexpr DWORD kKindNthWeekday = 3;
constexpr DWORD kEndByDate = 0x2021;
constexpr DWORD kEndByCount = 0x2022;
constexpr DWORD kEndNever = 0x2023;
constexpr DWORD kBlobSize = 72;
constexpr DWORD kBlobSizeNthAppointment = 74;
constexpr long kEveryWeekdayMask = 62;  // Monday to Friday

// The stored month spans (the first date-time of monthly and yearly patterns) are those of a
// common year; 1601 is one.
constexpr long long kCommonYear = 1601;

// Day numbers here count from 1601-01-01, the FILETIME epoch.
constexpr long long kDay1601 = ZuDaysFromCivil(1601, 1, 1);

long long floorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
long long floorMod(long long a, long long b) { return a - floorDiv(a, b) * b; }

// The day number of a date; a day beyond the month runs on into the next.
long long daysFromCivil(long long y, int m, int d) { return ZuDaysFromCivil(y, m, d) - kDay1601; }
ZuCivilDate civilFromDays(long long days) { return ZuCivilFromDays(days + kDay1601); }
// Sunday = 0.
int weekdayOf(long long days) { return ZuWeekdayFromDays(days + kDay1601); }

int popcount7(int mask) { return std::popcount(static_cast<unsigned>(mask & 0x7F)); }

// Position (0 to 6) of the k-th set bit of mask, k from 1; the caller ensures it exists.
int nthSetBit(int mask, long long k)
{
    for (int bit = 0; bit < 7; ++bit) {  // seven weekdays
        if ((mask & (1 << bit)) && --k == 0)
            return bit;
    }
    return 6;
}

// The instance-th day of the month matching the mask: f is the first day of the month whose
// weekday is in the mask, then whole weeks; instance 5 (the last) is f + 28 when it fits, else
// f + 21. The same rule as GetNthDayOfWeek, for any mask from 1 to 127 and any year.
int nthWeekdayOfMonth(long long y, int m, int instance, int mask)
{
    int weekday = weekdayOf(daysFromCivil(y, m, 1));
    int f = 1;
    while (!(mask & (1 << weekday)) && f < 7) {  // a non-empty mask matches within seven days
        weekday = (weekday + 1) % 7;
        ++f;
    }
    int day = f + 7 * (instance - 1);
    if (instance == 5 && day > ZuDaysInMonth(y, m))
        day -= 7;
    return day;
}

long long minutesOf(const FILETIME& ft) { return static_cast<long long>(ZuFileTimeToU64(ft) / ZU_TICKS_PER_MINUTE); }
FILETIME fileTimeOf(long long minutes) { return ZuU64ToFileTime(static_cast<ULONGLONG>(minutes) * ZU_TICKS_PER_MINUTE); }

SYSTEMTIME systemTimeOf(long long minutes)
{
    const long long day = floorDiv(minutes, kMinutesPerDay);
    const long long tod = floorMod(minutes, kMinutesPerDay);
    const ZuCivilDate date = civilFromDays(day);
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    st.wDayOfWeek = static_cast<WORD>(weekdayOf(day));
    st.wHour = static_cast<WORD>(tod / 60);
    st.wMinute = static_cast<WORD>(tod % 60);
    return st;
}

long clamp32(long v) { return static_cast<long>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

long long propInt(const CCeDBProp* p)
{
    if (!p)
        return 0;
    switch (p->GetType()) {
    case CEVT_I2: return p->GetShort();
    case CEVT_UI2: return p->GetUShort();
    case CEVT_I4: return p->GetLong();
    case CEVT_UI4: return p->GetULong();
    default: return 0;
    }
}

} // namespace

// The pattern reduced to what the formulas need, with every field checked.
struct CRecurrencePattern::Rule {
    enum Kind { Daily, Weekly, Monthly, MonthlyNth, Yearly, YearlyNth };
    Kind kind = Daily;
    long long interval = 1;  // days, weeks, months or years (>= 1)
    int mask = 0;            // weekly and nth kinds, 1 to 127
    int day = 0;             // day of month, 1 to 31
    int instance = 0;        // 1 to 5
    int month = 0;           // 1 to 12

    // Consecutive slots after which the calendar repeats for this pattern: whether a slot's date
    // exists depends only on its month within the 400-year cycle (4800 months), reached in steps
    // of `interval` months or years. Daily, weekly and nth kinds always have their date.
    long long cycleSteps() const
    {
        if (kind == Monthly)
            return kCycleSteps / std::gcd(interval, kCycleSteps);
        if (kind == Yearly)
            return 400 / std::gcd(interval, 400LL);
        return 1;
    }

    // The day of the nth kinds in a given month.
    int nthDay(long long y, int m) const { return nthWeekdayOfMonth(y, m, instance, mask); }

    // Occurrence slots, counted as if the pattern started at minute s, whose date is on or before
    // minute e (s <= e). An occurrence carries the time of day of s, so e's day counts only when
    // e's time of day is not earlier than s's.
    long long count(long long s, long long e) const
    {
        const long long tod = floorMod(s, kMinutesPerDay);
        const long long sDay = floorDiv(s, kMinutesPerDay);
        long long eDay = floorDiv(e, kMinutesPerDay);
        if (floorMod(e, kMinutesPerDay) < tod)
            --eDay;
        if (eDay < sDay)
            return 0;
        switch (kind) {
        case Daily:
            return (eDay - sDay) / interval + 1;
        case Weekly: {
            // Days counted from the Sunday of the start's week: x occurs when its week index
            // x / 7 is a multiple of the interval and its weekday is in the mask; the days of the
            // start's week before the start do not count.
            const int ws = weekdayOf(sDay);
            const long long sunday = sDay - ws;
            const long long period = 7 * interval;
            const long long span = eDay - sunday + 1;  // days 0 .. span - 1
            const long long rest = span % period;
            const long long upTo = (span / period) * popcount7(mask)
                + (rest >= 7 ? popcount7(mask) : popcount7(mask & ((1 << rest) - 1)));
            return upTo - popcount7(mask & ((1 << ws) - 1));
        }
        case Monthly:
        case MonthlyNth: {
            const ZuCivilDate a = civilFromDays(sDay);
            const ZuCivilDate b = civilFromDays(eDay);
            const long long months = (b.year - a.year) * 12 + b.month - a.month;
            const int first = kind == Monthly ? day : nthDay(a.year, a.month);
            const int last = kind == Monthly ? day : nthDay(b.year, b.month);
            return months / interval + (first >= a.day ? 1 : 0) - (months % interval == 0 && b.day < last ? 1 : 0);
        }
        case Yearly:
        case YearlyNth: {
            const ZuCivilDate a = civilFromDays(sDay);
            const ZuCivilDate b = civilFromDays(eDay);
            const long long years = b.year - a.year;
            const int first = kind == Yearly ? day : nthDay(a.year, month);
            const int last = kind == Yearly ? day : nthDay(b.year, month);
            const bool inStartYear = month > a.month || (month == a.month && first >= a.day);
            const bool afterEnd = month > b.month || (month == b.month && last > b.day);
            return years / interval + (inStartYear ? 1 : 0) - (years % interval == 0 && afterEnd ? 1 : 0);
        }
        }
        return 0;
    }

    // Slot k (1 <= k <= kMaxIndex) of the pattern starting at minute s: its minute and whether
    // its date exists. A slot without a date (the 31st of a 30-day month) is placed on the
    // month's last day, which only matters for comparing it with the 4500 limit.
    struct Slot {
        long long minutes;
        bool exists;
    };
    Slot slot(long long s, long long k) const
    {
        const long long tod = floorMod(s, kMinutesPerDay);
        const long long sDay = floorDiv(s, kMinutesPerDay);
        const auto at = [tod](long long d, bool exists) { return Slot{d * kMinutesPerDay + tod, exists}; };
        switch (kind) {
        case Daily:
            return at(sDay + (k - 1) * interval, true);
        case Weekly: {
            // The mask days of the start's week on or after the start come first, then every
            // interval-th week holds one full set of mask days.
            const int ws = weekdayOf(sDay);
            const long long sunday = sDay - ws;
            const int late = mask & ~((1 << ws) - 1);
            const int inFirstWeek = popcount7(late);
            if (k <= inFirstWeek)
                return at(sunday + nthSetBit(late, k), true);
            const int perWeek = popcount7(mask);
            const long long rest = k - inFirstWeek - 1;
            const long long week = rest / perWeek + 1;
            return at(sunday + 7 * interval * week + nthSetBit(mask, rest % perWeek + 1), true);
        }
        case Monthly:
        case MonthlyNth: {
            const ZuCivilDate a = civilFromDays(sDay);
            const int first = kind == Monthly ? day : nthDay(a.year, a.month);
            const long long t = interval * (k - (first >= a.day ? 1 : 0)) + a.month;  // month index, >= 1
            const long long y = a.year + (t - 1) / 12;
            const int m = static_cast<int>((t - 1) % 12) + 1;
            if (kind == MonthlyNth)
                return at(daysFromCivil(y, m, nthDay(y, m)), true);
            const int length = ZuDaysInMonth(y, m);
            return at(daysFromCivil(y, m, std::min(day, length)), day <= length);
        }
        case Yearly:
        case YearlyNth: {
            const ZuCivilDate a = civilFromDays(sDay);
            const int first = kind == Yearly ? day : nthDay(a.year, month);
            const bool inStartYear = month > a.month || (month == a.month && first >= a.day);
            const long long y = a.year + interval * (k - (inStartYear ? 1 : 0));
            if (kind == YearlyNth)
                return at(daysFromCivil(y, month, nthDay(y, month)), true);
            const int length = ZuDaysInMonth(y, month);
            return at(daysFromCivil(y, month, std::min(day, length)), day <= length);
        }
        }
        return {0, false};
    }

    // The last existing occurrence among slots 1 .. k: its index and minute; false when none of
    // the last calendar cycle of them exists (then none exists at all).
    bool lastExisting(long long s, long long k, long long& index, long long& minutes) const
    {
        const long long cycle = cycleSteps();
        for (long long step = 0; step < cycle && k >= 1; ++step, --k) {  // one calendar cycle
            const Slot sl = slot(s, k);
            if (sl.exists) {
                index = k;
                minutes = sl.minutes;
                return true;
            }
        }
        return false;
    }
};

// ---- Construction ---------------------------------------------------------------------------

CRecurrencePattern::CRecurrencePattern(UINT kind)
{
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
}

CRecurrencePattern::CRecurrencePattern(DWORD oid, UINT kind) : CRecurrencePattern(kind)
{
    SetRecurPattern(oid, kind);
}

CRecurrencePattern::CRecurrencePattern(CEBLOB blob, UINT copy, UINT kind) : CRecurrencePattern(kind)
{
    SetRecurPattern(blob, copy);
}

CRecurrencePattern::CRecurrencePattern(const CRecurrencePattern& other) { InternalCopy(&other); }

CRecurrencePattern& CRecurrencePattern::operator=(const CRecurrencePattern& other)
{
    InternalCopy(&other);
    return *this;
}

void CRecurrencePattern::InternalCopy(const CRecurrencePattern* other)
{
    if (!other || other == this)
        return;
    freeBlob();
    if (other->m_blob.lpb && other->m_blob.dwCount) {
        m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, other->m_blob.dwCount));
        if (m_blob.lpb) {
            std::memcpy(m_blob.lpb, other->m_blob.lpb, other->m_blob.dwCount);
            m_blob.dwCount = other->m_blob.dwCount;
        }
    }
    m_bOwnBlob = 1;
    m_dwOid = other->m_dwOid;
    m_wRecurFlagId = other->m_wRecurFlagId;
    m_wBlobId = other->m_wBlobId;
    m_bInitialized = other->m_bInitialized;
    m_uKind = other->m_uKind;
    m_lRecurrenceType = other->m_lRecurrenceType;
    m_ftPatternStartDate = other->m_ftPatternStartDate;
    m_ftPatternEndDate = other->m_ftPatternEndDate;
    m_lOccurrences = other->m_lOccurrences;
    m_uEndDateType = other->m_uEndDateType;
    m_lInterval = other->m_lInterval;
    m_lDayOfWeekMask = other->m_lDayOfWeekMask;
    m_lDayOfMonth = other->m_lDayOfMonth;
    m_lInstance = other->m_lInstance;
    m_lMonthOfYear = other->m_lMonthOfYear;
    m_lStartTime = other->m_lStartTime;
    m_lEndTime = other->m_lEndTime;
    m_lCurrentOccurrence = other->m_lCurrentOccurrence;
    m_lDuration = other->m_lDuration;
}

CRecurrencePattern::~CRecurrencePattern() { freeBlob(); }

void CRecurrencePattern::freeBlob()
{
    if (m_bOwnBlob && m_blob.lpb)
        LocalFree(m_blob.lpb);
    m_blob = CEBLOB{};
    m_bOwnBlob = 1;
}

// Back to the empty pattern; oid, kind, identifiers and BLOB stay.
void CRecurrencePattern::reset()
{
    m_bInitialized = 0;
    m_lRecurrenceType = -1;
    m_ftPatternStartDate = FILETIME{};
    m_ftPatternEndDate = FILETIME{};
    m_lOccurrences = 0;
    m_uEndDateType = 0;
    m_lInterval = 0;
    m_lDayOfWeekMask = 0;
    m_lDayOfMonth = 0;
    m_lInstance = 0;
    m_lMonthOfYear = 0;
    m_lStartTime = -1;
    m_lEndTime = -1;
    m_lCurrentOccurrence = 0;
    m_lDuration = -1;
}

// ---- Loading, parsing, saving ---------------------------------------------------------------

int CRecurrencePattern::SetRecurPattern(DWORD oid, UINT kind)
{
    freeBlob();
    reset();
    m_dwOid = oid;
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
    if (kind != ZU_SEL_APPOINTMENTS && kind != ZU_SEL_TASKS)
        return 0;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, static_cast<int>(kind)))
        return 0;
    CCeDBRecord record;
    long long taskMinutes = 0;
    bool haveTaskLength = false;
    bool loaded = false;
    if (oid != 0 && db.SeekToRecord(oid) && db.ReadCurrRecord(&record) && propInt(record.GetIdProp(m_wRecurFlagId)) == 1) {
        if (CCeDBProp* prop = record.GetIdProp(m_wBlobId); prop && prop->GetType() == CEVT_BLOB) {
            const CEBLOB stored = prop->GetBlob();
            loaded = true;
            if (stored.lpb && stored.dwCount) {
                m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, stored.dwCount));
                if (m_blob.lpb) {
                    std::memcpy(m_blob.lpb, stored.lpb, stored.dwCount);
                    m_blob.dwCount = stored.dwCount;
                }
            }
        }
        const CCeDBProp* start = record.GetIdProp(ZUID_TASK_START);
        const CCeDBProp* due = record.GetIdProp(ZUID_TASK_DUE);
        if (kind == ZU_SEL_TASKS && start && due && start->GetType() == CEVT_FILETIME && due->GetType() == CEVT_FILETIME) {
            const ULONGLONG difference = ZuFileTimeToU64(due->GetFiletime()) - ZuFileTimeToU64(start->GetFiletime());
            taskMinutes = static_cast<long long>(difference) / kTicksPerMinute;  // two's complement: due - start
            haveTaskLength = true;
        }
    }
    CloseDatabase(&db);
    if (!loaded || !parseBlob())
        return 0;
    if (haveTaskLength)
        m_lDuration = static_cast<long>(taskMinutes);
    return 1;
}

int CRecurrencePattern::SetRecurPattern(CEBLOB blob, UINT copy)
{
    freeBlob();
    reset();
    if (blob.lpb && blob.dwCount) {
        if (copy == 1) {
            m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, blob.dwCount));
            if (!m_blob.lpb)
                return 0;
            std::memcpy(m_blob.lpb, blob.lpb, blob.dwCount);
            m_blob.dwCount = blob.dwCount;
        } else {
            m_blob = blob;
            m_bOwnBlob = 0;
        }
    }
    return parseBlob();
}

// Reads m_blob into the members. On failure the pattern is left empty and uninitialised.
int CRecurrencePattern::parseBlob()
{
    // Fields beyond the end of a short BLOB read as 0.
    ZuLeReader r(m_blob.lpb, m_blob.dwCount);
    const size_t size = r.size();
    const auto rd32 = [&r](size_t offset) { return static_cast<DWORD>(r.u32At(offset)); };

    const WORD frequency = r.u16At(4);
    const DWORD kind = rd32(6);  // pattern kind and calendar kind as one value
    long type = -1;
    size_t c = 0;
    bool everyWeekday = false;
    switch (frequency) {
    case kFreqDaily:
        type = 0;
        everyWeekday = kind == kKindWeek;
        c = everyWeekday ? 4 : 0;
        break;
    case kFreqWeekly:
        type = 1;
        c = 4;
        break;
    case kFreqMonthly:
    case kFreqYearly:
        if (kind == kKindDayOfMonth || kind == kKindNthWeekday) {
            const bool nth = kind == kKindNthWeekday;
            type = frequency == kFreqMonthly ? (nth ? 3 : 2) : (nth ? 6 : 5);
            c = nth ? 8 : 4;
        }
        break;
    default:
        break;
    }
    if (type == -1) {
        reset();
        return 0;
    }

    const DWORD first = rd32(10);
    const DWORD period = rd32(14);
    long long interval = period;
    if (type == 5 || type == 6)
        interval = period / 12;
    else if (type == 0)
        interval = everyWeekday ? 0 : period / kMinutesPerDay;
    const DWORD specific1 = rd32(22);
    const DWORD specific2 = rd32(26);

    long month = 0;
    if (type == 5 || type == 6) {
        // The month whose common-year span holds `first` days.
        const long long days = first / kMinutesPerDay;
        long long sum = 0;
        month = 1;
        for (int m = 0; m < 12; ++m) {  // twelve months
            sum += ZuDaysInMonth(kCommonYear, m + 1);
            if (sum > days)
                break;
            month = std::min(m + 2, 12);
        }
    }

    const DWORD endType = rd32(22 + c);
    const DWORD storedCount = rd32(26 + c);
    // Exception dates: D deleted, then M modified, each followed by its 4-byte dates.
    size_t offset = 34 + c;
    const DWORD deleted = rd32(offset);
    offset += 4;
    const auto fits = [size](size_t at, DWORD dates) {
        return dates == 0 || (at <= size && dates <= (size - at) / 4);
    };
    bool corrupt = !fits(offset, deleted);
    DWORD modified = 0;
    if (!corrupt) {
        offset += 4 * static_cast<size_t>(deleted);
        modified = rd32(offset);
        offset += 4;
        corrupt = !fits(offset, modified);
        offset += corrupt ? 0 : 4 * static_cast<size_t>(modified);
    }

    // Refuse what cannot be computed.
    const bool intervalOk = type == 0 ? (everyWeekday || (interval >= 1 && interval <= kMaxInterval))
                                      : (interval >= 1 && interval <= kMaxInterval);
    const bool maskOk = specific1 >= 1 && specific1 <= 127;
    bool fieldsOk = intervalOk;
    switch (type) {
    case 0: fieldsOk = fieldsOk && (!everyWeekday || maskOk); break;
    case 1: fieldsOk = fieldsOk && maskOk; break;
    case 2:
    case 5: fieldsOk = fieldsOk && specific1 >= 1 && specific1 <= 31; break;
    case 3:
    case 6: fieldsOk = fieldsOk && maskOk && specific2 >= 1 && specific2 <= 5; break;
    default: break;
    }
    if (corrupt || !fieldsOk) {
        reset();
        return 0;
    }

    reset();
    m_lRecurrenceType = type;
    m_lInterval = static_cast<long>(interval);
    if (type == 1 || type == 3 || type == 6 || everyWeekday)
        m_lDayOfWeekMask = static_cast<long>(specific1);
    if (type == 2 || type == 5)
        m_lDayOfMonth = static_cast<long>(specific1);
    if (type == 3 || type == 6)
        m_lInstance = static_cast<long>(specific2);
    if (type == 5 || type == 6)
        m_lMonthOfYear = month;
    m_uEndDateType = endType == kEndByDate ? 1 : (endType == kEndByCount ? 2 : 0);
    m_lOccurrences = m_uEndDateType ? static_cast<long>(storedCount) : 0;
    m_ftPatternStartDate = fileTimeOf(rd32(offset));
    m_ftPatternEndDate = fileTimeOf(rd32(offset + 4));
    if (m_uKind == 1) {
        m_lStartTime = static_cast<LONG>(rd32(offset + 16));
        m_lEndTime = static_cast<LONG>(rd32(offset + 20));
        long long duration = static_cast<long long>(m_lEndTime) - m_lStartTime;
        if (m_lEndTime < m_lStartTime)
            duration += kMinutesPerDay;  // crosses midnight
        m_lDuration = static_cast<long>(std::clamp<long long>(duration, INT32_MIN, INT32_MAX));
    }
    m_bInitialized = 1;
    return 1;
}

int CRecurrencePattern::recurPatternToBlob()
{
    if (!IsValid())
        return 0;
    const long type = m_lRecurrenceType;
    Rule rule;
    const bool computable = makeRule(rule);
    if (type != 4 && !computable)
        return 0;
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return 0;

    // The end: derived first, since a pattern without an occurrence before its end is not written.
    DWORD endType = kEndNever;
    long long count = 0;
    long long endMinutesValue = kNoEndMinutes;
    if (m_uEndDateType != 0) {
        if (!computable)
            return 0;
        const long long possible = rule.count(s, kNoEndMinutes);
        long long lastIndexValue = 0;
        if (m_uEndDateType == 1) {
            const long long e = endMinutes();
            if (e < s)
                return 0;
            count = rule.count(s, std::min(e, kNoEndMinutes));
            endType = kEndByDate;
        } else {
            count = m_lOccurrences;
            endType = kEndByCount;
        }
        if (count < 1 || count > possible || !rule.lastExisting(s, count, lastIndexValue, endMinutesValue))
            return 0;
        // Ending by date, the end snaps back onto the last existing occurrence and the count is
        // that occurrence's index, so the stored pair reads back and writes again unchanged.
        if (m_uEndDateType == 1)
            count = lastIndexValue;
        m_lOccurrences = static_cast<long>(count);
        m_ftPatternEndDate = fileTimeOf(endMinutesValue);
    }

    WORD frequency = 0;
    WORD kind = 0;
    long long first = 0;
    long long period = 0;
    size_t c = 0;
    DWORD specific1 = 0;
    DWORD specific2 = 0;
    const long long n = m_lInterval;
    const auto commonYearDays = [](long months) {
        long long days = 0;
        for (long m = 0; m < months && m < 12; ++m)  // at most twelve months
            days += ZuDaysInMonth(kCommonYear, static_cast<int>(m) + 1);
        return days;
    };
    const long startMonth = static_cast<long>(civilFromDays(floorDiv(s, kMinutesPerDay)).month);
    switch (type) {
    case 0:
        frequency = kFreqDaily;
        if (n >= 1) {
            kind = kKindDay;
            first = s % (n * kMinutesPerDay);
            period = n * kMinutesPerDay;
        } else {
            kind = kKindWeek;
            first = 8640;
            period = 1;
            c = 4;
            specific1 = static_cast<DWORD>(m_lDayOfWeekMask & 0xFF);
        }
        break;
    case 1: {
        frequency = kFreqWeekly;
        kind = kKindWeek;
        const long long weeks = n * 10080;
        first = floorMod(s % weeks - kMinutesPerDay, weeks);
        period = n;
        c = 4;
        specific1 = static_cast<DWORD>(m_lDayOfWeekMask & 0xFF);
        break;
    }
    case 2:
    case 3:
        frequency = kFreqMonthly;
        kind = type == 2 ? kKindDayOfMonth : kKindNthWeekday;
        first = kMinutesPerDay * commonYearDays(static_cast<long>((startMonth - 1) % n));
        period = n;
        c = type == 2 ? 4 : 8;
        specific1 = static_cast<DWORD>((type == 2 ? m_lDayOfMonth : m_lDayOfWeekMask) & 0xFF);
        specific2 = static_cast<DWORD>(m_lInstance & 0xFF);
        break;
    case 5:
    case 6:
        frequency = kFreqYearly;
        kind = type == 5 ? kKindDayOfMonth : kKindNthWeekday;
        first = kMinutesPerDay * commonYearDays(m_lMonthOfYear - 1);
        period = n * 12;
        c = type == 5 ? 4 : 8;
        specific1 = static_cast<DWORD>((type == 5 ? m_lDayOfMonth : m_lDayOfWeekMask) & 0xFF);
        specific2 = static_cast<DWORD>(m_lInstance & 0xFF);
        break;
    default:  // type 4 has no stored form of its own: frequency, kind, first and period 0
        break;
    }

    const bool appointment = m_uKind == 1;
    const DWORD size = appointment && c == 8 ? kBlobSizeNthAppointment : kBlobSize;
    ZuLeWriter w(size);
    w.u16At(0, kVersion);
    w.u16At(2, kVersion);
    w.u16At(4, frequency);
    w.u16At(6, kind);
    w.u32At(10, static_cast<DWORD>(first));
    w.u32At(14, static_cast<DWORD>(period));
    if (c >= 4)
        w.u32At(22, specific1);
    if (c == 8)
        w.u32At(26, specific2);
    w.u32At(22 + c, endType);
    w.u32At(26 + c, static_cast<DWORD>(count));
    w.u32At(42 + c, static_cast<DWORD>(s));
    w.u32At(46 + c, static_cast<DWORD>(endMinutesValue));
    if (appointment) {
        w.u32At(50 + c, kSecondVersion);
        w.u32At(54 + c, kSecondVersion);
        // Unset times (-1) are written as 0; the end offset is start + duration, which exceeds
        // 1440 for an appointment that crosses midnight, kept within the signed 32 bits it is
        // read back as.
        const long long start = std::max<long long>(m_lStartTime, 0);
        const long long duration = std::max<long long>(m_lDuration, 0);
        w.u32At(58 + c, static_cast<DWORD>(start));
        w.u32At(62 + c, static_cast<DWORD>(std::min<long long>(start + duration, INT32_MAX)));
    }
    auto* bytes = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    if (!bytes)
        return 0;
    std::memcpy(bytes, w.data(), size);
    freeBlob();
    m_blob.lpb = bytes;
    m_blob.dwCount = size;
    m_bOwnBlob = 1;
    return 1;
}

int CRecurrencePattern::SaveRecurPattern(DWORD oid, UINT kind)
{
    m_dwOid = oid;
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
    return SaveRecurPattern();
}

int CRecurrencePattern::SaveRecurPattern()
{
    if (m_uKind != ZU_SEL_APPOINTMENTS && m_uKind != ZU_SEL_TASKS)
        return 0;
    if (m_dwOid == 0 || !recurPatternToBlob())
        return 0;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, static_cast<int>(m_uKind)))
        return 0;
    int saved = 0;
    CCeDBRecord record;
    if (db.SeekToRecord(m_dwOid) && db.ReadCurrRecord(&record)) {
        CCeDBRecord change;
        const CCeDBProp prop(m_blob, m_wBlobId);
        change.AddProp(&prop);
        saved = db.WriteRecord(change, m_dwOid) != 0 ? 1 : 0;
    }
    CloseDatabase(&db);
    return saved;
}

int CRecurrencePattern::GetRecurPattern(CEBLOB* blob)
{
    if (!blob || !recurPatternToBlob())
        return 0;
    auto* bytes = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, m_blob.dwCount));
    if (!bytes)
        return 0;
    std::memcpy(bytes, m_blob.lpb, m_blob.dwCount);
    if (blob->lpb)
        LocalFree(blob->lpb);
    blob->lpb = bytes;
    blob->dwCount = m_blob.dwCount;
    return 1;
}

int CRecurrencePattern::GetRecurPattern(CEBLOB& blob) { return GetRecurPattern(&blob); }

UINT CRecurrencePattern::SetEndDateType(UINT type)
{
    const UINT previous = m_uEndDateType;
    if (type <= 2) {
        m_uEndDateType = type;
        syncEnd();
    }
    return previous;
}

// ---- Derived values -------------------------------------------------------------------------

long long CRecurrencePattern::startMinutes() const { return minutesOf(m_ftPatternStartDate); }
long long CRecurrencePattern::endMinutes() const { return minutesOf(m_ftPatternEndDate); }

bool CRecurrencePattern::makeRule(Rule& rule) const
{
    if (!IsValid())
        return false;
    const auto inRange = [](long v, long lo, long hi) { return v >= lo && v <= hi; };
    const bool intervalOk = inRange(m_lInterval, 1, kMaxInterval);
    const bool maskOk = inRange(m_lDayOfWeekMask, 1, 127);
    rule.interval = m_lInterval;
    rule.mask = static_cast<int>(m_lDayOfWeekMask);
    rule.day = static_cast<int>(m_lDayOfMonth);
    rule.instance = static_cast<int>(m_lInstance);
    rule.month = static_cast<int>(m_lMonthOfYear);
    switch (m_lRecurrenceType) {
    case 0:
        if (m_lInterval == 0) {
            // Every weekday: weekly on Monday to Friday.
            rule.kind = Rule::Weekly;
            rule.interval = 1;
            rule.mask = kEveryWeekdayMask;
            return true;
        }
        rule.kind = Rule::Daily;
        return intervalOk;
    case 1:
        rule.kind = Rule::Weekly;
        return intervalOk && maskOk;
    case 2:
        rule.kind = Rule::Monthly;
        return intervalOk && inRange(m_lDayOfMonth, 1, 31);
    case 3:
        rule.kind = Rule::MonthlyNth;
        return intervalOk && maskOk && inRange(m_lInstance, 1, 5);
    case 5:
        rule.kind = Rule::Yearly;
        return intervalOk && inRange(m_lMonthOfYear, 1, 12) && inRange(m_lDayOfMonth, 1, 31);
    case 6:
        rule.kind = Rule::YearlyNth;
        return intervalOk && inRange(m_lMonthOfYear, 1, 12) && maskOk && inRange(m_lInstance, 1, 5);
    default:
        return false;
    }
}

void CRecurrencePattern::syncEnd()
{
    Rule rule;
    if (m_uEndDateType == 0 || !makeRule(rule))
        return;
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return;
    if (m_uEndDateType == 1) {
        const long long e = endMinutes();
        m_lOccurrences = e < s ? 0 : static_cast<long>(rule.count(s, std::min(e, kNoEndMinutes)));
    } else if (m_lOccurrences >= 1) {
        const long long k = std::min<long long>(m_lOccurrences, rule.count(s, kNoEndMinutes));
        long long index = 0;
        long long minutes = 0;
        if (rule.lastExisting(s, k, index, minutes))
            m_ftPatternEndDate = fileTimeOf(minutes);
    }
}

long long CRecurrencePattern::lastIndex(const Rule& rule) const
{
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return 0;
    long long last = rule.count(s, kNoEndMinutes);
    if (m_uEndDateType == 2) {
        last = std::min<long long>(last, std::max<long long>(m_lOccurrences, 0));
    } else if (m_uEndDateType == 1) {
        const long long e = endMinutes();
        last = e < s ? 0 : std::min(last, rule.count(s, std::min(e, kNoEndMinutes)));
    }
    return std::min(last, kMaxIndex);
}

int CRecurrencePattern::RecurPatternToStr(CString& text)
{
    if (!IsValid())
        return 0;
    Rule rule;
    const long type = m_lRecurrenceType;
    if (type != 4 && !makeRule(rule))
        return 0;
    const int n = static_cast<int>(m_lInterval);
    const CString days = GetPoomDayOfWeekString(m_lDayOfWeekMask, 0);
    const CString instance = GetPoomInstanceString(m_lInstance, 0);
    const CString month = GetMonthOfYearString(m_lMonthOfYear);
    const int day = static_cast<int>(m_lDayOfMonth);
    CString part;
    switch (type) {
    case 0:
        if (n < 1)
            part = ZuLoadString(ZuStr::RecurEveryWeekday);
        else if (n == 1)
            part = ZuLoadString(ZuStr::RecurEveryDay);
        else
            part.Format(ZuLoadString(ZuStr::RecurEveryNDays), n);
        break;
    case 1:
        if (n < 2)
            part.Format(ZuLoadString(ZuStr::RecurWeekly), static_cast<const wchar_t*>(days));
        else
            part.Format(ZuLoadString(ZuStr::RecurEveryNWeeks), n, static_cast<const wchar_t*>(days));
        break;
    case 2:
        part.Format(ZuLoadString(ZuStr::RecurMonthly), n, day);
        break;
    case 3:
        part.Format(ZuLoadString(ZuStr::RecurMonthNth), n, static_cast<const wchar_t*>(instance), static_cast<const wchar_t*>(days));
        break;
    case 5:
        part.Format(ZuLoadString(ZuStr::RecurYearly), n, static_cast<const wchar_t*>(month), day);
        break;
    case 6:
        part.Format(ZuLoadString(ZuStr::RecurYearNth), n, static_cast<const wchar_t*>(month), static_cast<const wchar_t*>(instance),
            static_cast<const wchar_t*>(days));
        break;
    default:  // type 4: no sentence of its own
        break;
    }
    if (m_uEndDateType == 0) {
        text = part;
        return 1;
    }
    if (m_uEndDateType == 2)
        syncEnd();  // the end date of a counted pattern follows from its count
    const SYSTEMTIME from = systemTimeOf(startMinutes());
    const SYSTEMTIME until = systemTimeOf(endMinutes());
    CString fromText;
    CString untilText;
    fromText.Format(ZuLoadString(ZuStr::RecurFrom), int{from.wYear}, int{from.wMonth}, int{from.wDay});
    untilText.Format(ZuLoadString(ZuStr::RecurUntil), int{until.wYear}, int{until.wMonth}, int{until.wDay});
    text.Format(L"%s %s %s", static_cast<const wchar_t*>(fromText), static_cast<const wchar_t*>(untilText),
        static_cast<const wchar_t*>(part));
    return 1;
}

int CRecurrencePattern::GetOccurrences(long* count, FILETIME from, FILETIME to)
{
    if (!count)
        return 0;
    *count = 0;
    Rule rule;
    if (!makeRule(rule))
        return 0;
    const long long s = minutesOf(from);
    long long e = minutesOf(to);
    if (s > e)
        return 0;
    e = std::min(e, kNoEndMinutes);  // nothing occurs after 4500
    if (s <= e)
        *count = static_cast<long>(rule.count(s, e));
    return 1;
}

int CRecurrencePattern::GetOccurrences(long* count)
{
    const FILETIME to = m_uEndDateType == 0 ? fileTimeOf(kNoEndMinutes) : m_ftPatternEndDate;
    return GetOccurrences(count, m_ftPatternStartDate, to);
}

int CRecurrencePattern::GetPatternEndDate(long* minutes, long n)
{
    Rule rule;
    if (!minutes || n < 1 || n > kMaxIndex || !makeRule(rule))
        return 0;
    const Rule::Slot slot = rule.slot(startMinutes(), n);
    if (slot.minutes > kNoEndMinutes)
        return 0;
    *minutes = slot.exists ? static_cast<long>(slot.minutes) : 0;
    return 1;
}

int CRecurrencePattern::GetPatternEndDate(FILETIME* date, long n)
{
    long minutes = 0;
    if (!date || !GetPatternEndDate(&minutes, n))
        return 0;
    *date = fileTimeOf(minutes);
    return 1;
}

int CRecurrencePattern::GetPatternEndDate(SYSTEMTIME* date, long n)
{
    long minutes = 0;
    if (!date || !GetPatternEndDate(&minutes, n))
        return 0;
    *date = systemTimeOf(minutes);
    return 1;
}

// ---- The walk -------------------------------------------------------------------------------

// Moves onto the first existing occurrence at index >= `index`.
int CRecurrencePattern::seekForward(const Rule& rule, long long index, FILETIME* occurrence)
{
    const long long s = startMinutes();
    const long long last = lastIndex(rule);
    const long long cycle = rule.cycleSteps();
    index = std::max(index, 1LL);
    for (long long step = 0; step < cycle && index <= last; ++step, ++index) {  // one calendar cycle
        const Rule::Slot slot = rule.slot(s, index);
        if (slot.exists) {
            m_lCurrentOccurrence = static_cast<long>(index);
            *occurrence = fileTimeOf(slot.minutes);
            return 1;
        }
    }
    m_lCurrentOccurrence = static_cast<long>(std::min(index, last + 1));
    return 0;
}

// Moves onto the last existing occurrence at index <= `index`.
int CRecurrencePattern::seekBackward(const Rule& rule, long long index, FILETIME* occurrence)
{
    const long long s = startMinutes();
    const long long cycle = rule.cycleSteps();
    index = std::min(index, lastIndex(rule));
    for (long long step = 0; step < cycle && index >= 1; ++step, --index) {  // one calendar cycle
        const Rule::Slot slot = rule.slot(s, index);
        if (slot.exists) {
            m_lCurrentOccurrence = static_cast<long>(index);
            *occurrence = fileTimeOf(slot.minutes);
            return 1;
        }
    }
    m_lCurrentOccurrence = 0;
    return 0;
}

int CRecurrencePattern::SeekFirstRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekForward(rule, 1, occurrence);
}

int CRecurrencePattern::SeekNextRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekForward(rule, static_cast<long long>(m_lCurrentOccurrence) + 1, occurrence);
}

int CRecurrencePattern::SeekPrevRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekBackward(rule, static_cast<long long>(m_lCurrentOccurrence) - 1, occurrence);
}

int CRecurrencePattern::SeekLastRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || m_uEndDateType == 0 || !makeRule(rule))
        return 0;
    return seekBackward(rule, lastIndex(rule), occurrence);
}

int CRecurrencePattern::SeekRecurTimeFrom(FILETIME* occurrence, FILETIME from)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    const long long s = startMinutes();
    // The first minute on or after `from`; occurrences before it are the slots counted up to the
    // minute before.
    const ULONGLONG ticks = ZuFileTimeToU64(from);
    const long long fromMinutes = static_cast<long long>(ticks / ZU_TICKS_PER_MINUTE + (ticks % ZU_TICKS_PER_MINUTE ? 1 : 0));
    long long index = 1;
    if (fromMinutes > s)
        index = rule.count(s, std::min(fromMinutes - 1, kNoEndMinutes)) + 1;
    return seekForward(rule, index, occurrence);
}

// ---- Accessors ------------------------------------------------------------------------------

int CRecurrencePattern::get_RecurrenceType(long* type) const
{
    if (!type || !IsValid())
        return 0;
    *type = m_lRecurrenceType;
    return 1;
}

int CRecurrencePattern::get_PatternStartDate(FILETIME* date) const
{
    if (!date || !IsValid())
        return 0;
    *date = m_ftPatternStartDate;
    return 1;
}

int CRecurrencePattern::get_PatternEndDate(FILETIME* date) const
{
    if (!date || !IsValid())
        return 0;
    *date = m_ftPatternEndDate;
    return 1;
}

int CRecurrencePattern::get_NoEndDate(short* noEnd) const
{
    if (!noEnd || !IsValid())
        return 0;
    *noEnd = m_uEndDateType == 0 ? 1 : 0;
    return 1;
}

int CRecurrencePattern::get_Occurrences(long* count) const
{
    if (!count || !IsValid())
        return 0;
    *count = m_lOccurrences;
    return 1;
}

int CRecurrencePattern::get_Interval(long* interval) const
{
    if (!interval || !IsValid())
        return 0;
    *interval = m_lInterval;
    return 1;
}

int CRecurrencePattern::get_DayOfWeekMask(long* mask) const
{
    if (!mask || !IsValid())
        return 0;
    *mask = m_lDayOfWeekMask;
    return 1;
}

int CRecurrencePattern::get_DayOfMonth(long* day) const
{
    if (!day || !IsValid() || m_lDayOfMonth < 1 || m_lDayOfMonth > 31)
        return 0;
    *day = m_lDayOfMonth;
    return 1;
}

int CRecurrencePattern::get_Instance(long* instance) const
{
    if (!instance || !IsValid())
        return 0;
    *instance = m_lInstance;
    return 1;
}

int CRecurrencePattern::get_MonthOfYear(long* month) const
{
    if (!month || !IsValid())
        return 0;
    *month = m_lMonthOfYear;
    return 1;
}

int CRecurrencePattern::get_Duration(long* minutes) const
{
    if (!minutes || !IsValid())
        return 0;
    *minutes = m_lDuration;
    return 1;
}

int CRecurrencePattern::get_StartTime(long* minutes) const
{
    if (!minutes)
        return 0;
    *minutes = m_lStartTime;
    return 1;
}

int CRecurrencePattern::get_EndTime(long* minutes) const
{
    if (!minutes)
        return 0;
    *minutes = m_lEndTime;
    return 1;
}

int CRecurrencePattern::put_RecurrenceType(long type)
{
    if (type < 0 || type > 6)
        return 0;
    m_lRecurrenceType = type;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_PatternStartDate(FILETIME date)
{
    if (m_lRecurrenceType == -1 || minutesOf(date) > kNoEndMinutes)
        return 0;
    m_ftPatternStartDate = date;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_PatternEndDate(FILETIME date)
{
    if (m_lRecurrenceType == -1 || minutesOf(date) > kNoEndMinutes)
        return 0;
    m_ftPatternEndDate = date;
    m_uEndDateType = 1;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_NoEndDate(short noEnd)
{
    if (m_lRecurrenceType == -1)
        return 0;
    m_uEndDateType = noEnd == 1 ? 0 : 1;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Occurrences(long count)
{
    if (m_lRecurrenceType == -1 || count < 0)
        return 0;
    m_lOccurrences = count;
    m_uEndDateType = 2;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Interval(long interval)
{
    if (m_lRecurrenceType == -1)
        return 0;
    const bool everyWeekday = m_lRecurrenceType == 0 && interval == 0;
    if (!everyWeekday && (interval < 1 || interval > kMaxInterval))
        return 0;
    m_lInterval = interval;
    if (everyWeekday)
        m_lDayOfWeekMask = kEveryWeekdayMask;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_DayOfWeekMask(long mask)
{
    if (m_lRecurrenceType == -1 || mask < 1 || mask > 127)
        return 0;
    m_lDayOfWeekMask = mask;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_DayOfMonth(long day)
{
    if (m_lRecurrenceType == -1 || day < 1 || day > 31)
        return 0;
    m_lDayOfMonth = day;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Instance(long instance)
{
    if (m_lRecurrenceType == -1 || instance < 1 || instance > 5)
        return 0;
    m_lInstance = instance;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_MonthOfYear(long month)
{
    if (m_lRecurrenceType == -1 || month < 1 || month > 12)
        return 0;
    m_lMonthOfYear = month;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_StartTime(long minutes)
{
    m_lStartTime = clamp32(minutes);
    // The duration stays; an appointment's end moves with its start.
    if (m_uKind == 1 && m_lDuration >= 0 && m_lStartTime >= 0)
        m_lEndTime = clamp32(m_lStartTime + m_lDuration);
    return 1;
}

int CRecurrencePattern::put_EndTime(long minutes)
{
    m_lEndTime = clamp32(minutes);
    if (m_uKind == 1 && m_lStartTime >= 0) {
        long long duration = static_cast<long long>(m_lEndTime) - m_lStartTime;
        if (duration < 0)
            duration += kMinutesPerDay;  // ends after midnight
        m_lDuration = duration < 0 ? 0 : static_cast<long>(duration);
    }
    return 1;
}

int CRecurrencePattern::put_Duration(long minutes)
{
    if (m_lRecurrenceType == -1 || minutes < 0)
        return 0;
    m_lDuration = clamp32(minutes);
    if (m_uKind == 1 && m_lStartTime >= 0)
        m_lEndTime = clamp32(m_lStartTime + m_lDuration);
    return 1;
}
