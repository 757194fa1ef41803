// The herald watch on its own, with no window: what it tells its listener, in which order,
// and what it saves, against a scripted loopback herald.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "downloads_peer.h"
#include "event_loop_wait.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"
#include "watch/herald_watch.h"

namespace tw {
namespace {

using testing::lengthReply;
using testing::runUntil;
using Texts = std::vector<std::string>;

// Writes down everything the watch says, as one line each.
struct RecordingListener : WatchListener {
    void statusText(const std::string& caption) override { heard.push_back("status " + caption); }
    void staleness(StaleWatch::Turn) override {
        heard.push_back(watch->staleWatch().stale() ? "stale" : "fresh");
    }
    void updateCompleted(const std::string& lastUpdate) override { heard.push_back("completed " + lastUpdate); }
    bool documentTaken() override {
        heard.push_back("taken " + watch->XMLData);
        return false;
    }
    void changesLogged(const std::vector<LoggedChange>& changes) override {
        for (const LoggedChange& c : changes) heard.push_back("logged " + c.place + " " + c.dateIso + (c.alert == AlertIcon::Red ? " red" : ""));
    }
    const HeraldWatch* watch = nullptr;
    Texts heard;
};

class HeraldWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = folder;
        services.processFacts.clock = {2026, 12, 7, 20, 15, 0};
        listener.watch = &watch;
        WriteSetting("LocationHost", peer.hostPort());
        peer.respondWith([](const std::string&) { return lengthReply("<server name=\"Up\" />"); });
        watch.HostServers = {peer.hostPort() + "/server-info.xml"};
    }
    // What was heard, without the progress captions in between.
    Texts heardBesidesProgress() const {
        Texts lines;
        for (const std::string& line : listener.heard)
            if (line.rfind("status Receiving", 0) != 0) lines.push_back(line);
        return lines;
    }
    bool heard(const std::string& line) {
        return runUntil([&] { return !listener.heard.empty() && listener.heard.back() == line; });
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::ScriptedPeer peer;
    testing::TempFolder temp;
    std::string folder = temp.slashed();
    RecordingListener listener;
    HeraldWatch watch{folder, listener};
};

TEST_F(HeraldWatchTest, ACompleteUpdateIsSavedThenAnnouncedThenTaken) {
    watch.Update();
    ASSERT_TRUE(heard("taken <server name=\"Up\" />"));
    const std::string lastUpdate = ReadSetting("LastUpdate", "");
    EXPECT_FALSE(lastUpdate.empty());
    EXPECT_EQ(heardBesidesProgress(), (Texts{"status Connecting...", "status Sending request...",
                                             "status Update complete", "fresh", "completed " + lastUpdate,
                                     "taken <server name=\"Up\" />"}));
    EXPECT_EQ(platform::readWholeFile(folder + "server-info.xml"), "<server name=\"Up\" />\r\n");
    EXPECT_EQ(peer.requests().size(), 1u);
}

TEST_F(HeraldWatchTest, AChangeOfOwnerIsLoggedToldAndRunsTheCommandOnce) {
    const std::string marker = folder + "ran";
    WriteSetting("Realm", "2");  // Albion, which loses the keep
    WriteSetting("OnChangeCommand", "sh -c \"echo $TOWERWATCH_PLACE >> " + marker + "\"");
    auto document = [](const std::string& owner) {
        return "<server name=\"Ironmoor\">\n<keep name=\"Dun Brae\" realm=\"Albion\">\n<owner>" + owner +
               "</owner>\n</keep>\n</server>\n";
    };
    watch.XMLData = document("Albion");
    EXPECT_TRUE(watch.DoSwitchOff("Ironmoor", FlashState{}).logged.empty());
    watch.XMLData = document("Hibernia");
    const SwitchOffOutcome outcome = watch.DoSwitchOff("Ironmoor", FlashState{});
    ASSERT_EQ(outcome.logged.size(), 1u);
    EXPECT_TRUE(outcome.flashReplaced);
    EXPECT_EQ(outcome.flash.alertIcon, AlertIcon::Red);
    EXPECT_EQ(listener.heard, Texts{"logged Dun Brae 2026-12-07T20:15:00 red"});
    const std::string log = platform::readWholeFile(folder + "Ironmoor.log").value_or("");
    EXPECT_NE(log.find("Dun Brae"), std::string::npos) << log;
    EXPECT_TRUE(runUntil([&] { return platform::readWholeFile(marker) == "Dun Brae\n"; }, 10000));
}

}  // namespace
}  // namespace tw
