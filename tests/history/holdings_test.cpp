#include "history/holdings.h"

#include <gtest/gtest.h>

#include "runtime/local_zone.h"

namespace tw {
namespace {

std::string keep(const std::string& name, const std::string& realm, const std::string& owner) {
    return "    <keep name=\"" + name + "\" realm=\"" + realm + "\">\n      <owner>" + owner +
           "</owner>\n      <claimant></claimant>\n    </keep>\n";
}

std::string server(const std::string& name, const std::string& keeps) {
    return "  <server name=\"" + name + "\">\n    <status>Up</status>\n"
           "    <relic name=\"Shard of Ember\" realm=\"Albion\">\n      <owner>Albion</owner>\n"
           "    </relic>\n" + keeps + "  </server>\n";
}

// Two servers with the same keeps; only Stone Bridge is monitored.
const std::string kDocument =
    "<heraldstatus>\n" +
    server("Tidewater", keep("Caer Ashwold", "Albion", "Hibernia") + keep("Dun Mellow", "Hibernia", "Hibernia")) +
    server("Stone Bridge", keep("Caer Ashwold", "Albion", "Midgard") + keep("Dun Mellow", "Hibernia", "Hibernia") +
                               keep("Grimfell Faste", "Midgard", "Albion") +
                               keep("Marrowdown Keep", "Neutral", "Albion")) +
    "</heraldstatus>\n";

Holdings holdings(std::string log) {
    return holdingsOverTime(kDocument, "Stone Bridge", std::move(log), GeneralDateReader(DatePatterns{}));
}

TEST(Holdings, WalksBackFromTheDocumentSkippingAndCountingLinesThatDoNotFit) {
    const Holdings h = holdings(
        "Caer Ashwold,Albion,Hibernia,5/16/2024 9:00:00 AM\r\n"     // fits once the last line is walked
        "Grimfell Faste,Albion,Midgard,5/16/2024 10:00:00 AM\r\n"
        "Vanished Faste,Midgard,Albion,5/16/2024 10:30:00 AM\r\n"   // no such keep now
        "Marrowdown Keep,Albion,Midgard,5/16/2024 11:00:00 AM\r\n"  // battleground: never counted
        "Dun Mellow,Midgard,Hibernia,5/16/2024 11:30:00 AM\r\n"     // Hibernia holds it now
        "a line of three,fields,only\r\n"
        "Caer Ashwold,Midgard,Albion,the day the gate fell\r\n");   // walked, but undated
    EXPECT_EQ(h.present, (RealmCounts{1, 1, 1}));
    ASSERT_EQ(h.steps.size(), 3u);
    EXPECT_EQ(h.steps[0].counts, (RealmCounts{1, 1, 1}));
    EXPECT_EQ(h.steps[1].counts, (RealmCounts{0, 2, 1}));
    EXPECT_EQ(h.steps[2].counts, (RealmCounts{0, 2, 1}));
    EXPECT_EQ(h.start, (RealmCounts{1, 0, 2}));
    EXPECT_EQ(h.steps[1].when - h.steps[0].when, 3600);
    EXPECT_EQ(h.steps[0].when, zonedSecondsOf({2024, 5, 16, 9, 0, 0}));
    EXPECT_EQ(changeSentence(h.change(0)), "Caer Ashwold taken by Albion from Hibernia at 5/16/2024 9:00:00 AM");
    EXPECT_EQ(h.change(2).Place, "Marrowdown Keep");
    EXPECT_EQ(h.unfitLines, 2u);
    EXPECT_EQ(h.undatedLines, 1u);
}

TEST(Holdings, OneLineEmptyLogAndAServerNotInTheDocument) {
    const Holdings one = holdings("Dun Mellow,Hibernia,Albion,5/17/2024 8:15:00 AM");
    ASSERT_EQ(one.steps.size(), 1u);
    EXPECT_EQ(one.steps[0].counts, (RealmCounts{1, 1, 1}));
    EXPECT_EQ(one.start, (RealmCounts{1, 2, 0}));

    const Holdings empty = holdings("");
    EXPECT_TRUE(empty.steps.empty());
    EXPECT_EQ(empty.start, empty.present);
    EXPECT_EQ(empty.unfitLines + empty.undatedLines, 0u);

    const Holdings gone = holdingsOverTime(kDocument, "Nowhere", "Dun Mellow,Hibernia,Albion,5/17/2024\r\n",
                                           GeneralDateReader(DatePatterns{}));
    EXPECT_EQ(gone.present, (RealmCounts{0, 0, 0}));
    EXPECT_EQ(gone.unfitLines, 1u);
}

}  // namespace
}  // namespace tw
