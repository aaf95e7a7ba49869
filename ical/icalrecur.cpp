#include "icalrecur.h"

#include "lunar.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace zuical {

namespace {

// Upper bounds that keep a hostile rule from running away.
constexpr int kMaxInterval = 999;             // the pattern's own limit
constexpr long kMaxWalk = 100000;             // occurrences walked to place a count's end
constexpr size_t kMaxIterations = 200000;     // libical steps for one expansion
constexpr size_t kMaxEndCheck = 2000;         // libical steps to check where a rule ends

template <size_t N>
int countOf(const short (&values)[N])
{
    int n = 0;
    while (n < static_cast<int>(N) && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

struct IteratorFree {
    void operator()(icalrecur_iterator* it) const { icalrecur_iterator_free(it); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

FILETIME ft(Ticks t) { return filetimeOf(t); }

Ticks addYears(Ticks t, int years)
{
    const SYSTEMTIME s = fieldsOf(t);
    Ticks out = 0;
    const int year = s.wYear + years;
    if (!wallTicks(year, s.wMonth, std::min<int>(s.wDay, ZuDaysInMonth(year, s.wMonth)), 0, 0, 0, out))
        return t;
    return out + t % kDay;
}

// The mask of BYDAY weekdays, each moved by `shift` days (the local date minus the zone's date).
long maskOf(const icalrecurrencetype& rule, int days, int shift)
{
    long mask = 0;
    for (int i = 0; i < days; ++i) {
        const int weekday = static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) - 1;  // 0 Sunday
        mask |= 1L << (((weekday + shift) % 7 + 7) % 7);
    }
    return mask;
}

bool hasPositions(const icalrecurrencetype& rule, int days)
{
    for (int i = 0; i < days; ++i)
        if (icalrecurrencetype_day_position(rule.by_day[i]) != 0)
            return true;
    return false;
}

bool hasFinerParts(const icalrecurrencetype& rule)
{
    return countOf(rule.by_second) || countOf(rule.by_minute) || countOf(rule.by_hour);
}

// ---- Rules libical cannot expand in bounded time --------------------------------------------
//
// One call of libical's iterator searches period after period until an occurrence passes every
// BYxxx filter: a rule whose filters no day can pass ("-6FR", "BYMONTH=4;BYMONTHDAY=31", an
// INTERVAL that never reaches its BYMONTH) searches for ever, and a filter on a rule that steps by
// seconds or minutes searches for minutes. Such rules are refused before an iterator exists, so
// that every expansion is a counted number of iterator calls, each a bounded search.

// The number of the days of a month (of length `length`, its 1st on `firstWeekday`, 0 Sunday)
// that the rule's BYMONTHDAY and BYDAY let through; BYDAY positions count within the month
// when `positionsInMonth`.
int daysThrough(const icalrecurrencetype& rule, int length, int firstWeekday, bool positionsInMonth, int onlyWeekday)
{
    const int monthDays = countOf(rule.by_month_day);
    const int weekdays = countOf(rule.by_day);
    int through = 0;
    for (int d = 1; d <= length; ++d) {
        const int weekday = (firstWeekday + d - 1) % 7;
        if (onlyWeekday >= 0 && weekday != onlyWeekday)
            continue;
        bool dayOk = !monthDays;
        for (int i = 0; i < monthDays && !dayOk; ++i) {
            const int v = rule.by_month_day[i];
            dayOk = v > 0 ? v == d : length + v + 1 == d;
        }
        bool weekdayOk = !weekdays;
        for (int i = 0; i < weekdays && !weekdayOk; ++i) {
            if (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[i])) - 1 != weekday)
                continue;
            const int position = positionsInMonth ? icalrecurrencetype_day_position(rule.by_day[i]) : 0;
            weekdayOk = position == 0 || (position > 0 ? (d - 1) / 7 + 1 == position : (length - d) / 7 + 1 == -position);
        }
        through += dayOk && weekdayOk;
    }
    return through;
}

int monthLength(int month, bool leap)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap ? 29 : lengths[month - 1];
}

}  // namespace

