// testzone.h - a time zone for one test.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Switches the process's time zone (TZ) and puts the previous value back when it goes.
class ZuTzGuard {
public:
    explicit ZuTzGuard(const char* tz)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ZuTzGuard()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ZuTzGuard(const ZuTzGuard&) = delete;
    ZuTzGuard& operator=(const ZuTzGuard&) = delete;

private:
    std::optional<std::string> m_old;
};
