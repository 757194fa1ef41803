#include "history/chart_axis.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

long long at(int day, int hour) { return secondsOf({2026, 12, day, hour, 0, 0}); }

TEST(ChartAxis, TicksFallOnMidnightsAndWholeHoursSpacedForTheirLabels) {
    const auto ticks = timeTicks({at(5, 20), at(7, 4)}, 600, 44, DatePatterns{});
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(ticks[0].at, at(5, 21));  // every 3 hours: 1 or 2 would crowd 600 pixels
    EXPECT_EQ(ticks[0].label, "21:00");
    EXPECT_EQ(ticks[1].at, at(6, 0));
    EXPECT_TRUE(ticks[1].day);
    EXPECT_EQ(ticks[1].label, "6 Dec");
    EXPECT_EQ(ticks[2].label, "03:00");
    EXPECT_EQ(ticks.back().at, at(7, 3));

    const auto month = timeTicks({at(1, 0), at(31, 0)}, 600, 44, DatePatterns{});
    ASSERT_GE(month.size(), 4u);
    for (size_t i = 1; i < month.size(); ++i) {
        EXPECT_TRUE(month[i].day);
        EXPECT_EQ(month[i].at - month[i - 1].at, 7 * 24 * 3600);
    }
}

TEST(ChartAxis, StepsAreFoundByTheirSteadyTimes) {
    Holdings h;
    h.start = {3, 0, 0};
    h.steps = {{100, {2, 1, 0}}, {200, {1, 2, 0}}, {150, {1, 1, 1}}};  // the clock went back
    const std::vector<long long> times = steadyTimes(h);
    EXPECT_EQ(times, (std::vector<long long>{100, 200, 200}));
    EXPECT_EQ(stepNear(times, 140), 0u);
    EXPECT_EQ(stepNear(times, 160), 1u);
    EXPECT_EQ(stepNear(times, 50), 0u);
    EXPECT_EQ(stepNear({}, 50), std::nullopt);
    EXPECT_EQ(countsAt(h, times, 99), h.start);
    EXPECT_EQ(countsAt(h, times, 200), (RealmCounts{1, 1, 1}));
    EXPECT_EQ(chartSpan(h, ChartRange::Everything, 150).to, 200);  // the log runs ahead of now
}

}  // namespace
}  // namespace tw
