#include "history/history_filter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"

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

class HistoryLog : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-viewer-XXXXXX";
        m_dir = std::string(::mkdtemp(pattern)) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void writeEvents(int count) {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += (i % 2 ? "Caer " : "Dun ") + std::to_string(i) + ",Midgard,Albion,7/" +
                    std::to_string(i) + "/2003\r\n";
        ASSERT_TRUE(platform::writeFileAtomically(m_dir + "Stone_Bridge.log", text));
    }
    std::string m_dir;
};

TEST_F(HistoryLog, NewestEventsComeFirstAndOnlyMatchesAreKept) {
    writeEvents(5);
    const auto all = readSortedEvents(m_dir, "Stone Bridge", {});
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 5u);
    EXPECT_EQ((*all)[0].Place, "Caer 5");
    EXPECT_EQ((*all)[4].Place, "Caer 1");
    const auto albion = readSortedEvents(m_dir, "Stone Bridge", {"All", "All", "Albion"});
    ASSERT_TRUE(albion);
    ASSERT_EQ(albion->size(), 3u);
    EXPECT_EQ((*albion)[0].Place, "Caer 5");
    EXPECT_EQ((*albion)[2].Place, "Caer 1");
    EXPECT_FALSE(readSortedEvents(m_dir, "Kestrel", {}));
    EXPECT_FALSE(readSortedEvents(m_dir, "../Stone Bridge", {}));
}

TEST_F(HistoryLog, TenEventsFitWithoutScrollingAndElevenScrollByOne) {
    writeEvents(10);
    auto sorted = *readSortedEvents(m_dir, "Stone Bridge", {});
    EXPECT_FALSE(scrollRangeFor(sorted.size()).enabled);
    EXPECT_EQ(rowsAt(sorted, 0).size(), 10u);

    writeEvents(11);
    sorted = *readSortedEvents(m_dir, "Stone Bridge", {});
    const HistoryScrollRange range = scrollRangeFor(sorted.size());
    EXPECT_TRUE(range.enabled);
    EXPECT_EQ(range.minimum, 0);
    EXPECT_EQ(range.maximum, 1);
    const auto top = rowsAt(sorted, 0);
    EXPECT_EQ(top.front().Place, "Caer 11");
    // At value 1 the rows show the 2nd to the 11th newest.
    const auto scrolled = rowsAt(sorted, 1);
    ASSERT_EQ(scrolled.size(), 10u);
    EXPECT_EQ(scrolled.front().Place, "Dun 10");
    EXPECT_EQ(scrolled.back().Place, "Caer 1");
    EXPECT_TRUE(rowsAt(sorted, 11).empty());
    EXPECT_FALSE(scrollRangeFor(0).enabled);
}

TEST(HistoryColours, DunmorePassesTheFilterButIsNotGreen) {
    EXPECT_EQ(placeColourOnRefresh("Dun Mellow"), kHistoryHiberniaGreen);
    EXPECT_EQ(placeColourOnRefresh("Dunmore"), kHistoryBlack);
    EXPECT_EQ(placeColourOnRefresh("Caer Ashwold"), kHistoryAlbionRed);
    EXPECT_EQ(placeColourOnRefresh("Grimfell Faste"), kHistoryMidgardBlue);
    EXPECT_EQ(placeColourOnRefresh("Thornwall Keep"), kHistoryBlack);
}

TEST(HistoryColours, ScrollingBlackensOnlyBattlegroundKeepsAndLeavesOthersAlone) {
    EXPECT_EQ(placeColourOnScroll("Dun Mellow"), kHistoryHiberniaGreen);
    EXPECT_EQ(placeColourOnScroll("Thornwall Keep"), kHistoryBlack);
    EXPECT_EQ(placeColourOnScroll("Dunmore"), std::nullopt);
    EXPECT_EQ(ownerColour("Midgard"), kHistoryMidgardBlue);
    EXPECT_EQ(ownerColour("Hibernia"), kHistoryHiberniaGreen);
    EXPECT_EQ(ownerColour("Albion"), kHistoryAlbionRed);
    EXPECT_EQ(ownerColour("albion"), std::nullopt);
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
