// A herald that sends names of any length and turns over more keeps than the log should take
// in one update, served from a loopback peer and taken in by the main window's own downloads:
// what the panel shows, what the log holds and what the status line says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "scripted_peer.h"
#include "history/event_log.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/general_date.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::lengthReply;
using testing::runUntil;

struct Keep {
    std::string name, owner, claimant;
};

std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// One server with one relic and the keeps, one tag per line as heralds write them.
std::string heraldDocument(const std::string& server, const std::string& relic, const std::vector<Keep>& keeps) {
    std::string text = "<heraldstatus>\n <server name=\"" + server + "\">\n  <status>Up</status>\n"
                       "  <population>Low</population>\n  <relic name=\"" + relic + "\" realm=\"Albion\">\n"
                       "   <owner>Albion</owner>\n  </relic>\n";
    for (const Keep& keep : keeps)
        text += "  <keep name=\"" + keep.name + "\" realm=\"Albion\">\n   <owner>" + keep.owner + "</owner>\n"
                "   <claimant>" + keep.claimant + "</claimant>\n   <claimant_heraldurl></claimant_heraldurl>\n  </keep>\n";
    return text + " </server>\n</heraldstatus>\n";
}

class HostileHeraldTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = m_folder;
        services.processFacts.clock = {2026, 12, 6, 18, 5, 0};
        main.AppPath = m_folder;
        WriteSetting("LocationHost", "127.0.0.1:1");
        main.HostServers = {peer.hostPort() + "/server-info.xml"};
        peer.respondWith([this](const std::string&) { return lengthReply(document); });
    }
    // One update from the peer, waited for until the window has taken the document in.
    bool takeIn(const std::string& text) {
        document = text;
        main.Update();
        return runUntil([&] { return main.XMLData == text; }, 60000);
    }
    std::string log(const std::string& server) const {
        return platform::readWholeFile(EventLogPath(m_folder, server)).value_or("");
    }
    std::string when() const { return generalDate(services.processFacts.clock, services.processFacts.patterns); }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::ScriptedPeer peer;
    testing::TempFolder m_temp;
    std::string m_folder = m_temp.slashed();
    std::string document;
    frmMain main;
};

TEST_F(HostileHeraldTest, LongNamesAreCutBetweenCharactersForThePanelTheLogAndTheAlert) {
    const std::string e = "\xc3\xa9", euro = "\xe2\x82\xac";
    // UTF-8 loses the character that would cross byte 255; Windows-1252 is cut at 255 itself.
    const std::string name = "Caer" + repeat(e, 20000), shownName = "Caer" + repeat(e, 125);
    const std::string owner(40000, '\xe9'), shownOwner(255, '\xe9');
    const std::string claimant = "x" + repeat(euro, 100), shownClaimant = "x" + repeat(euro, 84);
    const std::string relic(40000, 'r');
    main.MonitorServer = "Longmarch";

    ASSERT_TRUE(takeIn(heraldDocument("Longmarch", relic, {{name, "Albion", claimant}})));
    main.lblServers_Click(0);
    ASSERT_TRUE(takeIn(heraldDocument("Longmarch", relic, {{name, owner, claimant}})));

    std::vector<HistoryEvent> events;
    forEachEvent(log("Longmarch"), [&](const HistoryEvent& event) { events.push_back(event); });
    EXPECT_EQ(events, (std::vector<HistoryEvent>{{shownName, when(), shownOwner, "Albion"}}));
    EXPECT_EQ(main.tmrIcoFlash.tag(), shownName + " taken by " + shownOwner + " from Albion");

    // The panel as rebuilt for the second document: heading, then the keep.
    ASSERT_GE(main.lblKeepList.ubound(), 1);
    EXPECT_EQ(main.lblKeepList[1].caption(), shownName + " (");
    EXPECT_EQ(main.lblClaimed[1].toolTipText(), shownClaimant);
    ASSERT_GE(main.lblRelicList.ubound(), 1);
    EXPECT_EQ(main.lblRelicList[1].caption(), std::string(255, 'r'));
    EXPECT_EQ(main.lblServerInfo.caption(), "Update complete");
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

TEST_F(HostileHeraldTest, OneDocumentAddsAtMostAMebibyteToTheLogAndTheStatusLineCountsTheRest) {
    // Names of the longest kept length, so each change takes about 800 bytes of log.
    constexpr int kKeeps = 1500;
    std::vector<Keep> before, after;
    for (int i = 0; i < kKeeps; ++i) {
        std::string name = "Tower " + std::to_string(i) + " ";
        name.resize(255, 'x');
        before.push_back({name, "Albion" + std::string(249, 'a'), ""});
        after.push_back({name, "Midgard" + std::string(248, 'm'), ""});
    }
    main.MonitorServer = "Floodmoor";
    ASSERT_TRUE(takeIn(heraldDocument("Floodmoor", "Relic", before)));
    ASSERT_TRUE(takeIn(heraldDocument("Floodmoor", "Relic", after)));

    const std::string text = log("Floodmoor");
    std::vector<HistoryEvent> events;
    forEachEvent(text, [&](const HistoryEvent& event) { events.push_back(event); });
    const std::string line = eventRecordLine(after[0].name, after[0].owner, before[0].owner, when());
    EXPECT_LE(text.size(), std::size_t{1} << 20);
    EXPECT_GT(text.size() + line.size(), std::size_t{1} << 20) << "the log takes as much as fits";
    ASSERT_GT(events.size(), 0u);
    ASSERT_LT(events.size(), std::size_t{kKeeps});
    // The first changes in document order, each once.
    for (std::size_t i = 0; i < events.size(); ++i)
        ASSERT_EQ(events[i], (HistoryEvent{after[i].name, when(), after[i].owner, before[i].owner})) << i;
    EXPECT_EQ(main.lblServerInfo.caption(),
              "Too many changes in one update: " + std::to_string(kKeeps - events.size()) + " not logged");
    // The alert tells of the last change logged, not of one left out.
    EXPECT_EQ(main.tmrIcoFlash.tag(), after[events.size() - 1].name + " taken by " + after[0].owner + " from " +
                                          before[0].owner);
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

}  // namespace
}  // namespace tw
