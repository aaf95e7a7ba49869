// filetime.cpp - calendar arithmetic on 100-nanosecond ticks, local time through the C library's
// time zone (localtime_r; TZ is read again whenever it changes), and the replaceable clock.
#include "filetime.h"

#include "lasterror.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr LONGLONG kTicksPerSecond = static_cast<LONGLONG>(ZU_TICKS_PER_SECOND);
constexpr ULONGLONG kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

// 1601-01-01, the FILETIME epoch, as a day number (days since 1970-01-01).
constexpr LONGLONG kDays1601 = ZuDaysFromCivil(1601, 1, 1);
static_assert(kDays1601 == -134774);

constexpr LONGLONG floorDiv(LONGLONG a, LONGLONG b)
{
    const LONGLONG q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

BOOL fail()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// Seconds since 1970 of the FILETIME's second (rounded down).
LONGLONG unixSeconds(ULONGLONG ticks)
{
    return floorDiv(static_cast<LONGLONG>(ticks) - static_cast<LONGLONG>(ZU_UNIX_EPOCH_FILETIME), kTicksPerSecond);
}

// The zone's offset east of UTC, in seconds, at Unix second t. Instants past what FILETIME can
// hold are first brought to its range; if the C library still cannot convert, the offset of the
// nearest instant a 32-bit time_t reaches is used, and failing that UTC.
long offsetAt(LONGLONG t)
{
    constexpr LONGLONG kMin = -11644473600LL - 2 * 86400;
    constexpr LONGLONG kMax = 910692730085LL + 2 * 86400;
    t = std::clamp(t, kMin, kMax);
    std::tm tm{};
    auto tt = static_cast<std::time_t>(t);
    if (localtime_r(&tt, &tm))
        return tm.tm_gmtoff;
    tt = static_cast<std::time_t>(std::clamp<LONGLONG>(t, INT32_MIN, INT32_MAX));
    if (localtime_r(&tt, &tm))
        return tm.tm_gmtoff;
    return 0;
}

// ticks + offsetSeconds, or false when that leaves 0..kMaxFileTime.
bool shift(ULONGLONG ticks, LONGLONG offsetSeconds, ULONGLONG* out)
{
    const ULONGLONG delta = static_cast<ULONGLONG>(offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) * ZU_TICKS_PER_SECOND;
    if (offsetSeconds >= 0) {
        if (ticks > kMaxFileTime - delta)
            return false;
        *out = ticks + delta;
    } else {
        if (ticks < delta)
            return false;
        *out = ticks - delta;
    }
    return true;
}

// The offset that turns local Unix second `local` into UTC (utc = local - offset), by the gap
// and overlap rule of the header.
LONGLONG offsetForLocal(LONGLONG local)
{
    // Real offsets stay within 16 hours of UTC, so the instant lies within local +-16 h; the zone's
    // offsets over that window are the candidates.
    constexpr LONGLONG kWindow = 16 * 3600;
    LONGLONG candidates[3];
    int count = 0;
    for (LONGLONG probe : {local - kWindow, local, local + kWindow}) {
        const LONGLONG o = offsetAt(probe);
        if (std::find(candidates, candidates + count, o) == candidates + count)
            candidates[count++] = o;
    }
    // A candidate is right when the instant it gives has that offset; of several (an overlap),
    // the earliest instant (largest offset) wins.
    bool found = false;
    LONGLONG best = 0;
    for (int i = 0; i < count; ++i) {
        const LONGLONG o = candidates[i];
        if (offsetAt(local - o) == o && (!found || o > best)) {
            best = o;
            found = true;
        }
    }
    if (found)
        return best;
    // In a gap: the offset in force before it, i.e. at the earliest instant the window offers.
    return offsetAt(local - *std::max_element(candidates, candidates + count));
}

std::mutex g_clockMutex;
std::shared_ptr<const std::function<FILETIME()>> g_clock;

FILETIME systemNow()
{
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::duration<LONGLONG, std::ratio<1, 10000000>>>(since).count();
    return ZuU64ToFileTime(ZU_UNIX_EPOCH_FILETIME + static_cast<ULONGLONG>(ticks));
}

}  // namespace