std::string ruleProblem(const icalrecurrencetype& rule, const icaltimetype& start)
{
    const int seconds = countOf(rule.by_second), minutes = countOf(rule.by_minute), hours = countOf(rule.by_hour);
    const int weekdays = countOf(rule.by_day), monthDays = countOf(rule.by_month_day), months = countOf(rule.by_month);
    const int yearDays = countOf(rule.by_year_day), weeks = countOf(rule.by_week_no), positions = countOf(rule.by_set_pos);
    const bool dayFilters = weekdays || monthDays || months || yearDays || weeks || positions;
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        return "it repeats every second, which the calendar does not hold";
    case ICAL_MINUTELY_RECURRENCE:
        return "it repeats every minute, which the calendar does not hold";
    case ICAL_HOURLY_RECURRENCE:
        if (dayFilters || hours || minutes || seconds)
            return "it repeats hourly on chosen days, hours or minutes, which the calendar does not hold";
        return {};
    case ICAL_DAILY_RECURRENCE:
    case ICAL_WEEKLY_RECURRENCE:
    case ICAL_MONTHLY_RECURRENCE:
    case ICAL_YEARLY_RECURRENCE:
        break;
    default:
        return "its frequency is unknown";
    }
    const bool yearly = rule.freq == ICAL_YEARLY_RECURRENCE;
    const bool monthly = rule.freq == ICAL_MONTHLY_RECURRENCE;
    if ((yearDays || weeks) && !yearly)
        return "it has BYYEARDAY or BYWEEKNO without FREQ=YEARLY";
    if (monthDays && rule.freq == ICAL_WEEKLY_RECURRENCE)
        return "it has BYMONTHDAY with FREQ=WEEKLY";
    if (yearly)
        return {};  // libical walks years quickly and gives up at its last year
    for (int i = 0; i < weekdays; ++i) {
        const int position = icalrecurrencetype_day_position(rule.by_day[i]);
        if (position && !monthly)
            return "its BYDAY numbers weekdays outside FREQ=MONTHLY or YEARLY";
        if (position < -5 || position > 5)
            return "its BYDAY asks for a weekday no month has five of";
    }
    // The months the rule reaches: an INTERVAL of months steps over some of them.
    bool reached[13] = {};
    if (monthly && rule.interval > 0 && start.month >= 1 && start.month <= 12) {
        for (int k = 0; k < 12; ++k)
            reached[(start.month - 1 + k * rule.interval) % 12 + 1] = true;
    } else {
        std::fill(std::begin(reached), std::end(reached), true);
    }
    bool named[13] = {};
    for (int i = 0; i < months; ++i) {
        const int m = icalrecurrencetype_month_month(rule.by_month[i]);
        if (m >= 1 && m <= 12)
            named[m] = true;
    }
    // Days stepped by whole weeks keep the start's weekday.
    const int onlyWeekday = rule.freq == ICAL_DAILY_RECURRENCE && rule.interval % 7 == 0 && start.year > 0
        ? static_cast<int>(icaltime_day_of_week(start)) - 1 : -1;
    int mostInMonth = 0;
    for (int m = 1; m <= 12; ++m) {
        if (!reached[m] || (months && !named[m]))
            continue;
        for (int leap = 0; leap < (m == 2 ? 2 : 1); ++leap)
            for (int first = 0; first < 7; ++first)
                mostInMonth = std::max(mostInMonth, daysThrough(rule, monthLength(m, leap), first, monthly, onlyWeekday));
    }
    if (!mostInMonth)
        return "no day of any month it reaches passes its BYMONTH, BYMONTHDAY and BYDAY";
    if (positions) {
        const int times = std::max(1, hours) * std::max(1, minutes) * std::max(1, seconds);
        const int perPeriod = times * (monthly ? mostInMonth : rule.freq == ICAL_WEEKLY_RECURRENCE ? 7 : 1);
        bool any = false;
        for (int i = 0; i < positions; ++i)
            any = any || (rule.by_set_pos[i] != 0 && std::abs(rule.by_set_pos[i]) <= perPeriod);
        if (!any)
            return "its BYSETPOS asks for more occurrences than one period holds";
    }
    return {};
}

