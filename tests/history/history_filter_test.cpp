#include "history/history_filter.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

HistoryEvent event(const std::string& place, const std::string& newOwner,
                   const std::string& oldOwner, const std::string& when = "7/23/2003 2:05:10 PM") {
    return HistoryEvent{place, when, newOwner, oldOwner};
}

TEST(HistoryFilters, LocationFollowsTheRealmsKeepNaming) {
    struct Row {
        const char* place;
        bool all, midgard, hibernia, albion;
    };
    const Row rows[] = {
        {"Grimfell Faste", true, true, false, false},
        {"Vornfaste", true, false, false, false},  // the suffix is case-sensitive
        {"Dun Mellow", true, false, true, false},
        {"Dunmore", true, false, true, false},  // no space needed for the filter
        {"Caer Ashwold", true, false, false, true},
        {"Thornwall Keep", true, false, false, false},
        {"caer lowercase", true, false, false, false},
        {"Fastewatch", true, false, false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(placeMatchesLocation(r.place, "All"), r.all) << r.place;
        EXPECT_EQ(placeMatchesLocation(r.place, "Midgard"), r.midgard) << r.place;
        EXPECT_EQ(placeMatchesLocation(r.place, "Hibernia"), r.hibernia) << r.place;
        EXPECT_EQ(placeMatchesLocation(r.place, "Albion"), r.albion) << r.place;
    }
}

TEST(HistoryFilters, OwnerFiltersCompareExactlyAndAllThreeMustPass) {
    const HistoryEvent e = event("Caer Ashwold", "Midgard", "Albion");
    EXPECT_TRUE(PassFilters(e, {}));
    EXPECT_TRUE(PassFilters(e, {"Midgard", "Albion", "Albion"}));
    EXPECT_FALSE(PassFilters(e, {"Albion", "All", "All"}));
    EXPECT_FALSE(PassFilters(e, {"All", "Midgard", "All"}));
    EXPECT_FALSE(PassFilters(e, {"Midgard", "Albion", "Hibernia"}));
    EXPECT_FALSE(PassFilters(event("Caer Ashwold", "midgard", "Albion"), {"Midgard", "All", "All"}));
    // Taken by Albion from Albion never happens, so that pair of filters matches nothing.
    EXPECT_FALSE(PassFilters(e, {"Albion", "Albion", "All"}));
}

TEST(HistoryDays, OneSeparatorAtTheFirstRowOfEachOlderDay) {
    const DatePatterns us;
    const std::vector<std::optional<std::string>> rows = {
        "7/24/2003 9:00:00 AM", "7/24/2003 1:00:00 AM", "7/23/2003 11:00:00 PM",
        "7/23/2003", std::nullopt /* hidden */, "7/21/2003 5:00:00 PM"};
    EXPECT_EQ(daySeparatorRows(rows, us), (std::vector<std::size_t>{2, 5}));
    EXPECT_EQ(dayText("7/23/2003 2:05:10 PM", us), "Jul 23 2003");
    // Texts that are not dates compare as they stand.
    EXPECT_EQ(daySeparatorRows({"garbage", "garbage", "other"}, us), (std::vector<std::size_t>{2}));
    EXPECT_TRUE(daySeparatorRows({"7/23/2003"}, us).empty());
}

}  // namespace
}  // namespace tw
