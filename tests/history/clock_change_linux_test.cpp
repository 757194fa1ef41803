// The log's dates across the clock changes of a real time zone: durations and the chart's
// spacing count the time that passed, while the texts keep the dates as the log has them.
#include <gtest/gtest.h>

#include "history/chart_axis.h"
#include "history/held_since.h"
#include "history/holdings.h"
#include "local_time_zone.h"

namespace tw {
namespace {

// Berlin in 2026: 29 March 02:00 CET becomes 03:00 CEST, 25 October 03:00 CEST becomes
// 02:00 CET again.
constexpr const char* kZone = "Europe/Berlin";

long long utc(int month, int day, int hour, int minute = 0) { return secondsOf({2026, month, day, hour, minute, 0}); }

const std::string kDocument =
    "<heraldstatus>\n  <server name=\"Stone Bridge\">\n    <status>Up</status>\n"
    "    <keep name=\"Caer Ashwold\" realm=\"Albion\">\n      <owner>Midgard</owner>\n    </keep>\n"
    "  </server>\n</heraldstatus>\n";

class ClockChange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing::LocalTimeZone::installed(kZone)) << "needs Debian's tzdata"; }
    testing::LocalTimeZone zone{kZone};
};

TEST_F(ClockChange, HeldForCountsTheHourTheClockSkipsOrRepeatsAsItPassed) {
    const HeldSince held("Caer Ashwold,Midgard,Albion,3/29/2026 1:30:00 AM\r\n"
                         "Dun Mellow,Hibernia,Albion,3/28/2026 12:00:00 PM\r\n"
                         // 02:30 comes twice that night; the log's date is read as the first,
                         // still summer time.
                         "Grimfell Faste,Albion,Midgard,10/25/2026 2:30:00 AM\r\n"
                         "Hrothgard Tower,Albion,Midgard,10/24/2026 12:00:00 PM\r\n",
                         DatePatterns{});
    struct Case {
        const char* place;
        const char* owner;
        LocalDateTime now;
        const char* text;
    };
    for (const Case& c : {Case{"Caer Ashwold", "Midgard", {2026, 3, 29, 3, 30, 0}, "held by Midgard since 29 Mar 01:30 (1 h)"},
                          Case{"Dun Mellow", "Hibernia", {2026, 3, 29, 12, 0, 0}, "held by Hibernia since 28 Mar 12:00 (23 h)"},
                          Case{"Grimfell Faste", "Albion", {2026, 10, 25, 3, 0, 0},
                               "held by Albion since 25 Oct 02:30 (1 h 30 min)"},
                          Case{"Hrothgard Tower", "Albion", {2026, 10, 25, 12, 0, 0},
                               "held by Albion since 24 Oct 12:00 (1 d 1 h)"}})
        EXPECT_EQ(held.text(c.place, c.owner, c.now), c.text);
}

TEST_F(ClockChange, ChartStepsAndTicksLieWhereTheMomentsReallyFell) {
    const Holdings h = holdingsOverTime(kDocument, "Stone Bridge",
                                        "Caer Ashwold,Albion,Midgard,3/29/2026 1:30:00 AM\r\n"
                                        "Caer Ashwold,Midgard,Albion,3/29/2026 3:30:00 AM\r\n",
                                        GeneralDateReader(DatePatterns{}));
    ASSERT_EQ(h.steps.size(), 2u);
    EXPECT_EQ(h.steps[0].when, utc(3, 29, 0, 30));
    EXPECT_EQ(h.steps[1].when - h.steps[0].when, 3600);

    using Ticks = std::vector<std::pair<long long, std::string>>;
    auto ticks = [](long long from, long long to) {
        Ticks seen;
        for (const TimeTick& t : timeTicks({from, to}, 600, 44, DatePatterns{})) seen.emplace_back(t.at, t.label);
        return seen;
    };
    // Local midnight to 05:00 of the short night: no 02:00, and 01:00 to 03:00 is one hour.
    EXPECT_EQ(ticks(utc(3, 28, 23), utc(3, 29, 3)),
              (Ticks{{utc(3, 28, 23), "29 Mar"}, {utc(3, 29, 0), "01:00"}, {utc(3, 29, 1), "03:00"},
                     {utc(3, 29, 2), "04:00"}, {utc(3, 29, 3), "05:00"}}));
    // The long night: 02:00 at its first passing, two hours before 03:00.
    EXPECT_EQ(ticks(utc(10, 24, 22), utc(10, 25, 2)),
              (Ticks{{utc(10, 24, 22), "25 Oct"}, {utc(10, 24, 23), "01:00"}, {utc(10, 25, 0), "02:00"},
                     {utc(10, 25, 2), "03:00"}}));
    // Weekly midnights (Thursdays) across the change: the week with the short night is an
    // hour short of seven days.
    const auto weeks = timeTicks({utc(3, 20, 0), utc(4, 17, 0)}, 600, 44, DatePatterns{});
    ASSERT_EQ(weeks.size(), 4u);
    EXPECT_EQ(weeks[0].at, utc(3, 25, 23));
    EXPECT_EQ(weeks[0].label, "26 Mar");
    EXPECT_EQ(weeks[1].at - weeks[0].at, 7 * 24 * 3600 - 3600);
    EXPECT_EQ(weeks[2].at - weeks[1].at, 7 * 24 * 3600);
}

}  // namespace
}  // namespace tw