namespace {

// The last day whose occurrence starts at or before UNTIL, on the local wall clock.
bool untilDay(const icalrecurrencetype& rule, const RecurrenceInput& in, Ticks& day)
{
    icaltimetype until = rule.until;
    if (!until.is_date && !icaltime_is_utc(until) && in.base.zone)
        until.zone = in.base.zone;
    // A UTC UNTIL beside a floating start (which RFC 5545 does not allow) is read as libical
    // reads it: on the same wall clock as the start.
    if (!in.base.is_date && !in.base.zone && !icaltime_is_utc(in.base) && icaltime_is_utc(until))
        until.zone = nullptr;
    Ticks local = 0;
    if (!toLocal(until, local))
        return false;
    day = midnightOf(local);
    if (!until.is_date && !in.datesOnly && local % kDay < in.localBase % kDay)
        day -= kDay;
    return true;
}

// The pattern form of a Gregorian rule, before it is checked against libical.
bool candidate(const icalrecurrencetype& rule, const RecurrenceInput& in, Recurrence& r, std::string& reason)
{
    if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE || rule.freq == ICAL_HOURLY_RECURRENCE) {
        reason = "it repeats hourly or more often";
        return false;
    }
    if (hasFinerParts(rule)) {
        reason = "it has BYHOUR, BYMINUTE or BYSECOND";
        return false;
    }
    if (countOf(rule.by_set_pos)) {
        reason = "it has BYSETPOS";
        return false;
    }
    if (countOf(rule.by_year_day) || countOf(rule.by_week_no)) {
        reason = "it has BYYEARDAY or BYWEEKNO";
        return false;
    }
    if (rule.interval < 1 || rule.interval > kMaxInterval) {
        reason = "its INTERVAL is above 999";
        return false;
    }
    const int months = countOf(rule.by_month);
    const int monthDays = countOf(rule.by_month_day);
    const int days = countOf(rule.by_day);
    for (int i = 0; i < months; ++i) {
        if (icalrecurrencetype_month_is_leap(rule.by_month[i])) {
            reason = "it names a leap month";
            return false;
        }
    }
    if (months > 1) {
        reason = "it has several BYMONTH";
        return false;
    }
    if (monthDays > 1) {
        reason = "it has several BYMONTHDAY";
        return false;
    }
    // The zone's calendar day against the local one: a late evening in New York is the next day
    // in Seoul, so weekdays and month days move with it.
    Ticks zoneDay = 0;
    if (!wallTicks(in.base.year, in.base.month, in.base.day, 0, 0, 0, zoneDay)) {
        reason = "its start is out of range";
        return false;
    }
    const int shift = static_cast<int>((static_cast<long long>(midnightOf(in.localBase)) - static_cast<long long>(zoneDay))
        / static_cast<long long>(kDay));
    const SYSTEMTIME local = fieldsOf(in.localBase);
    // The day of the month a monthly or yearly rule falls on, on the local clock.
    const auto localDay = [&](long& day) {
        day = monthDays ? rule.by_month_day[0] : in.base.day;
        if (day < 1) {
            reason = "its BYMONTHDAY counts from the end of the month";
            return false;
        }
        if (shift) {
            day += shift;
            if (day < 1 || day > 28) {
                reason = "its day crosses a month end on the local clock";
                return false;
            }
        }
        return true;
    };
    r.interval = rule.interval;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (months || monthDays) {
            reason = "it repeats daily within BYMONTH or BYMONTHDAY";
            return false;
        }
        if (!days) {
            r.type = 0;
            break;
        }
        if (hasPositions(rule, days) || rule.interval != 1) {
            reason = "it repeats daily on numbered weekdays or with an interval";
            return false;
        }
        r.mask = maskOf(rule, days, shift);
        if (r.mask == 62) {
            r.type = 0;
            r.interval = 0;
        } else {
            r.type = 1;
        }
        break;
    case ICAL_WEEKLY_RECURRENCE:
        if (months || monthDays || hasPositions(rule, days)) {
            reason = "it repeats weekly within BYMONTH or BYMONTHDAY";
            return false;
        }
        r.type = 1;
        r.mask = days ? maskOf(rule, days, shift) : 1L << local.wDayOfWeek;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (months) {
            reason = "it repeats monthly within BYMONTH";
            return false;
        }
        if (!days) {
            long day = 0;
            if (!localDay(day))
                return false;
            r.type = 2;
            r.dayOfMonth = day;
            break;
        }
        [[fallthrough]];
    case ICAL_YEARLY_RECURRENCE:
        if (rule.freq == ICAL_YEARLY_RECURRENCE) {
            r.monthOfYear = months ? icalrecurrencetype_month_month(rule.by_month[0]) : in.base.month;
            if (!days) {
                if (monthDays && !months) {
                    reason = "it repeats yearly on a BYMONTHDAY of every month";
                    return false;
                }
                long day = 0;
                if (!localDay(day))
                    return false;
                r.type = 5;
                r.dayOfMonth = day;
                break;
            }
            if (!months) {
                reason = "it repeats yearly on weekdays without BYMONTH";
                return false;
            }
        }
        if (monthDays || days > 1) {
            reason = "it names several weekdays or BYDAY with BYMONTHDAY";
            return false;
        }
        {
            const int position = icalrecurrencetype_day_position(rule.by_day[0]);
            if (position == 0 || position > 4 || position < -1) {
                reason = "its BYDAY is not the first to fourth or the last weekday";
                return false;
            }
            if (shift) {
                reason = "its weekday falls on another day on the local clock";
                return false;
            }
            r.type = rule.freq == ICAL_MONTHLY_RECURRENCE ? 3 : 6;
            r.mask = 1L << (static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[0])) - 1);
            r.instance = position < 0 ? 5 : position;
        }
        break;
    default:
        reason = "its frequency is unknown";
        return false;
    }
    r.patternStart = midnightOf(in.localBase);
    if (rule.count > 0) {
        r.endType = 2;
        r.count = rule.count;
    } else if (!icaltime_is_null_time(rule.until)) {
        if (!untilDay(rule, in, r.endDate)) {
            reason = "its UNTIL is out of range";
            return false;
        }
        if (r.endDate < r.patternStart) {
            reason = "its UNTIL lies before its start";
            return false;
        }
        r.endType = 1;
    }
    return true;
}

// With a count, a monthly or yearly day after the 28th has slots without a day, which the
// pattern counts and iCalendar does not: such a pattern ends at the count-th real date instead.
bool placeCountedEnd(Recurrence& r, bool task, std::string& reason)
{
    if (r.endType != 2 || (r.type != 2 && r.type != 5) || r.dayOfMonth <= 28)
        return true;
    if (r.count > kMaxWalk) {
        reason = "its COUNT is too large";
        return false;
    }
    Recurrence open = r;
    open.endType = 0;
    CRecurrencePattern pattern(task ? 4u : 1u);
    FILETIME date{};
    if (!fillPattern(open, pattern) || !pattern.SeekFirstRecurTime(&date)) {
        reason = "the suite's recurrence cannot hold it";
        return false;
    }
    for (long n = 1; n < r.count; ++n) {
        if (!pattern.SeekNextRecurTime(&date)) {
            reason = "its COUNT reaches past the year 4500";
            return false;
        }
    }
    r.endType = 1;
    r.endDate = ticksOf(date);
    return true;
}

