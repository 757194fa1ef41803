#include "herald/server_panel.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "herald_test_support.h"
#include "runtime/message_box.h"

namespace tw {
namespace {

using test::describe;

constexpr ColorValue kMid = 8388608, kAlb = 128, kHib = 32768;
constexpr auto kHammer = RealmPicture::Hammer, kCup = RealmPicture::Cup, kTree = RealmPicture::Tree,
               kNone = RealmPicture::None;

PanelRow row(RowKind kind, std::string caption, int left, int top, ColorValue color, RealmPicture picture,
             int pictureLeft, int pictureTop, PanelColumn column) {
    return PanelRow{kind, column, std::move(caption), color, left, top, picture, pictureLeft, pictureTop, {}, {}, {}, {}};
}
PanelRow relicHeading(std::string realm, int top, ColorValue color, RealmPicture picture) {
    return row(RowKind::Heading, std::move(realm), 5520, top, color, picture, 5280, top, PanelColumn::Relic);
}
PanelRow relicEntry(std::string name, int top, ColorValue color, RealmPicture picture) {
    return row(RowKind::Entry, std::move(name), 5620, top, color, picture, 5380, top, PanelColumn::Relic);
}
PanelRow keepHeading(std::string realm, int top, ColorValue color, RealmPicture picture) {
    return row(RowKind::Heading, std::move(realm), 2460, top, color, picture, 2220, top, PanelColumn::Keep);
}
PanelRow keepEntry(std::string name, int top, ColorValue color, RealmPicture picture) {
    return row(RowKind::Entry, std::move(name), 2560, top, color, picture, 2335, top, PanelColumn::Keep);
}
PanelRow claimed(PanelRow r, std::string caption, std::string tooltip, int left, int endLeft,
                 std::string tag) {
    r.caption += " (";
    r.tag = std::move(tag);
    r.claimant = ClaimantLink{std::move(caption), std::move(tooltip), left, endLeft};
    return r;
}

// A server of one relic and keeps in each frontier owned as the counts say.
std::string serverWithCounts(const std::string& name, int midgard, int albion, int hibernia) {
    std::string xml = "<server name=\"" + name + "\">\n<relic name=\"Horn of Skaldrun\" realm=\"Midgard\">\n"
                      "<owner>Midgard</owner>\n</relic>\n";
    auto keeps = [&](const char* realm, const char* owner, int count) {
        for (int i = 0; i < count; ++i)
            xml += std::string("<keep name=\"Caer ") + std::to_string(i) + "\" realm=\"" + realm +
                   "\">\n<owner>" + owner + "</owner>\n</keep>\n";
    };
    keeps("Albion", "Midgard", midgard);
    keeps("Midgard", "Albion", albion);
    keeps("Hibernia", "Hibernia", hibernia);
    return xml + "</server>\n";
}

class ServerPanelTest : public test::PanelTest {};

TEST_F(ServerPanelTest, RelicsGroupByHomeRealmKeepsByFrontierNeutralInTheRelicColumnEntriesInTheOwnersLook) {
    const ServerPanel panel = build(m_readable, "Ironmoor");
    const std::vector<PanelRow> relics = {
        relicHeading("Albion", 1320, kAlb, kCup),
        relicEntry("Scabbard of Oryn", 1535, kAlb, kCup),
        relicEntry("Chalice of Vesk", 1750, kMid, kHammer),
        relicHeading("Midgard", 2070, kMid, kHammer),
        relicEntry("Horn of Skaldrun", 2285, kMid, kHammer),
        relicEntry("Anvil of Hrothvik", 2500, kHib, kTree),
        relicHeading("Hibernia", 2820, kHib, kTree),
        relicEntry("Harp of Leannach", 3035, kHib, kTree),
        relicEntry("Torc of Brennagh", 3250, kAlb, kCup),
    };
    EXPECT_EQ(describe(panel.relicRows), describe(relics));
    EXPECT_TRUE(m_boxes.calls.empty());
    const std::string lantern = "Order of the Pale Lantern";
    const std::string lanternPage = "http://herald.example.org/guild/pale-lantern";
    const std::string fianna = "http://herald.example.org/guild/fianna-ghlas";
    const std::string ravens = "Ravens of the Northern Reach and Every Cold Fjord Beyond";
    PanelRow neutralHeading = keepHeading("Neutral", 3680, 0, kNone);
    neutralHeading.left = 5520;
    neutralHeading.column = PanelColumn::Relic;
    auto neutralEntry = [](std::string name, int top, ColorValue color, RealmPicture picture) {
        return row(RowKind::Entry, std::move(name), 5620, top, color, picture, 5395, top, PanelColumn::Relic);
    };
    const std::vector<PanelRow> expected = {
        keepHeading("Albion", 1320, kAlb, kCup),
        claimed(keepEntry("Caer Wendmoor", 1535, kAlb, kCup), lantern, lantern, 3460, 4960, lanternPage),
        keepEntry("Caer Tollbridge", 1750, kMid, kHammer),
        keepEntry("Caer Ashgrove", 1965, kAlb, kCup),
        claimed(keepEntry("Caer Hollin", 2180, kHib, kTree), "Fianna Ghlas", "Fianna Ghlas", 3340, 4060, fianna),
        keepHeading("Midgard", 2500, kMid, kHammer),
        // 3520 + 56 characters would end at 6880: 32 are dropped so the rest ends by 4960.
        claimed(keepEntry("Ulfsgard Faste", 2715, kMid, kHammer), "Ravens of the Northern R..", ravens, 3520,
                5080, "http://herald.example.org/guild/northern-ravens"),
        claimed(keepEntry("Kaldmark Faste", 2930, kMid, kHammer), "Ice", "Ice", 3520, 3700, ""),
        keepEntry("Bjornholt Faste", 3145, kHib, kTree),
        keepEntry("Vargstad Faste", 3360, kMid, kHammer),
        keepHeading("Hibernia", 3680, kHib, kTree),
        claimed(keepEntry("Dun Caelric", 3895, kHib, kTree), "Fianna Ghlas", "Fianna Ghlas", 3340, 4060, fianna),
        keepEntry("Dun Morrow", 4110, kMid, kHammer),
        keepEntry("Dun Eithne", 4325, kAlb, kCup),
        neutralHeading,
        // Even with every character dropped this link would start past 5000: ".." alone.
        claimed(neutralEntry("Greyfen Keep", 3895, kMid, kHammer), "..", lantern, 6460, 6580, lanternPage),
        neutralEntry("Stonereach Keep", 4110, 0, kNone),
    };
    EXPECT_EQ(describe(panel.keepRows), describe(expected));
    EXPECT_FALSE(panel.error.has_value());
}

TEST_F(ServerPanelTest, CountsExactRealmOwnersOutsideNeutralAndNamesTheHolder) {
    const ServerPanel ironmoor = build(m_readable, "Ironmoor");
    EXPECT_EQ(ironmoor.realmCounts, (std::array<std::int16_t, 3>{5, 3, 3}));
    EXPECT_EQ(ironmoor.dfColor, kMid);
    EXPECT_EQ(ironmoor.dfPicture, kHammer);
    EXPECT_EQ(ironmoor.trayStatus, "Midgard: 5\r\nAlbion: 3\r\nHibernia: 3\r\nDarkness Falls: Midgard");

    // Ashvale: an owner written "midgard" looks like Midgard but is not counted: 2, 2, 1.
    const ServerPanel ashvale = build(m_readable, "Ashvale", ironmoor.darknessFalls);
    EXPECT_EQ(ashvale.realmCounts, (std::array<std::int16_t, 3>{2, 2, 1}));
    const auto& kaldmark = ashvale.keepRows.at(5);
    EXPECT_EQ(kaldmark.caption, "Kaldmark Faste");
    EXPECT_EQ(kaldmark.color, kMid);
    EXPECT_EQ(kaldmark.picture, kHammer);
}

// Rows marked `after` start from the holder the row before named; the others from none.
TEST_F(ServerPanelTest, HolderOwnsStrictlyMoreThanEachOtherRealmAndATieKeepsTheSameServersHolder) {
    const struct {
        const char* server;
        int m, a, h;
        const char* status;
        bool after = false;
    } rows[] = {
        {"Ironmoor", 3, 4, 5, "Hibernia"}, {"Ironmoor", 0, 0, 1, "Hibernia"}, {"Ironmoor", 3, 1, 1, "Midgard"},
        {"Ironmoor", 1, 2, 0, "Albion"},   {"Ironmoor", 2, 1, 2, "Unknown"},  {"Ironmoor", 1, 2, 2, "Unknown"},
        {"Ironmoor", 0, 0, 0, "Unknown"},  {"Ironmoor", 4, 4, 4, "Unknown"},  {"Ironmoor", 8, 8, 5, "Unknown"},
        {"Ironmoor", 9, 8, 5, "Midgard", true}, {"Ironmoor", 8, 8, 5, "Midgard", true},
        {"Ashvale", 0, 0, 0, "Unknown", true},
    };
    DarknessFalls last;
    for (const auto& r : rows) {
        const ServerPanel panel = build(serverWithCounts(r.server, r.m, r.a, r.h), r.server,
                                        r.after ? last : DarknessFalls{});
        const std::string label = std::to_string(r.m) + " " + std::to_string(r.a) + " " + std::to_string(r.h);
        EXPECT_EQ(panel.darknessFalls.server, r.server) << label;
        EXPECT_EQ(panel.darknessFalls.status, r.status) << label;
        EXPECT_EQ(panel.dfPicture == kNone, std::string(r.status) == "Unknown") << label;
        EXPECT_NE(panel.trayStatus.find(std::string("Darkness Falls: ") + r.status), std::string::npos) << label;
        last = panel.darknessFalls;
    }
}

TEST_F(ServerPanelTest, ClaimantIsWholeUpTo5100AndCutByWholeCharactersToEndBefore5000Beyond) {
    m_metrics = test::fixedPitch(10);  // ten twips a byte: a two-byte character is twenty
    const std::string e = "\xc3\xa9", euro = "\xe2\x82\xac";
    auto repeat = [](const std::string& piece, int times) {
        std::string s;
        for (int i = 0; i < times; ++i) s += piece;
        return s;
    };
    const struct {
        std::string claimant, caption;
        int endLeft;
        std::size_t tooltipBytes;
        const char* label;
    } rows[] = {
        // The link starts at 2560 + width of "Caer X (" = 2640.
        {std::string(246, 'g'), std::string(246, 'g'), 5100, 246, "whole up to 5100"},
        // Read as its first 254 bytes (no half character at 255), which would end at 5180:
        // 10 characters go.
        {repeat(e, 150), repeat(e, 117) + "..", 5000, 254, "two-byte characters"},
        {"xy" + repeat(euro, 100), "xy" + repeat(euro, 77) + "..", 4990, 254, "three-byte characters"},
        // One byte past 5100, and not UTF-8: Windows-1252, one character a byte, 12 of them go.
        {std::string(247, '\xe9'), std::string(235, '\xe9') + "..", 5010, 247, "Windows-1252"},
    };
    for (const auto& r : rows) {
        const std::string xml = "<server name=\"S\"><keep name=\"Caer X\" realm=\"Albion\"><owner>Albion</owner>"
                                "<claimant>" + r.claimant + "</claimant></keep></server>";
        const ServerPanel panel = build(xml, "S");
        ASSERT_EQ(panel.keepRows.size(), 2u) << r.label;
        ASSERT_TRUE(panel.keepRows[1].claimant) << r.label;
        EXPECT_EQ(panel.keepRows[1].claimant->caption, r.caption) << r.label;
        EXPECT_EQ(panel.keepRows[1].claimant->endLeft, r.endLeft) << r.label;
        EXPECT_EQ(panel.keepRows[1].claimant->tooltip, r.claimant.substr(0, r.tooltipBytes)) << r.label;
    }
}

TEST_F(ServerPanelTest, SaturatedWidthsPlaceTheClaimantAtTheFarEndWithoutOverflow) {
    // The window reports the largest int for text too wide to measure.
    m_metrics.labelWidth = [](const std::string& s) {
        return s.size() > 150 ? INT_MAX : 60 * static_cast<int>(s.size());
    };
    m_metrics.textWidth = m_metrics.labelWidth;
    const std::string longName(200, 'k'), longGuild(200, 'g');
    const std::string xml = "<server name=\"S\"><keep name=\"" + longName + "\" realm=\"Albion\">"
                            "<owner>Albion</owner><claimant>Guild</claimant></keep>"
                            "<keep name=\"Caer X\" realm=\"Albion\"><owner>Albion</owner>"
                            "<claimant>" + longGuild + "</claimant></keep></server>";
    const ServerPanel panel = build(xml, "S");
    ASSERT_FALSE(panel.error);
    ASSERT_EQ(panel.keepRows.size(), 3u);
    // After an unmeasurably wide keep name the link stands at the far end, shown as "..".
    const auto& far = panel.keepRows[1].claimant;
    ASSERT_TRUE(far);
    EXPECT_EQ(far->caption, "..");
    EXPECT_EQ(far->left, INT_MAX);
    EXPECT_EQ(far->endLeft, INT_MAX);
    // An unmeasurably wide guild name is cut until what is left can be measured and fits.
    const auto& cut = panel.keepRows[2].claimant;
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->left, 2560 + 8 * 60);
    EXPECT_EQ(cut->caption, std::string(49, 'g') + "..");
    EXPECT_EQ(cut->endLeft, 2560 + 8 * 60 + 51 * 60);
}

TEST_F(ServerPanelTest, FailuresStopTheBuildKeepingRowsAndThePreviousHolder) {
    const DarknessFalls before{"Ironmoor", "Albion"};
    const std::string head = "<server name=\"S\"><relic name=\"R\" realm=\"Albion\"><owner>Hibernia</owner>"
                             "</relic><keep name=\"Caer A\" realm=\"Albion\"><owner>Albion</owner></keep>";
    const struct {
        std::string xml, server;
        int number;
        size_t relicRows, keepRows;
        const char* label;
    } rows[] = {
        {m_readable, "Stormhold", 5, 0, 0, "server not in the document"},
        {test::fixtureDocument("herald_no_server.xml"), "Ironmoor", 5, 0, 0, "no server at all"},
        {head + "<keep name=\"Caer B\" realm=\"Albion\"><owner>Albion</keep></server>", "S", 5, 2, 2,
         "owner without its closing tag"},
        {head + "<keep name=\"Caer B\" realm=\"Albion\"><owner>Albion</owner><claimant>G</keep></server>", "S",
         5, 2, 2, "claimant without its closing tag"},
        {head + "<keep name=\"Caer B\" realm=\"Albion\"><owner>Albion</owner></keep>", "S", 5, 2, 3,
         "scan runs past the last < without </server>"},
        {head + "<relic name=\"Q\" realm=\"Albion\"><owner>Albion</relic></server>", "S", 5, 2, 2,
         "relic owner never closed"},
        {"<server name=\"S\"><relic name=\"R\" realm=\"\"><owner>Albion</owner></relic></server>", "S", 340,
         0, 0, "first entry without a heading above it"},
    };
    for (const auto& r : rows) {
        const ServerPanel panel = build(r.xml, r.server, before);
        ASSERT_TRUE(panel.error.has_value()) << r.label;
        EXPECT_EQ(panel.error->number(), r.number) << r.label;
        EXPECT_EQ(panel.relicRows.size(), r.relicRows) << r.label;
        EXPECT_EQ(panel.keepRows.size(), r.keepRows) << r.label;
        EXPECT_EQ(panel.darknessFalls.server + "/" + panel.darknessFalls.status, "Ironmoor/Albion") << r.label;
        EXPECT_EQ(panel.trayStatus, "") << r.label;
    }
    EXPECT_FALSE(buildServerPanel("", "Ironmoor", before, m_metrics).has_value()) << "empty document";
    EXPECT_TRUE(m_boxes.calls.empty()) << "the window shows the LoadInfo box, not the model";
}

TEST_F(ServerPanelTest, UnreadableKeepTagShowsGetItemBoxesAndTheBuildGoesOn) {
    const std::string xml = "<server name=\"S\"><relic name=\"R\" realm=\"Albion\"><owner>Albion</owner></relic>"
                            "<keep name=\"Caer A\" realm=\"Albion\"><owner>Albion</owner></keep>"
                            "<keep><owner>Midgard</owner></keep></server>";
    const ServerPanel panel = build(xml, "S");
    ASSERT_EQ(m_boxes.calls.size(), 2u) << "realm, then name";
    EXPECT_EQ(m_boxes.calls[0].text, "Error in GetItem sub\r\n#5 Invalid procedure call or argument");
    EXPECT_FALSE(panel.error);
    ASSERT_EQ(panel.keepRows.size(), 4u);
    EXPECT_EQ(panel.keepRows[2].kind, RowKind::Heading);
    EXPECT_EQ(panel.keepRows[2].caption, "");
    EXPECT_EQ(panel.keepRows[3].color, kMid);
    EXPECT_EQ(panel.realmCounts, (std::array<std::int16_t, 3>{1, 1, 0})) << "a keep of no frontier still counts";
}

TEST_F(ServerPanelTest, ListsStopAtTheLastElementIndexWithOverflow) {
    std::string xml = "<server name=\"S\">";
    const std::string keep = "<keep name=\"Caer\" realm=\"Albion\"><owner>Unclaimed</owner></keep>";
    xml.reserve(xml.size() + keep.size() * 32768 + 16);
    for (int i = 0; i < 32767; ++i) xml += keep;
    xml += "</server>";
    const ServerPanel panel = build(xml, "S");
    ASSERT_TRUE(panel.error.has_value());
    EXPECT_EQ(panel.error->number(), kErrOverflow);
    EXPECT_EQ(panel.keepRows.size(), 32768u);
}

}  // namespace
}  // namespace tw
