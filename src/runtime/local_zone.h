#pragma once
// Local dates and times on the real time line, through the local time zone's rules (TZ, or
// the system's zone): the time between two dates of the log is the time that really passed,
// an hour lost or gained at a clock change included.

#include "runtime/general_date.h"

namespace tw {

// Seconds since 1970-01-01 00:00 UTC of a local date and time. A time the clock shows twice
// (the hour repeated when it is set back) is its earlier passing; a time it skips (the hour
// lost when it is set forward) is read with the offset in force before the change, so 02:30
// on a night that jumps from 02:00 to 03:00 is 03:30.
long long zonedSecondsOf(const LocalDateTime& when);

// zonedSecondsOf for many moments in a row, as a log's dates come: the offset of the local
// day last met is kept, so only days with a clock change cost more than one look-up of the
// zone. For one pass over dates; a change of the time zone meanwhile is not seen.
class ZonedSeconds {
public:
    long long of(const LocalDateTime& when);

private:
    long long m_day = 0;
    bool m_known = false;
    bool m_changes = false;  // a clock change near this day: the full reading is needed
    long long m_offset = 0;
};

// The local date and time at seconds since 1970-01-01 00:00 UTC.
LocalDateTime zonedDateTimeAt(long long seconds);

}  // namespace tw
