#pragma once
// What the holdings chart shows, in plain numbers: the span of time for a range choice, the
// day and hour ticks along the bottom, and which step lies under a moment. Times are seconds
// on the real time line (zonedSecondsOf), so a clock change neither stretches nor squeezes the
// chart; pixels are the plot's own.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "history/holdings.h"
#include "runtime/general_date.h"

namespace tw {

enum class ChartRange { Last24Hours, Last7Days, Everything };

struct TimeSpan {
    long long from = 0;
    long long to = 0;
};

// The last 24 hours or 7 days up to `now`; everything runs from the oldest step (an hour
// before now without steps) to now, or to the newest step when the log runs ahead of now.
TimeSpan chartSpan(const Holdings& holdings, ChartRange range, long long now);

struct TimeTick {
    long long at = 0;
    bool day = false;   // a midnight: a strong line, labelled with the date
    std::string label;  // "6 Dec" for days, "14:00" for hours; "" for unlabelled ticks
};

// Ticks at midnights and at whole hours inside `span`, spaced so that labels `labelPx`
// wide do not run into each other on a plot `widthPx` wide. Midnights come every day when
// there is room, else every 2, 7 or 14 days; hours every 1, 2, 3, 6 or 12, or not at all.
std::vector<TimeTick> timeTicks(const TimeSpan& span, int widthPx, int labelPx,
                                const DatePatterns& names);

// Step times made never to go back (a clock set back leaves a later line with an earlier
// date); the chart draws and finds steps by these.
std::vector<long long> steadyTimes(const Holdings& holdings);

// The step nearest `at`: the last one at or before it or the first one after it, whichever
// is closer; nothing when there are no steps.
std::optional<std::size_t> stepNear(const std::vector<long long>& times, long long at);

// Counts at a moment: after the last step at or before it, else before the first.
RealmCounts countsAt(const Holdings& holdings, const std::vector<long long>& times, long long at);

}  // namespace tw