// Whether the offset between the event's zone and the local zone stays the same for a year.
bool offsetsAgree(const RecurrenceInput& in)
{
    icaltimezone* zone = icaltime_is_utc(in.base) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(in.base.zone);
    if (!zone)
        return true;  // floating: always the local wall clock
    Ticks utc = 0;
    if (!localToUtc(in.localBase, utc))
        return false;
    long long first = 0;
    for (int k = 0; k <= 13; ++k) {
        const Ticks at = utc + static_cast<Ticks>(k) * 28 * kDay;
        FILETIME u = ft(at), l{};
        if (!FileTimeToLocalFileTime(&u, &l))
            return false;
        const long long localOffset = (static_cast<long long>(ticksOf(l)) - static_cast<long long>(at)) / static_cast<long long>(ZU_TICKS_PER_SECOND);
        const SYSTEMTIME s = fieldsOf(at);
        icaltimetype t = icaltime_null_time();
        t.year = s.wYear;
        t.month = s.wMonth;
        t.day = s.wDay;
        t.hour = s.wHour;
        t.minute = s.wMinute;
        t.second = s.wSecond;
        t.zone = icaltimezone_get_utc_timezone();
        int daylight = 0;
        const long long zoneOffset = icaltimezone_get_utc_offset_of_utc_time(zone, &t, &daylight);
        if (k == 0)
            first = localOffset - zoneOffset;
        else if (localOffset - zoneOffset != first)
            return false;
    }
    return true;
}

// Checks a candidate against libical's expansion of the rule.
// A COUNT whose occurrences reach past the calendar's last day (4500-12-31) ends there.
void capCount(Recurrence& r, bool task)
{
    if (r.endType != 2)
        return;
    Recurrence open = r;
    open.endType = 0;
    CRecurrencePattern pattern(task ? 4u : 1u);
    long possible = 0;
    if (!fillPattern(open, pattern) || !pattern.GetOccurrences(&possible) || possible < 1 || r.count <= possible)
        return;
    r.note = "its COUNT of " + std::to_string(r.count) + " reaches past 4500-12-31, the calendar's last day: capped at "
        + std::to_string(possible) + " occurrences";
    r.count = possible;
}

bool confirm(Recurrence& r, const icalrecurrencetype& rule, const RecurrenceInput& in, std::string& reason)
{
    capCount(r, in.datesOnly);
    if (!placeCountedEnd(r, in.datesOnly, reason))
        return false;
    CRecurrencePattern pattern(in.datesOnly ? 4u : 1u);
    if (!fillPattern(r, pattern)) {
        reason = "the suite's recurrence refuses its values";
        return false;
    }
    IteratorPtr it(icalrecur_iterator_new(rule, in.base));
    if (!it) {
        reason = "libical cannot expand it";
        return false;
    }
    const auto normal = [&](Ticks t) { return in.datesOnly ? midnightOf(t) : t; };
    std::vector<Ticks> expected;
    bool complete = false;
    Ticks beyond = 0;  // the occurrence read past the checked ones
    while (expected.size() <= kCheckedOccurrences) {
        const icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t)) {
            complete = true;
            break;
        }
        Ticks local = 0;
        if (!toLocal(t, local)) {
            reason = "an occurrence lies outside the supported years";
            return false;
        }
        expected.push_back(normal(local));
    }
    if (!complete) {
        beyond = expected.back();
        expected.pop_back();
    }
    if (expected.empty() || expected.front() != normal(in.localBase)) {
        reason = expected.empty() ? "it has no occurrence" : "its start is not one of its occurrences";
        return false;
    }
    const Ticks startOfDay = in.datesOnly ? 0 : in.localBase % kDay;
    FILETIME date{};
    for (size_t i = 0; i < expected.size(); ++i) {
        const int found = i == 0 ? pattern.SeekFirstRecurTime(&date) : pattern.SeekNextRecurTime(&date);
        const Ticks got = ticksOf(date) + startOfDay;
        if (!found || got != expected[i]) {
            reason = found && midnightOf(got) == midnightOf(expected[i])
                ? "its local time of day changes (daylight saving)"
                : "its occurrences do not fall as the suite's recurrence places them (week start, month ends)";
            return false;
        }
    }
    if (complete) {
        if (pattern.SeekNextRecurTime(&date)) {
            reason = "it ends elsewhere than the suite's recurrence would";
            return false;
        }
        return true;
    }
    if (!in.datesOnly && !in.base.is_date && !offsetsAgree(in)) {
        reason = "its time zone and the local one change their offsets at different dates";
        return false;
    }
    if (r.endType != 0) {
        // Where it ends: libical's last occurrence against the pattern's.
        size_t steps = expected.size() + 1;
        Ticks last = beyond;
        for (;;) {
            const icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t))
                break;
            if (++steps > kMaxEndCheck)
                return true;
            if (!toLocal(t, last)) {
                reason = "an occurrence lies outside the supported years";
                return false;
            }
        }
        if (!pattern.SeekLastRecurTime(&date) || ticksOf(date) + startOfDay != normal(last)) {
            reason = "it ends elsewhere than the suite's recurrence would";
            return false;
        }
    }
    return true;
}

