// oledatetime.cpp - COleDateTime and COleDateTimeSpan. Internally a date is a count of
// milliseconds since 1899-12-30 00:00 on a straight line (no negative-DATE quirk); m_dt is
// translated to and from it at the edges.
#include "oledatetime.h"

#include "civildate.h"
#include "filetime.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr LONGLONG kMsPerDay = 86400000LL;

// Days since 1899-12-30 of a date: its day number less that of the epoch.
constexpr LONGLONG kEpochDay = ZuDaysFromCivil(1899, 12, 30);
constexpr LONGLONG daysFromCivil(LONGLONG y, int m, int d)
{
    return ZuDaysFromCivil(y, m, d) - kEpochDay;
}

constexpr LONGLONG kMinDay = -657434;      // 100-01-01
constexpr LONGLONG kEndDay = 2958466;      // 10000-01-01
constexpr LONGLONG kMinMs = kMinDay * kMsPerDay;
// Past the last millisecond that still rounds to a second before 10000-01-01.
constexpr LONGLONG kEndMs = kEndDay * kMsPerDay - 500;
// Days from 1899-12-30 to 1601-01-01.
constexpr LONGLONG kDays1601 = -109205;

constexpr LONGLONG floorDiv(LONGLONG a, LONGLONG b)
{
    const LONGLONG q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

bool inRange(LONGLONG ms)
{
    return ms >= kMinMs && ms < kEndMs;
}

static_assert(daysFromCivil(1899, 12, 30) == 0);
static_assert(daysFromCivil(100, 1, 1) == kMinDay);
static_assert(daysFromCivil(10000, 1, 1) == kEndDay);
static_assert(daysFromCivil(1601, 1, 1) == kDays1601);

struct Fields {
    int year, month, day, hour, minute, second, ms;
    int dayOfWeek;  // 0 = Sunday
    int dayOfYear;  // 1..366
};

Fields fieldsFromMs(LONGLONG ms)
{
    const LONGLONG days = floorDiv(ms, kMsPerDay);
    const ZuCivilDate c = ZuCivilFromDays(days + kEpochDay);
    Fields f{};
    f.year = static_cast<int>(c.year);
    f.month = c.month;
    f.day = c.day;
    const LONGLONG inDay = ms - days * kMsPerDay;
    f.hour = static_cast<int>(inDay / 3600000);
    f.minute = static_cast<int>(inDay / 60000 % 60);
    f.second = static_cast<int>(inDay / 1000 % 60);
    f.ms = static_cast<int>(inDay % 1000);
    f.dayOfWeek = ZuWeekdayFromDays(days + kEpochDay);
    f.dayOfYear = static_cast<int>(days - daysFromCivil(f.year, 1, 1) + 1);
    return f;
}

// The fields of ms rounded to the nearest second.
Fields secondFields(LONGLONG ms)
{
    return fieldsFromMs(floorDiv(ms + 500, 1000) * 1000);
}

// The instant of a DATE, or nothing when it is out of range or not a number.
std::optional<LONGLONG> msFromDate(DATE dt)
{
    if (!std::isfinite(dt))
        return std::nullopt;
    double linear = dt;
    if (dt < 0) {
        // Integer part counts days back, fraction counts time forward.
        const double day = std::ceil(dt);
        linear = day - (dt - day);
    }
    if (linear < kMinDay - 1.0 || linear > kEndDay + 1.0)
        return std::nullopt;
    const auto ms = static_cast<LONGLONG>(std::llround(linear * kMsPerDay));
    if (!inRange(ms))
        return std::nullopt;
    return ms;
}

DATE dateFromMs(LONGLONG ms)
{
    const LONGLONG days = floorDiv(ms, kMsPerDay);
    const double fraction = static_cast<double>(ms - days * kMsPerDay) / kMsPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::optional<LONGLONG> msFromFields(int year, int month, int day, int hour, int minute, int second, int ms)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > ZuDaysInMonth(year, month)
        || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 || ms > 999)
        return std::nullopt;
    return daysFromCivil(year, month, day) * kMsPerDay
        + ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
}

constexpr double kSpanMaxMs = COleDateTimeSpan::kMaxDays * kMsPerDay;

