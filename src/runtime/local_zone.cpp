#include "runtime/local_zone.h"

#include <algorithm>
#include <ctime>

namespace tw {
namespace {

constexpr long long kDay = 24 * 3600;

// How far the local clock runs ahead of UTC at a moment; 0 where the zone cannot tell.
long long offsetAt(long long seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (::localtime_r(&t, &local) == nullptr) return 0;
    return secondsOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec}) -
           seconds;
}

}  // namespace

long long zonedSecondsOf(const LocalDateTime& when) {
    const long long wall = secondsOf(when);
    // Every zone's offset lies within a day, and clocks change at most once in two days, so
    // the offsets a day either side are the only ones this wall time can have been read with.
    const long long before = offsetAt(wall - kDay), after = offsetAt(wall + kDay);
    const long long early = wall - std::max(before, after), late = wall - std::min(before, after);
    for (const long long reading : {early, late})
        if (offsetAt(reading) == wall - reading) return reading;
    return wall - before;  // skipped: the clock had not been set forward yet
}

long long ZonedSeconds::of(const LocalDateTime& when) {
    const long long wall = secondsOf(when);
    const long long day = wall - ((wall % kDay) + kDay) % kDay;
    if (!m_known || day != m_day) {
        // The same offset a day before and two days after the day's start: no change between.
        m_offset = offsetAt(day - kDay);
        m_changes = offsetAt(day + 2 * kDay) != m_offset;
        m_day = day;
        m_known = true;
    }
    return m_changes ? zonedSecondsOf(when) : wall - m_offset;
}

LocalDateTime zonedDateTimeAt(long long seconds) { return localDateTimeAt(seconds + offsetAt(seconds)); }

}  // namespace tw
