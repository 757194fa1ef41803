#pragma once
// Runs a test in a named time zone (TZ, re-read with tzset) and gives the previous one back,
// so clock changes can be tried whatever zone the machine is in.

#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>
#include <filesystem>

namespace tw::testing {

class LocalTimeZone {
public:
    explicit LocalTimeZone(const char* zone) {
        if (const char* old = ::getenv("TZ")) m_previous = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~LocalTimeZone() {
        if (m_previous) ::setenv("TZ", m_previous->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }
    LocalTimeZone(const LocalTimeZone&) = delete;
    LocalTimeZone& operator=(const LocalTimeZone&) = delete;

    // Whether the zone's rules are installed (Debian's tzdata); without them the C library
    // quietly takes UTC.
    static bool installed(const std::string& zone) {
        return std::filesystem::exists("/usr/share/zoneinfo/" + zone);
    }

private:
    std::optional<std::string> m_previous;
};

}  // namespace tw::testing
