#include "history/chart_axis.h"

#include <algorithm>

#include "runtime/local_zone.h"

namespace tw {
namespace {

constexpr long long kHour = 3600;
constexpr long long kDay = 24 * kHour;

std::string twoDigits(int n) {
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

}  // namespace

TimeSpan chartSpan(const Holdings& holdings, ChartRange range, long long now) {
    switch (range) {
    case ChartRange::Last24Hours: return {now - kDay, now};
    case ChartRange::Last7Days: return {now - 7 * kDay, now};
    case ChartRange::Everything: break;
    }
    if (holdings.steps.empty()) return {now - kHour, now};
    const std::vector<long long> times = steadyTimes(holdings);
    const long long to = std::max(now, times.back());
    // A little room before the first step, so it shows as a step and not as the edge.
    const long long from = times.front() - std::max(kHour / 4, (to - times.front()) / 50);
    return {from, to};
}

std::vector<TimeTick> timeTicks(const TimeSpan& span, int widthPx, int labelPx,
                                const DatePatterns& names) {
    std::vector<TimeTick> ticks;
    const long long length = span.to - span.from;
    if (length <= 0 || widthPx <= 0) return ticks;
    // The smallest step whose labels keep `labelPx` apart.
    auto fits = [&](long long step) { return step * widthPx / length >= labelPx; };
    long long dayStep = 0;
    for (long long days : {1, 2, 7, 14, 28, 56, 112, 364})
        if (fits(days * kDay)) {
            dayStep = days * kDay;
            break;
        }
    if (dayStep == 0) dayStep = 728 * kDay;
    long long hourStep = 0;
    for (long long hours : {1, 2, 3, 6, 12})
        if (fits(hours * kHour)) {
            hourStep = hours * kHour;
            break;
        }

    // Midnights and whole hours as the local clock shows them, each where it really falls:
    // a day a clock change shortens or lengthens is 23 or 25 hours wide, and an hour the
    // clock skips gets no tick.
    const long long dayEvery = dayStep / kDay;
    const LocalDateTime first = zonedDateTimeAt(span.from), last = zonedDateTimeAt(span.to);
    const long long lastDay = secondsOf({last.year, last.month, last.day, 0, 0, 0});
    for (long long day = secondsOf({first.year, first.month, first.day, 0, 0, 0}); day <= lastDay; day += kDay) {
        const LocalDateTime date = localDateTimeAt(day);
        if (day / kDay % dayEvery == 0) {
            const long long midnight = zonedSecondsOf(date);
            if (midnight >= span.from && midnight <= span.to)
                ticks.push_back({midnight, true, std::to_string(date.day) + " " + names.shortMonthNames[(date.month + 11) % 12]});
        }
        for (long long hour = hourStep / kHour; hourStep != 0 && hour < 24; hour += hourStep / kHour) {
            LocalDateTime wall = date;
            wall.hour = static_cast<int>(hour);
            const long long at = zonedSecondsOf(wall);
            if (at >= span.from && at <= span.to && zonedDateTimeAt(at).hour == wall.hour)
                ticks.push_back({at, false, twoDigits(wall.hour) + ":00"});
        }
    }
    std::sort(ticks.begin(), ticks.end(), [](const TimeTick& a, const TimeTick& b) { return a.at < b.at; });
    return ticks;
}

std::vector<long long> steadyTimes(const Holdings& holdings) {
    std::vector<long long> times;
    times.reserve(holdings.steps.size());
    for (const HoldingStep& step : holdings.steps)
        times.push_back(times.empty() ? step.when : std::max(times.back(), step.when));
    return times;
}

std::optional<std::size_t> stepNear(const std::vector<long long>& times, long long at) {
    const auto after = std::upper_bound(times.begin(), times.end(), at);
    if (after == times.begin()) {
        if (times.empty()) return std::nullopt;
        return 0;
    }
    const std::size_t before = static_cast<std::size_t>(after - times.begin()) - 1;
    if (after != times.end() && *after - at < at - times[before])
        return static_cast<std::size_t>(after - times.begin());
    return before;
}

RealmCounts countsAt(const Holdings& holdings, const std::vector<long long>& times, long long at) {
    const auto after = std::upper_bound(times.begin(), times.end(), at);
    if (after == times.begin()) return holdings.start;
    return holdings.steps[static_cast<std::size_t>(after - times.begin()) - 1].counts;
}

}  // namespace tw