bool mapLunar(const icalrecurrencetype& rule, const RecurrenceInput& in, Recurrence& r, std::string& reason)
{
    if (rule.freq != ICAL_YEARLY_RECURRENCE) {
        reason = "its lunar rule is not yearly";
        return false;
    }
    if (countOf(rule.by_day) || countOf(rule.by_year_day) || countOf(rule.by_week_no) || countOf(rule.by_set_pos)
        || hasFinerParts(rule) || countOf(rule.by_month) > 1 || countOf(rule.by_month_day) > 1) {
        reason = "its lunar rule is more than one month and day";
        return false;
    }
    if (rule.interval < 1 || rule.interval > kMaxInterval) {
        reason = "its INTERVAL is above 999";
        return false;
    }
    const SYSTEMTIME s = fieldsOf(in.localBase);
    int ly = 0, lm = 0, ld = 0;
    bool leap = false;
    if (!ZuSunToMoon(s.wYear, s.wMonth, s.wDay, &ly, &lm, &ld, &leap)) {
        reason = "its start lies outside the lunar table (1881 to 2043)";
        return false;
    }
    long month = lm;
    if (countOf(rule.by_month)) {
        if (icalrecurrencetype_month_is_leap(rule.by_month[0])) {
            reason = "it names a leap month";
            return false;
        }
        month = icalrecurrencetype_month_month(rule.by_month[0]);
    } else if (leap) {
        reason = "it starts in a leap month";
        return false;
    }
    const long day = countOf(rule.by_month_day) ? rule.by_month_day[0] : ld;
    if (month < 1 || month > 12 || day < 1 || day > 30) {
        reason = "its lunar month or day is out of range";
        return false;
    }
    if (day == 30 && rule.skip != ICAL_SKIP_FORWARD) {
        reason = "it leaves out day 30 in short months (the suite moves it to the next day)";
        return false;
    }
    if (month == 2 && day == 30) {
        reason = "lunar 2/30 has no date to stand in for it";
        return false;
    }
    // The pattern walks lunar dates held as if solar; its start is the lunar day of the start
    // (after the leap month, for a start inside one).
    int sy = ly, sm = lm, sd = ld;
    if (leap) {
        sd = 1;
        if (++sm > 12) {
            sm = 1;
            ++sy;
        }
    }
    if (!wallTicks(sy, sm, std::min(sd, ZuDaysInMonth(sy, sm)), 0, 0, 0, r.patternStart)) {
        reason = "its start is out of range";
        return false;
    }
    if (rule.count > 0) {
        r.endType = 2;
        r.count = rule.count;
    } else if (!icaltime_is_null_time(rule.until)) {
        Ticks untilLocal = 0;
        if (!untilDay(rule, in, untilLocal)) {
            reason = "its UNTIL is out of range";
            return false;
        }
        const SYSTEMTIME u = fieldsOf(untilLocal);
        int uy = 0, um = 0, ud = 0;
        bool uleap = false;
        if (!ZuSunToMoon(u.wYear, u.wMonth, u.wDay, &uy, &um, &ud, &uleap)) {
            reason = "its UNTIL lies outside the lunar table";
            return false;
        }
        if (uleap)
            ud = 30;  // the ordinary month it repeats is over
        if (!wallTicks(uy, um, std::min(ud, ZuDaysInMonth(uy, um)), 0, 0, 0, r.endDate) || r.endDate < r.patternStart) {
            reason = "its UNTIL lies before its start";
            return false;
        }
        r.endType = 1;
    }
    r.type = 5;
    r.interval = rule.interval;
    r.monthOfYear = month;
    r.dayOfMonth = day;
    CRecurrencePattern check(1u);
    FILETIME first{};
    if (!fillPattern(r, check) || !check.SeekFirstRecurTime(&first)) {
        reason = "the suite's recurrence cannot hold it";
        return false;
    }
    return true;
}

// An EXDATE's value as the start of the occurrence it takes out: a DATE beside a timed start
// stands for the occurrence of that day in the start's zone, and a floating time beside a zoned
// start is read on the start's clock (as libical reads it).
icaltimetype exdateTime(const RecurrenceInput& in, icalproperty* p)
{
    bool unknownZone = false;
    icaltimetype t = zonedTime(in.root, p, icalproperty_get_exdate(p), unknownZone);
    if (t.is_date && !in.base.is_date) {
        t.is_date = 0;
        t.hour = in.base.hour;
        t.minute = in.base.minute;
        t.second = in.base.second;
        t.zone = in.base.zone;
    } else if (!t.is_date && !t.zone && !icaltime_is_utc(t) && in.base.zone) {
        t.zone = in.base.zone;
    }
    return t;
}

