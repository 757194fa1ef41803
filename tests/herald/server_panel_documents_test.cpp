#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "herald/server_panel.h"
#include "herald_test_support.h"
#include "runtime/message_box.h"

namespace tw {
namespace {

using test::describe;

class PanelDocumentsTest : public test::PanelTest {};

TEST_F(PanelDocumentsTest, SingleLineAndTabIndentedLayoutsShowTheSamePanels) {
    for (const char* name : {"herald_single_line.xml", "herald_tab_indented.xml"}) {
        const std::string variant = test::fixtureDocument(name);
        ASSERT_FALSE(variant.empty()) << name;
        for (const char* server : {"Ironmoor", "Ashvale", "Thornwick"}) {
            const ServerPanel expected = build(m_readable, server);
            const ServerPanel panel = build(variant, server);
            EXPECT_FALSE(panel.error) << name << " " << server;
            EXPECT_EQ(describe(panel.relicRows), describe(expected.relicRows)) << name << " " << server;
            EXPECT_EQ(describe(panel.keepRows), describe(expected.keepRows)) << name << " " << server;
            EXPECT_EQ(panel.trayStatus, expected.trayStatus) << name << " " << server;
        }
    }
    EXPECT_TRUE(m_boxes.calls.empty());
}

TEST_F(PanelDocumentsTest, KeepsListedBeforeRelicsAreNotShown) {
    const std::string xml = test::fixtureDocument("herald_keeps_before_relics.xml");
    const ServerPanel panel = build(xml, "Ironmoor");
    EXPECT_FALSE(panel.error);
    EXPECT_EQ(describe(panel.relicRows), describe(build(m_readable, "Ironmoor").relicRows));
    EXPECT_TRUE(panel.keepRows.empty());
    EXPECT_EQ(panel.trayStatus, "Midgard: 0\r\nAlbion: 0\r\nHibernia: 0\r\nDarkness Falls: Unknown");
    EXPECT_EQ(build(xml, "Thornwick").darknessFalls.status, "Hibernia");
}

TEST_F(PanelDocumentsTest, ServerNameMatchedAsAPrefixFindsTheEarlierLongerName) {
    const std::string xml = test::fixtureDocument("herald_prefix_names.xml");
    // "Ironmoor2" carries Ashvale's frontier in this document and comes first.
    const ServerPanel panel = build(xml, "Ironmoor");
    const ServerPanel ashvale = build(m_readable, "Ashvale");
    EXPECT_EQ(describe(panel.keepRows), describe(ashvale.keepRows));
    EXPECT_EQ(panel.realmCounts, ashvale.realmCounts);
    EXPECT_EQ(panel.darknessFalls.server, "Ironmoor") << "the holder is kept under the name asked for";
}

// Whatever byte the document is cut at, the build ends: without error once the server's
// "</server>" is in, otherwise in the error path, never outside the text.
TEST_F(PanelDocumentsTest, EveryTruncationEndsCompletedOrInTheErrorPath) {
    for (const char* server : {"Ironmoor", "Ashvale", "Thornwick"}) {
        const size_t serverAt = m_readable.find(std::string("<server name=\"") + server);
        const size_t serverEnd = m_readable.find("</server>", serverAt) + 9;
        const size_t fullRows = build(m_readable, server).keepRows.size();
        for (size_t cut = 1; cut <= m_readable.size(); ++cut) {
            const ServerPanel panel = build(m_readable.substr(0, cut), server);
            EXPECT_EQ(!panel.error, cut >= serverEnd) << server << " cut at " << cut;
            EXPECT_EQ(panel.error.value_or(RuntimeError(kErrInvalidArgument)).number(), kErrInvalidArgument)
                << server << " cut at " << cut;
            EXPECT_LE(panel.keepRows.size(), fullRows);
        }
    }
}

TEST_F(PanelDocumentsTest, HostileDocumentsNeverCrashOrHang) {
    const std::string server = "<server name=\"S\">";
    const std::string many = [] {
        std::string s;
        for (int i = 0; i < 2000; ++i) s += "<keep<relic<<>";
        return s;
    }();
    const std::vector<std::string> documents = {
        "<", "<<<<", ">", "<server name=\"S\"", server, server + "<", server + "<relic ", server + "<keep ",
        server + "<relic name=\"R\" realm=\"Albion\">", server + "<keep name=\"K\" realm=\"Albion\">",
        server + many, server + many + "</server>", server + "</server>", server + std::string(1000, '<'),
        server + "<keep name=\"K\" realm=\"Albion\"><owner></owner></keep></server>",
        std::string("<server name=\"S\0\">\0<relic\0>", 26) + "</server>",
        server + "<relics><relic name=\"R\" realm=\"Albion\"><owner>Albion</owner></relic></relics></server>",
        server + "<keep name=\"K\" realm=\"Albion\"></keep><owner>Midgard</owner></server>",
        // Megabytes of tags that never close must not cost a search per tag.
        server + std::string(2000000, '<') + "></server>",
        server + [] {
            std::string s;
            for (int i = 0; i < 100000; ++i) s += "<keep name=\"Dun K\" realm=\"Hibernia\"><owner>Hibernia";
            return s;
        }(),
    };
    for (const auto& xml : documents) build(xml, "S");
}

}  // namespace
}  // namespace tw
