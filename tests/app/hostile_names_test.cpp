// A herald that sends names of any length, served from a loopback peer and taken in by the
// main window's own downloads: what the panel shows, what the log holds and the alert.
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
        WriteSetting("UpdateOnStart", "0");
        WriteSetting("MonitorServer", "Longmarch");
        ASSERT_TRUE(platform::writeFileAtomically(m_folder + "towerwatchlocations.txt",
                                                  peer.hostPort() + "/server-info.xml\r\n"));
        peer.respondWith([this](const std::string&) { return lengthReply(document); });
        main.Form_Load();
    }
    // One update from the peer, clicked for, waited for until the window has taken it in.
    bool takeIn(const std::string& text) {
        document = text;
        main.lblServerInfo.setCaption("");
        main.Label5.click();
        return runUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }, 60000);
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

}  // namespace
}  // namespace tw