// The local starts of the occurrences the EXDATEs take out (DATE values of an all-day start as
// their 00:00).
std::vector<Ticks> exdateStarts(const RecurrenceInput& in)
{
    std::vector<Ticks> starts;
    for (icalproperty* p = icalcomponent_get_first_property(in.component, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(in.component, ICAL_EXDATE_PROPERTY)) {
        Ticks local = 0;
        if (toLocal(exdateTime(in, p), local))
            starts.push_back(local);
    }
    return starts;
}

// The pattern dates that the EXDATEs and the changed occurrences take out of a mapped rule. A
// start counts only when it is an occurrence's start: on its time of day (every occurrence of a
// mapped rule has the start's), and on one of the pattern's dates.
std::vector<Ticks> skippedOf(const RecurrenceInput& in, const Recurrence& r, bool lunar)
{
    std::vector<Ticks> starts = exdateStarts(in);
    starts.insert(starts.end(), in.changed.begin(), in.changed.end());
    std::vector<Ticks> dates;
    for (Ticks start : starts) {
        if (!in.datesOnly && start % kDay != in.localBase % kDay)
            continue;
        Ticks date = midnightOf(start);
        if (lunar) {
            const SYSTEMTIME s = fieldsOf(date);
            int ly = 0, lm = 0, ld = 0;
            bool leap = false;
            if (!ZuSunToMoon(s.wYear, s.wMonth, s.wDay, &ly, &lm, &ld, &leap) || leap
                || !wallTicks(ly, lm, std::min(ld, ZuDaysInMonth(ly, lm)), 0, 0, 0, date))
                continue;
        }
        dates.push_back(date);
    }
    if (dates.empty())
        return dates;
    CRecurrencePattern pattern(in.datesOnly ? 4u : 1u);
    if (!fillPattern(r, pattern))
        return {};
    ZuKeepOccurrenceDates(pattern, dates);
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}

bool bounded(const icalrecurrencetype& rule)
{
    return rule.count > 0 || !icaltime_is_null_time(rule.until);
}

Recurrence expand(const RecurrenceInput& in, const std::vector<icalrecurrencetype>& rules, std::string reason)
{
    Recurrence r;
    r.reason = std::move(reason);
    // A bounded series is kept whole; an endless one around the import date.
    const bool whole = std::all_of(rules.begin(), rules.end(), bounded);
    const Ticks windowStart = whole ? 0 : addYears(in.now, -kYearsBefore);
    const Ticks windowEnd = whole ? ~Ticks(0) : addYears(std::max(in.now, in.localBase), kYearsAfter);
    std::vector<Ticks> excluded = in.changed;
    std::vector<Ticks> excludedDays;
    for (icalproperty* p = icalcomponent_get_first_property(in.component, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(in.component, ICAL_EXDATE_PROPERTY)) {
        const bool date = icalproperty_get_exdate(p).is_date;
        Ticks local = 0;
        if (toLocal(exdateTime(in, p), local))
            (date ? excludedDays : excluded).push_back(local);
    }
    std::vector<Ticks> starts;
    if (in.localBase >= windowStart && in.localBase <= windowEnd)
        starts.push_back(in.localBase);
    bool finerThanDaily = false;
    size_t steps = 0;
    // Past the import date a rule need not go beyond what the cap keeps, with room for the
    // occurrences the exclusions take out.
    const size_t enoughAfter = kMaxExpanded + excluded.size() + excludedDays.size() + 1;
    for (const icalrecurrencetype& rule : rules) {
        if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE
            || rule.freq == ICAL_HOURLY_RECURRENCE || countOf(rule.by_hour) > 1 || countOf(rule.by_minute) > 1)
            finerThanDaily = true;
        IteratorPtr it(icalrecur_iterator_new(rule, in.base));
        if (!it) {
            r.kind = Recurrence::Skip;
            r.reason = "libical cannot expand its rule";
            return r;
        }
        size_t after = 0;
        for (;;) {
            const icaltimetype t = icalrecur_iterator_next(it.get());
            Ticks local = 0;
            if (icaltime_is_null_time(t) || !toLocal(t, local) || local > windowEnd)
                break;
            if (++steps > kMaxIterations) {
                r.kind = Recurrence::Skip;
                r.reason = "its rule gives too many occurrences to expand";
                return r;
            }
            if (local < windowStart)
                continue;
            starts.push_back(local);
            if (local >= in.now && ++after >= enoughAfter)
                break;
        }
    }
    for (icalproperty* p = icalcomponent_get_first_property(in.component, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(in.component, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
        const icaltimetype t = icaltime_is_null_time(value.time) ? value.period.start : value.time;
        bool unknownZone = false;
        Ticks local = 0;
        if (toLocal(zonedTime(in.root, p, t, unknownZone), local)) {
            const Ticks start = t.is_date && !in.base.is_date ? midnightOf(local) + in.localBase % kDay : local;
            if (start >= windowStart && start <= windowEnd)
                starts.push_back(start);
        }
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    // Sorted, so that a file with a great many EXDATEs is not a product of two long lists.
    std::sort(excluded.begin(), excluded.end());
    std::sort(excludedDays.begin(), excludedDays.end());
    std::erase_if(starts, [&](Ticks s) {
        return std::binary_search(excluded.begin(), excluded.end(), s)
            || std::binary_search(excludedDays.begin(), excludedDays.end(), midnightOf(s));
    });
    if (starts.empty()) {
        r.kind = Recurrence::Skip;
        r.reason = whole ? "no occurrence is left once EXDATE and changed occurrences are taken out"
                         : "no occurrence falls within a year before and two years after the import date";
        return r;
    }
    r.found = starts.size();
    if (starts.size() > kMaxExpanded) {
        if (finerThanDaily) {
            r.kind = Recurrence::Skip;
            r.reason = "it repeats more often than daily, with more than " + std::to_string(kMaxExpanded)
                + " occurrences to expand";
            return r;
        }
        // The kMaxExpanded nearest the import date: a run of them, grown from the first one on or
        // after it towards whichever neighbour lies nearer.
        size_t lo = static_cast<size_t>(std::lower_bound(starts.begin(), starts.end(), in.now) - starts.begin());
        size_t hi = lo;
        while (hi - lo < kMaxExpanded) {
            if (lo > 0 && (hi == starts.size() || in.now - starts[lo - 1] <= starts[hi] - in.now))
                --lo;
            else
                ++hi;
        }
        starts = std::vector<Ticks>(starts.begin() + static_cast<std::ptrdiff_t>(lo), starts.begin() + static_cast<std::ptrdiff_t>(hi));
        r.cut = true;
    }
    r.kind = Recurrence::Expand;
    r.starts = std::move(starts);
    return r;
}

}  // namespace

short encodeDay(int weekday, int position)
{
    const int value = std::abs(position) * 8 + weekday;
    return static_cast<short>(position < 0 ? -value : value);
}

Recurrence mapRecurrence(const RecurrenceInput& in)
{
    icalcomponent* c = in.component;
    std::vector<icalrecurrencetype> rules;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY))
        rules.push_back(icalproperty_get_rrule(p));
    const bool rdates = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY) != nullptr;
    const bool exdates = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY) != nullptr;
    if (rules.empty() && !rdates)
        return {};

    for (const icalrecurrencetype& rule : rules) {
        if (std::string problem = ruleProblem(rule, in.base); !problem.empty()) {
            Recurrence r;
            r.kind = Recurrence::Skip;
            r.reason = std::move(problem);
            return r;
        }
    }
    std::string reason;
    if (rules.size() > 1)
        reason = "it has several RRULEs";
    else if (rules.empty())
        reason = "its dates are given by RDATE";
    else if (rdates)
        reason = "it has RDATE";
    else if (exdates && in.datesOnly)
        reason = "it has EXDATE";
    if (reason.empty()) {
        icalrecurrencetype rule = rules.front();
        if (!rule.rscale && rule.freq == ICAL_YEARLY_RECURRENCE && in.lunarMonth >= 1 && in.lunarMonth <= 12
            && in.lunarDay >= 1 && in.lunarDay <= 30) {
            rule.rscale = const_cast<char*>("DANGI");
            rule.by_month[0] = static_cast<short>(in.lunarMonth);
            rule.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
            rule.by_month_day[0] = static_cast<short>(in.lunarDay);
            rule.by_month_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
            if (in.lunarDay == 30)
                rule.skip = ICAL_SKIP_FORWARD;
        }
        Recurrence r;
        if (rule.rscale && !strcasecmp(rule.rscale, "DANGI")) {
            if (!in.datesOnly && mapLunar(rule, in, r, reason)) {
                r.kind = Recurrence::Lunar;
                r.skipped = skippedOf(in, r, true);
                return r;
            }
            if (in.datesOnly)
                reason = "tasks have no lunar recurrence";
        } else if (rule.rscale && strcasecmp(rule.rscale, "GREGORIAN")) {
            reason = std::string("it uses the ") + rule.rscale + " calendar";
        } else if (candidate(rule, in, r, reason) && confirm(r, rule, in, reason)) {
            r.kind = Recurrence::Pattern;
            r.skipped = skippedOf(in, r, false);
            return r;
        }
    }
    if (in.datesOnly) {
        Recurrence r;
        r.kind = Recurrence::Skip;
        r.reason = "a recurring task whose rule has no form in the suite: " + reason;
        return r;
    }
    return expand(in, rules, "its rule has no form in the suite: " + reason);
}

