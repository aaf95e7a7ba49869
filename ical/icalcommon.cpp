#include "icalcommon.h"

#include "lasterror.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>

namespace zuical {

std::string utf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

std::wstring wide(const char* text)
{
    return text ? QString::fromUtf8(text).toStdWString() : std::wstring();
}

LibicalMuted::LibicalMuted()
{
    std::fflush(stderr);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet < 0)
        return;
    saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0)
        ::dup2(quiet, STDERR_FILENO);
    ::close(quiet);
}

LibicalMuted::~LibicalMuted()
{
    if (saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
}

std::string lastError()
{
    if (GetLastError() == 0)
        return {};  // nothing failed below: no "(The operation completed successfully.)"
    const std::string text = utf8(ZuLastErrorText().str());
    return text.empty() ? std::string() : " (" + text + ")";
}

bool wallTicks(int year, int month, int day, int hour, int minute, int second, Ticks& out)
{
    if (year < 1601 || year > 30827)
        return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    FILETIME ft{};
    if (!SystemTimeToFileTime(&st, &ft))
        return false;
    out = ticksOf(ft);
    return true;
}

SYSTEMTIME fieldsOf(Ticks t)
{
    SYSTEMTIME st{};
    const FILETIME ft = filetimeOf(t);
    FileTimeToSystemTime(&ft, &st);
    return st;
}

icaltimezone* resolveZone(icalcomponent* root, const char* tzid)
{
    if (!tzid || !*tzid)
        return nullptr;
    if (root) {
        if (icaltimezone* zone = icalcomponent_get_timezone(root, tzid))
            return zone;
    }
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid))
        return zone;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone_from_tzid(tzid))
        return zone;
    // "/vendor.example/Area/Location": a vendor prefix before an Olson name.
    if (tzid[0] == '/') {
        if (const char* rest = std::strchr(tzid + 1, '/'))
            return icaltimezone_get_builtin_timezone(rest + 1);
    }
    return nullptr;
}

bool toLocal(const icaltimetype& t, Ticks& local)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return false;
    if (t.is_date)
        return wallTicks(t.year, t.month, t.day, 0, 0, 0, local);
    const bool utc = icaltime_is_utc(t);
    if (!utc && !t.zone)
        return wallTicks(t.year, t.month, t.day, t.hour, t.minute, t.second, local);
    const icaltimetype u = utc ? t : icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
    Ticks ticks = 0;
    if (!wallTicks(u.year, u.month, u.day, u.hour, u.minute, u.second, ticks))
        return false;
    const FILETIME ft = filetimeOf(ticks);
    FILETIME lt{};
    if (!FileTimeToLocalFileTime(&ft, &lt))
        return false;
    local = ticksOf(lt);
    return true;
}

icaltimetype fromLocal(Ticks local, bool date)
{
    const SYSTEMTIME st = fieldsOf(local);
    icaltimetype t = date ? icaltime_null_date() : icaltime_null_time();
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    if (!date) {
        t.hour = st.wHour;
        t.minute = st.wMinute;
        t.second = st.wSecond;
    }
    return t;
}

bool localToUtc(Ticks local, Ticks& utc)
{
    const FILETIME lt = filetimeOf(local);
    FILETIME ut{};
    if (!LocalFileTimeToFileTime(&lt, &ut))
        return false;
    utc = ticksOf(ut);
    return true;
}

icaltimetype zonedTime(icalcomponent* root, icalproperty* prop, icaltimetype value, bool& unknownZone)
{
    unknownZone = false;
    if (value.is_date || icaltime_is_utc(value))
        return value;
    icalparameter* param = icalproperty_get_first_parameter(prop, ICAL_TZID_PARAMETER);
    if (!param)
        return value;
    icaltimezone* zone = resolveZone(root, icalparameter_get_tzid(param));
    if (!zone) {
        unknownZone = true;
        return value;
    }
    return icaltime_set_timezone(&value, zone);
}

namespace {

// "Area/Location" out of a path to a zone file.
std::string zoneOfPath(const std::string& path)
{
    const std::string::size_type at = path.find("zoneinfo/");
    return at == std::string::npos ? std::string() : path.substr(at + 9);
}

bool isUtcName(const std::string& name)
{
    return name == "UTC" || name == "Etc/UTC" || name == "UCT" || name == "Universal" || name == "Zulu"
        || name == "Etc/Universal" || name == "GMT" || name == "Etc/GMT";
}

}  // namespace

std::string localZoneName()
{
    std::string name;
    if (const char* tz = std::getenv("TZ")) {
        name = tz;
        if (!name.empty() && name[0] == ':')
            name.erase(0, 1);
        if (!name.empty() && name[0] == '/')
            name = zoneOfPath(name);
        else if (name.empty())
            return "UTC";
    } else {
        char target[4096];
        const ssize_t n = readlink("/etc/localtime", target, sizeof target - 1);
        if (n > 0) {
            target[n] = 0;
            name = zoneOfPath(target);
        }
        if (name.empty()) {
            std::ifstream file("/etc/timezone");
            std::getline(file, name);
        }
    }
    if (name.empty())
        return name;
    if (isUtcName(name))
        return "UTC";
    return icaltimezone_get_builtin_timezone(name.c_str()) ? name : std::string();
}

}  // namespace zuical
