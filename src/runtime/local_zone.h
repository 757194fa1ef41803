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

// The local date and time at seconds since 1970-01-01 00:00 UTC.
LocalDateTime zonedDateTimeAt(long long seconds);

}  // namespace tw
