// recurrencepattern_p.h - what the parts of CRecurrencePattern share: the stored constants of
// the BLOB, the day and minute arithmetic, and the rule the counting formulas and the walk work on.
// Private to recurrencepattern*.cpp.
//
// All date arithmetic is done on 64-bit day numbers (days since 1601-01-01, proleptic Gregorian)
// with closed formulas, so neither a BLOB nor a put_ can make it overflow, and no count or n-th
// occurrence depends on walking the occurrences before it.
#pragma once

#include "recurrencepattern.h"

#include "cedbprop.h"
#include "civildate.h"
#include "filetime.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <numeric>

namespace zurecur {

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

inline long long floorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
inline long long floorMod(long long a, long long b) { return a - floorDiv(a, b) * b; }

// The day number of a date; a day beyond the month runs on into the next.
inline long long daysFromCivil(long long y, int m, int d) { return ZuDaysFromCivil(y, m, d) - kDay1601; }
inline ZuCivilDate civilFromDays(long long days) { return ZuCivilFromDays(days + kDay1601); }
// Sunday = 0.
inline int weekdayOf(long long days) { return ZuWeekdayFromDays(days + kDay1601); }

inline int popcount7(int mask) { return std::popcount(static_cast<unsigned>(mask & 0x7F)); }

// Position (0 to 6) of the k-th set bit of mask, k from 1; the caller ensures it exists.
inline int nthSetBit(int mask, long long k)
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
inline int nthWeekdayOfMonth(long long y, int m, int instance, int mask)
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

inline long long minutesOf(const FILETIME& ft) { return static_cast<long long>(ZuFileTimeToU64(ft) / ZU_TICKS_PER_MINUTE); }
inline FILETIME fileTimeOf(long long minutes) { return ZuU64ToFileTime(static_cast<ULONGLONG>(minutes) * ZU_TICKS_PER_MINUTE); }

inline SYSTEMTIME systemTimeOf(long long minutes)
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

inline long clamp32(long v) { return static_cast<long>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

inline long long propInt(const CCeDBProp* p)
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

} // namespace zurecur

using namespace zurecur;

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