std::optional<LONGLONG> msFromSpan(double days)
{
    const double ms = days * kMsPerDay;
    if (!std::isfinite(ms) || std::fabs(ms) > kSpanMaxMs)
        return std::nullopt;
    return static_cast<LONGLONG>(std::llround(ms));
}

// The span in whole seconds, rounded half away from zero so that a span and its negation have
// mirrored parts; 0 when not valid.
LONGLONG spanSeconds(const COleDateTimeSpan& s)
{
    const double seconds = s.m_span * 86400.0;
    if (s.m_status != COleDateTimeSpan::valid || !std::isfinite(seconds)
        || std::fabs(seconds) > COleDateTimeSpan::kMaxDays * 86400.0)
        return 0;
    return static_cast<LONGLONG>(std::llround(seconds));
}

COleDateTimeSpan makeSpan(double days, COleDateTimeSpan::DateTimeSpanStatus status = COleDateTimeSpan::valid)
{
    COleDateTimeSpan s;
    s.m_span = status == COleDateTimeSpan::valid ? days : 0.0;
    s.m_status = status;
    if (status == COleDateTimeSpan::valid && !msFromSpan(days)) {
        s.m_span = 0.0;
        s.m_status = COleDateTimeSpan::invalid;
    }
    return s;
}

// The status of a result from two operands' statuses (0 valid, 1 invalid, 2 null): null wins,
// then invalid.
int combined(int a, int b)
{
    if (a == 2 || b == 2)
        return 2;
    if (a == 1 || b == 1)
        return 1;
    return 0;
}

COleDateTime makeDate(std::optional<LONGLONG> ms)
{
    COleDateTime d;
    if (ms && inRange(*ms)) {
        d.m_dt = dateFromMs(*ms);
    } else {
        d.m_status = COleDateTime::invalid;
    }
    return d;
}

COleDateTime statusDate(int status)
{
    COleDateTime d;
    d.m_status = static_cast<COleDateTime::DateTimeStatus>(status);
    return d;
}

std::optional<LONGLONG> msOf(const COleDateTime& d)
{
    if (d.m_status != COleDateTime::valid)
        return std::nullopt;
    return msFromDate(d.m_dt);
}

const wchar_t* const kMonthNames[12] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                        L"July",    L"August",   L"September", L"October", L"November", L"December"};
const wchar_t* const kDayNames[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};

void appendNumber(std::wstring& out, int value, int width, bool pad)
{
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%0*d", pad ? width : 1, value);
    out += buf;
}

}  // namespace

// --- COleDateTimeSpan ---

COleDateTimeSpan::COleDateTimeSpan(double days)
{
    *this = makeSpan(days);
}

COleDateTimeSpan::COleDateTimeSpan(long days, int hours, int minutes, int seconds)
{
    SetDateTimeSpan(days, hours, minutes, seconds);
}

int COleDateTimeSpan::SetDateTimeSpan(long days, int hours, int minutes, int seconds)
{
    const double total = static_cast<double>(days) + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
    *this = makeSpan(total);
    return m_status;
}

long COleDateTimeSpan::GetDays() const
{
    return static_cast<long>(spanSeconds(*this) / 86400);
}

long COleDateTimeSpan::GetHours() const
{
    return static_cast<long>(spanSeconds(*this) / 3600 % 24);
}

long COleDateTimeSpan::GetMinutes() const
{
    return static_cast<long>(spanSeconds(*this) / 60 % 60);
}

long COleDateTimeSpan::GetSeconds() const
{
    return static_cast<long>(spanSeconds(*this) % 60);
}

double COleDateTimeSpan::GetTotalDays() const
{
    return static_cast<double>(spanSeconds(*this) / 86400);
}

double COleDateTimeSpan::GetTotalHours() const
{
    return static_cast<double>(spanSeconds(*this) / 3600);
}

double COleDateTimeSpan::GetTotalMinutes() const
{
    return static_cast<double>(spanSeconds(*this) / 60);
}

