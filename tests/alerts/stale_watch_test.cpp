#include "alerts/stale_watch.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using namespace std::chrono_literals;
using Turn = StaleWatch::Turn;

// A watch on a steady clock the test moves, with updates every 15 minutes.
struct SteadyWatch {
    SteadyWatch() { watch.setUpdatePeriod(15); }
    std::chrono::steady_clock::time_point steady;
    StaleWatch watch{[this] { return steady; }};
};

TEST(StaleWatch, AWallClockThatJumpsNeitherRaisesNorHidesTheWarning) {
    // Spring: the clock jumps from 02:00 to 03:00 between two ticks a minute apart.
    SteadyWatch spring;
    spring.watch.restart({2026, 3, 29, 1, 40, 0});
    EXPECT_EQ(spring.watch.updateCompleted({2026, 3, 29, 1, 55, 0}), Turn::None);
    spring.steady += 15min;
    EXPECT_EQ(spring.watch.timePassed(), Turn::None);  // the first tick after 03:00
    spring.steady += 15min;
    EXPECT_EQ(spring.watch.updateCompleted({2026, 3, 29, 3, 25, 0}), Turn::None);
    EXPECT_FALSE(spring.watch.stale());

    // A clock set back an hour after the last complete download: two periods later the
    // local time reads before it, and the data is stale all the same.
    SteadyWatch setBack;
    setBack.watch.restart({2026, 12, 6, 18, 0, 0});
    EXPECT_EQ(setBack.watch.updateCompleted({2026, 12, 6, 18, 5, 0}), Turn::None);
    setBack.steady += 30min;
    EXPECT_EQ(setBack.watch.timePassed(), Turn::None);
    setBack.steady += 1min;
    EXPECT_EQ(setBack.watch.timePassed(), Turn::TurnedStale);
    EXPECT_EQ(setBack.watch.statusText(), "No complete update since 18:05");
    EXPECT_EQ(setBack.watch.updateCompleted({2026, 12, 6, 17, 37, 0}), Turn::TurnedFresh);

    // Failures count whatever the clocks say, and are told by the local time of the first.
    setBack.steady += 1min;
    for (int minute : {40, 55}) EXPECT_EQ(setBack.watch.updateFailed({2026, 12, 6, 17, minute, 0}), Turn::None);
    EXPECT_EQ(setBack.watch.updateFailed({2026, 12, 6, 18, 10, 0}), Turn::TurnedStale);
    EXPECT_EQ(setBack.watch.statusText(), "Herald unreachable since 17:40 \xE2\x80\x94 3 failed updates");
}

}  // namespace
}  // namespace tw
