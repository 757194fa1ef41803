#include "alerts/stale_watch.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using Turn = StaleWatch::Turn;

LocalDateTime at(int day, int hour, int minute) { return {2026, 12, day, hour, minute, 0}; }

TEST(StaleWatch, TurnsOnAgeOnlyPastTwoPeriodsAcrossMidnightAndOnFailuresOnlyWhenUpdatesAreOff) {
    StaleWatch watch;
    watch.setUpdatePeriod(15);
    EXPECT_EQ(watch.updateFailed(at(6, 9, 0)), Turn::None) << "not started: nothing turns";
    watch.restart(at(6, 23, 50));
    EXPECT_EQ(watch.timePassed(at(7, 0, 20)), Turn::None);  // exactly two periods
    EXPECT_EQ(watch.timePassed(at(7, 0, 21)), Turn::TurnedStale);
    EXPECT_EQ(watch.statusText(), "No complete update since 23:50");
    EXPECT_EQ(watch.timePassed(at(7, 0, 40)), Turn::None);
    EXPECT_EQ(watch.updateFailed(at(7, 0, 45)), Turn::None);
    EXPECT_EQ(watch.statusText(), "Herald unreachable since 00:45 \xE2\x80\x94 1 failed update");
    EXPECT_EQ(watch.updateCompleted(at(7, 0, 50)), Turn::TurnedFresh);
    EXPECT_EQ(watch.statusText(), "");

    // Updates off ("never"): days without a download are fine, the third failure is not.
    watch.setUpdatePeriod(0);
    EXPECT_EQ(watch.timePassed(at(20, 8, 0)), Turn::None);
    EXPECT_EQ(watch.updateFailed(at(20, 8, 1)), Turn::None);
    EXPECT_EQ(watch.updateFailed(at(20, 8, 2)), Turn::None);
    EXPECT_EQ(watch.updateFailed(at(20, 8, 3)), Turn::TurnedStale);
    EXPECT_EQ(watch.updateFailed(at(20, 8, 4)), Turn::None);
    EXPECT_EQ(watch.statusText(), "Herald unreachable since 08:01 \xE2\x80\x94 4 failed updates");
}

}  // namespace
}  // namespace tw