double COleDateTimeSpan::GetTotalSeconds() const
{
    return static_cast<double>(spanSeconds(*this));
}

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const
{
    const int status = combined(m_status, other.m_status);
    return status ? makeSpan(0.0, static_cast<DateTimeSpanStatus>(status)) : makeSpan(m_span + other.m_span);
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const
{
    const int status = combined(m_status, other.m_status);
    return status ? makeSpan(0.0, static_cast<DateTimeSpanStatus>(status)) : makeSpan(m_span - other.m_span);
}

COleDateTimeSpan COleDateTimeSpan::operator*(double factor) const
{
    return m_status ? makeSpan(0.0, m_status) : makeSpan(m_span * factor);
}

COleDateTimeSpan COleDateTimeSpan::operator/(double divisor) const
{
    if (m_status)
        return makeSpan(0.0, m_status);
    return divisor == 0.0 ? makeSpan(0.0, invalid) : makeSpan(m_span / divisor);
}

COleDateTimeSpan COleDateTimeSpan::operator-() const
{
    return m_status ? makeSpan(0.0, m_status) : makeSpan(-m_span);
}

bool COleDateTimeSpan::operator==(const COleDateTimeSpan& other) const
{
    if (m_status != other.m_status)
        return false;
    return m_status != valid || msFromSpan(m_span) == msFromSpan(other.m_span);
}

bool COleDateTimeSpan::operator<(const COleDateTimeSpan& other) const
{
    const auto a = msFromSpan(m_span);
    const auto b = msFromSpan(other.m_span);
    return m_status == valid && other.m_status == valid && a && b && *a < *b;
}

bool COleDateTimeSpan::operator<=(const COleDateTimeSpan& other) const
{
    const auto a = msFromSpan(m_span);
    const auto b = msFromSpan(other.m_span);
    return m_status == valid && other.m_status == valid && a && b && *a <= *b;
}

// --- COleDateTime ---

COleDateTime::COleDateTime(DATE dt)
{
    *this = dt;
}

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second)
{
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime::COleDateTime(const SYSTEMTIME& st)
{
    *this = st;
}

COleDateTime::COleDateTime(const FILETIME& ft)
{
    *this = ft;
}

COleDateTime& COleDateTime::operator=(DATE dt)
{
    m_dt = dt;
    m_status = msFromDate(dt) ? valid : invalid;
    return *this;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& st)
{
    return *this = makeDate(msFromFields(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
}

COleDateTime& COleDateTime::operator=(const FILETIME& ft)
{
    const ULONGLONG ticks = ZuFileTimeToU64(ft);
    if (ticks > 0x7FFFFFFFFFFFFFFFULL)
        return *this = makeDate(std::nullopt);
    return *this = makeDate(kDays1601 * kMsPerDay + static_cast<LONGLONG>(ticks / ZU_TICKS_PER_MILLISECOND));
}

COleDateTime COleDateTime::GetCurrentTime()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return COleDateTime(st);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    *this = makeDate(msFromFields(year, month, day, hour, minute, second, 0));
    return m_status;
}

int COleDateTime::SetDate(int year, int month, int day)
{
    return SetDateTime(year, month, day, 0, 0, 0);
}

int COleDateTime::SetTime(int hour, int minute, int second)
{
    return SetDateTime(1899, 12, 30, hour, minute, second);
}

#define ZU_OLE_FIELD(name, expr)                                                                                       \
    int COleDateTime::name() const                                                                                     \
    {                                                                                                                  \
        const auto ms = msOf(*this);                                                                                   \
        if (!ms)                                                                                                       \
            return AFX_OLE_DATETIME_ERROR;                                                                             \
        const Fields f = secondFields(*ms);                                                                            \
        return expr;                                                                                                   \
    }

ZU_OLE_FIELD(GetYear, f.year)
ZU_OLE_FIELD(GetMonth, f.month)
ZU_OLE_FIELD(GetDay, f.day)
ZU_OLE_FIELD(GetHour, f.hour)
ZU_OLE_FIELD(GetMinute, f.minute)
ZU_OLE_FIELD(GetSecond, f.second)
ZU_OLE_FIELD(GetDayOfWeek, f.dayOfWeek + 1)
ZU_OLE_FIELD(GetDayOfYear, f.dayOfYear)

#undef ZU_OLE_FIELD

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    const auto ms = msOf(*this);
    if (!ms)
        return false;
    const Fields f = fieldsFromMs(*ms);
    st.wYear = static_cast<WORD>(f.year);
    st.wMonth = static_cast<WORD>(f.month);
    st.wDayOfWeek = static_cast<WORD>(f.dayOfWeek);
    st.wDay = static_cast<WORD>(f.day);
    st.wHour = static_cast<WORD>(f.hour);
    st.wMinute = static_cast<WORD>(f.minute);
    st.wSecond = static_cast<WORD>(f.second);
    st.wMilliseconds = static_cast<WORD>(f.ms);
    return true;
}

bool COleDateTime::GetAsFileTime(FILETIME& ft) const
{
    const auto ms = msOf(*this);
    if (!ms || *ms < kDays1601 * kMsPerDay)
        return false;
    ft = ZuU64ToFileTime(static_cast<ULONGLONG>(*ms - kDays1601 * kMsPerDay) * ZU_TICKS_PER_MILLISECOND);
    return true;
}

CString COleDateTime::Format(const wchar_t* format) const
{
    if (m_status == null)
        return CString();
    const auto ms = msOf(*this);
    if (!ms)
        return CString(L"Invalid DateTime");
    const Fields f = secondFields(*ms);
    std::wstring out;
    for (const wchar_t* p = format ? format : L""; *p; ++p) {
        if (*p != L'%') {
            out += *p;
            continue;
        }
        const wchar_t* start = p;
        bool pad = true;
        if (p[1] == L'#') {
            pad = false;
            ++p;
        }
        switch (p[1]) {
        case L'Y': appendNumber(out, f.year, 4, pad); break;
        case L'y': appendNumber(out, f.year % 100, 2, pad); break;
        case L'm': appendNumber(out, f.month, 2, pad); break;
        case L'd': appendNumber(out, f.day, 2, pad); break;
        case L'H': appendNumber(out, f.hour, 2, pad); break;
        case L'I': appendNumber(out, f.hour % 12 == 0 ? 12 : f.hour % 12, 2, pad); break;
        case L'M': appendNumber(out, f.minute, 2, pad); break;
        case L'S': appendNumber(out, f.second, 2, pad); break;
        case L'j': appendNumber(out, f.dayOfYear, 3, pad); break;
        case L'p': out += f.hour < 12 ? L"AM" : L"PM"; break;
        case L'B': out += kMonthNames[f.month - 1]; break;
        case L'b': out.append(kMonthNames[f.month - 1], 3); break;
        case L'A': out += kDayNames[f.dayOfWeek]; break;
        case L'a': out.append(kDayNames[f.dayOfWeek], 3); break;
        case L'%': out += L'%'; break;
        default:
            // Unknown or cut short: copy the text as it stands.
            out.append(start, p + 1);
            continue;
        }
        ++p;
    }
    return CString(std::move(out));
}

CString COleDateTime::Format() const
{
    return Format(L"%Y-%m-%d %H:%M:%S");
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    const int status = combined(m_status, span.m_status);
    if (status)
        return statusDate(status);
    const auto ms = msOf(*this);
    const auto delta = msFromSpan(span.m_span);
    return makeDate(ms && delta ? std::optional<LONGLONG>(*ms + *delta) : std::nullopt);
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const
{
    return *this + (-span);
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const
{
    const int status = combined(m_status, other.m_status);
    if (status)
        return makeSpan(0.0, static_cast<COleDateTimeSpan::DateTimeSpanStatus>(status));
    const auto a = msOf(*this);
    const auto b = msOf(other);
    if (!a || !b)
        return makeSpan(0.0, COleDateTimeSpan::invalid);
    return makeSpan(static_cast<double>(*a - *b) / kMsPerDay);
}

bool COleDateTime::operator==(const COleDateTime& other) const
{
    if (m_status != other.m_status)
        return false;
    return m_status != valid || msFromDate(m_dt) == msFromDate(other.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& other) const
{
    const auto a = msOf(*this);
    const auto b = msOf(other);
    return a && b && *a < *b;
}

bool COleDateTime::operator<=(const COleDateTime& other) const
{
    const auto a = msOf(*this);
    const auto b = msOf(other);
    return a && b && *a <= *b;
}