bool fillPattern(const Recurrence& r, CRecurrencePattern& pattern)
{
    bool ok = pattern.put_RecurrenceType(r.type) && pattern.put_Interval(r.interval);
    if (r.type == 1 || r.type == 3 || r.type == 6)
        ok = ok && pattern.put_DayOfWeekMask(r.mask);
    if (r.type == 3 || r.type == 6)
        ok = ok && pattern.put_Instance(r.instance);
    if (r.type == 2 || r.type == 5)
        ok = ok && pattern.put_DayOfMonth(r.dayOfMonth);
    if (r.type == 5 || r.type == 6)
        ok = ok && pattern.put_MonthOfYear(r.monthOfYear);
    ok = ok && pattern.put_PatternStartDate(ft(r.patternStart));
    if (r.endType == 1)
        ok = ok && pattern.put_PatternEndDate(ft(r.endDate));
    else if (r.endType == 2)
        ok = ok && pattern.put_Occurrences(r.count);
    else
        ok = ok && pattern.put_NoEndDate(1);
    return ok;
}

namespace {

// A lunar date held as a FILETIME -> the solar date.
bool solarOf(Ticks lunar, Ticks& solar)
{
    const SYSTEMTIME s = fieldsOf(lunar);
    int y = 0, m = 0, d = 0;
    return ZuMoonToSun(s.wYear, s.wMonth, s.wDay, false, &y, &m, &d) && wallTicks(y, m, d, 0, 0, 0, solar);
}

int singleWeekday(long mask)
{
    for (int d = 0; d < 7; ++d)
        if (mask == (1L << d))
            return d + 1;
    return 0;
}

}  // namespace

