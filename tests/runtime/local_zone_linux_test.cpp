#include "runtime/local_zone.h"

#include <gtest/gtest.h>

#include "local_time_zone.h"

namespace tw {
namespace {

long long utc(int month, int day, int hour, int minute) { return secondsOf({2026, month, day, hour, minute, 0}); }

TEST(LocalZone, RepeatedTimesAreTheFirstPassingAndSkippedOnesReadWithTheOldOffset) {
    ASSERT_TRUE(testing::LocalTimeZone::installed("Europe/Berlin")) << "needs Debian's tzdata";
    testing::LocalTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(zonedSecondsOf({2026, 1, 15, 12, 0, 0}), utc(1, 15, 11, 0));
    EXPECT_EQ(zonedSecondsOf({2026, 7, 15, 12, 0, 0}), utc(7, 15, 10, 0));
    EXPECT_EQ(zonedSecondsOf({2026, 10, 25, 2, 30, 0}), utc(10, 25, 0, 30));  // CEST, not CET
    EXPECT_EQ(zonedSecondsOf({2026, 3, 29, 2, 30, 0}), utc(3, 29, 1, 30));    // shows as 03:30
    const LocalDateTime skipped = zonedDateTimeAt(utc(3, 29, 1, 30));
    EXPECT_EQ(skipped.hour * 100 + skipped.minute, 330);
    for (long long t = utc(10, 24, 23, 0); t <= utc(10, 25, 3, 0); t += 900) {
        const LocalDateTime local = zonedDateTimeAt(t);
        // Only the second passing of the repeated hour does not come back to itself.
        const bool secondPassing = t >= utc(10, 25, 1, 0) && t < utc(10, 25, 2, 0);
        EXPECT_EQ(zonedSecondsOf(local) == t, !secondPassing) << t;
    }
    // Many dates in a row read the same as one at a time, on days with a change or without.
    ZonedSeconds many;
    for (long long wall = secondsOf({2026, 3, 25, 0, 0, 0}); wall < secondsOf({2026, 4, 2, 0, 0, 0}); wall += 1800)
        EXPECT_EQ(many.of(localDateTimeAt(wall)), zonedSecondsOf(localDateTimeAt(wall))) << wall;
    for (long long wall = secondsOf({2026, 10, 22, 0, 0, 0}); wall < secondsOf({2026, 10, 29, 0, 0, 0}); wall += 1800)
        EXPECT_EQ(many.of(localDateTimeAt(wall)), zonedSecondsOf(localDateTimeAt(wall))) << wall;
}

}  // namespace
}  // namespace tw