bool ZuIsValidSystemTime(const SYSTEMTIME& st)
{
    return st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 && st.wMonth <= 12 && st.wDay >= 1
        && st.wDay <= ZuDaysInMonth(st.wYear, st.wMonth) && st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60
        && st.wMilliseconds < 1000;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft)
{
    if (!st || !ft || !ZuIsValidSystemTime(*st))
        return fail();
    const auto days = static_cast<ULONGLONG>(ZuDaysFromCivil(st->wYear, st->wMonth, st->wDay) - kDays1601);
    const ULONGLONG ticks = days * ZU_TICKS_PER_DAY + st->wHour * ZU_TICKS_PER_HOUR + st->wMinute * ZU_TICKS_PER_MINUTE
        + st->wSecond * ZU_TICKS_PER_SECOND + st->wMilliseconds * ZU_TICKS_PER_MILLISECOND;
    *ft = ZuU64ToFileTime(ticks);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st)
{
    if (!ft || !st)
        return fail();
    const ULONGLONG ticks = ZuFileTimeToU64(*ft);
    if (ticks > kMaxFileTime)
        return fail();
    const auto days = static_cast<LONGLONG>(ticks / ZU_TICKS_PER_DAY);
    const ULONGLONG inDay = ticks % ZU_TICKS_PER_DAY;
    const ZuCivilDate c = ZuCivilFromDays(days + kDays1601);
    SYSTEMTIME out;
    out.wYear = static_cast<WORD>(c.year);
    out.wMonth = static_cast<WORD>(c.month);
    out.wDay = static_cast<WORD>(c.day);
    out.wDayOfWeek = static_cast<WORD>(ZuWeekdayFromDays(days + kDays1601));
    out.wHour = static_cast<WORD>(inDay / ZU_TICKS_PER_HOUR);
    out.wMinute = static_cast<WORD>(inDay % ZU_TICKS_PER_HOUR / ZU_TICKS_PER_MINUTE);
    out.wSecond = static_cast<WORD>(inDay % ZU_TICKS_PER_MINUTE / ZU_TICKS_PER_SECOND);
    out.wMilliseconds = static_cast<WORD>(inDay % ZU_TICKS_PER_SECOND / ZU_TICKS_PER_MILLISECOND);
    *st = out;
    return TRUE;
}

namespace {

// Reads the zone again when TZ changed since the last conversion. tzset() itself would do, but
// without TZ it examines /etc/localtime on every call (microseconds each, thousands per calendar
// load); a change of the system zone file is therefore noticed when the program starts again.
void refreshZone()
{
    static std::mutex mutex;
    static bool known = false;
    static std::string last;
    const char* tz = std::getenv("TZ");
    const std::string now = tz ? std::string("=") + tz : std::string();
    std::lock_guard<std::mutex> lock(mutex);
    if (known && now == last)
        return;
    ::tzset();
    last = now;
    known = true;
}

}  // namespace

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local)
{
    if (!utc || !local)
        return fail();
    const ULONGLONG ticks = ZuFileTimeToU64(*utc);
    if (ticks > kMaxFileTime)
        return fail();
    refreshZone();
    ULONGLONG out = 0;
    if (!shift(ticks, offsetAt(unixSeconds(ticks)), &out))
        return fail();
    *local = ZuU64ToFileTime(out);
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc)
{
    if (!local || !utc)
        return fail();
    const ULONGLONG ticks = ZuFileTimeToU64(*local);
    if (ticks > kMaxFileTime)
        return fail();
    refreshZone();
    ULONGLONG out = 0;
    if (!shift(ticks, -offsetForLocal(unixSeconds(ticks)), &out))
        return fail();
    *utc = ZuU64ToFileTime(out);
    return TRUE;
}

void ZuSetClock(std::function<FILETIME()> utcNow)
{
    std::shared_ptr<const std::function<FILETIME()>> next;
    if (utcNow)
        next = std::make_shared<const std::function<FILETIME()>>(std::move(utcNow));
    std::lock_guard lock(g_clockMutex);
    g_clock.swap(next);
    // The old clock is released after the lock, in case its destruction is slow.
}

void ZuSetFixedClock(const FILETIME& utcNow)
{
    ZuSetClock([utcNow] { return utcNow; });
}

FILETIME ZuUtcNow()
{
    std::shared_ptr<const std::function<FILETIME()>> clock;
    {
        std::lock_guard lock(g_clockMutex);
        clock = g_clock;
    }
    return clock ? (*clock)() : systemNow();
}

void GetSystemTime(SYSTEMTIME* st)
{
    if (!st)
        return;
    const FILETIME now = ZuUtcNow();
    FileTimeToSystemTime(&now, st);
}

void GetLocalTime(SYSTEMTIME* st)
{
    if (!st)
        return;
    const FILETIME now = ZuUtcNow();
    FILETIME local;
    if (!FileTimeToLocalFileTime(&now, &local))
        local = now;
    FileTimeToSystemTime(&local, st);
}