ExportRule ruleOfPattern(CRecurrencePattern& pattern, bool lunar)
{
    ExportRule out;
    long type = -1, interval = 1, mask = 0, day = 0, instance = 0, month = 0;
    if (!pattern.get_RecurrenceType(&type)) {
        out.problem = "its recurrence pattern does not read";
        return out;
    }
    pattern.get_Interval(&interval);
    pattern.get_DayOfWeekMask(&mask);
    pattern.get_DayOfMonth(&day);
    pattern.get_Instance(&instance);
    pattern.get_MonthOfYear(&month);
    icalrecurrencetype& rule = out.rule;
    icalrecurrencetype_clear(&rule);
    rule.interval = static_cast<short>(std::max<long>(interval, 1));
    const auto addDays = [&](long days) {
        int n = 0;
        for (int d = 0; d < 7; ++d)
            if (days & (1L << d))
                rule.by_day[n++] = encodeDay(d + 1, 0);
        rule.by_day[n] = ICAL_RECURRENCE_ARRAY_MAX;
    };
    const int weekday = singleWeekday(mask);
    const int position = instance == 5 ? -1 : static_cast<int>(instance);
    if (lunar && type != 5) {
        out.problem = "its lunar recurrence is not yearly on a date";
        return out;
    }
    switch (type) {
    case 0:
        rule.freq = ICAL_DAILY_RECURRENCE;
        if (interval == 0)
            addDays(62);
        break;
    case 1:
        rule.freq = ICAL_WEEKLY_RECURRENCE;
        rule.week_start = ICAL_SUNDAY_WEEKDAY;  // the pattern's weeks run Sunday to Saturday
        addDays(mask);
        break;
    case 2:
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        rule.by_month_day[0] = static_cast<short>(day);
        rule.by_month_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        break;
    case 3:
    case 6:
        if (!weekday) {
            out.problem = "it repeats on the nth of several weekdays, which RRULE cannot say";
            return out;
        }
        rule.freq = type == 3 ? ICAL_MONTHLY_RECURRENCE : ICAL_YEARLY_RECURRENCE;
        rule.by_day[0] = encodeDay(weekday, position);
        rule.by_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        if (type == 6) {
            rule.by_month[0] = static_cast<short>(month);
            rule.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
        }
        break;
    case 5:
        rule.freq = ICAL_YEARLY_RECURRENCE;
        rule.by_month[0] = static_cast<short>(month);
        rule.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
        rule.by_month_day[0] = static_cast<short>(day);
        rule.by_month_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        if (lunar) {
            rule.rscale = const_cast<char*>("DANGI");
            if (day == 30)
                rule.skip = ICAL_SKIP_FORWARD;  // as the suite places day 30 of a short month
        }
        break;
    default:
        out.problem = "its recurrence type has no occurrences";
        return out;
    }

    // First and last occurrence; lunar ones outside the table are not shown and are passed over.
    FILETIME date{};
    int found = pattern.SeekFirstRecurTime(&date);
    for (int guard = 0; found && lunar && !solarOf(ticksOf(date), out.first) && guard < 200; ++guard)
        found = pattern.SeekNextRecurTime(&date);
    if (found && !lunar)
        out.first = ticksOf(date);
    if (!found || (lunar && !solarOf(ticksOf(date), out.first))) {
        out.problem = "it has no occurrence";
        return out;
    }
    short noEnd = 1;
    pattern.get_NoEndDate(&noEnd);
    if (!noEnd) {
        out.hasEnd = true;
        long stored = 0;
        pattern.get_Occurrences(&stored);
        if (pattern.GetEndDateType() == 2 && stored <= kMaxWalk) {
            long real = 1;
            FILETIME next{};
            while (pattern.SeekNextRecurTime(&next))
                ++real;
            out.useCount = real == stored;
            out.count = stored;
        }
        found = pattern.SeekLastRecurTime(&date);
        for (int guard = 0; found && lunar && !solarOf(ticksOf(date), out.last) && guard < 200; ++guard)
            found = pattern.SeekPrevRecurTime(&date);
        if (!found) {
            out.problem = "its end cannot be placed";
            return out;
        }
        if (!lunar)
            out.last = ticksOf(date);
        else if (!solarOf(ticksOf(date), out.last)) {
            out.problem = "its end cannot be placed";
            return out;
        }
    }
    out.ok = true;
    return out;
}

}  // namespace zuical
