// The herald watch on its own, with no window: what it tells its listener, in which order,
// and what it saves.
#include "append_command.h"
#include "watch_fixture.h"

namespace tw::testing {
namespace {

TEST_F(WatchTest, ACompleteUpdateIsSavedThenAnnouncedThenTaken) {
    peer.respondWith([](const std::string&) { return lengthReply("<server name=\"Up\" />"); });
    watch.HostServers = {statusLocation()};
    watch.Update();
    ASSERT_TRUE(runUntil([&] { return listener.heard.back() == "taken <server name=\"Up\" />"; }));
    const std::string lastUpdate = ReadSetting("LastUpdate", "");
    EXPECT_EQ(lastUpdate, "12/7/2026 8:15:00 PM");
    Texts besidesProgress;
    for (const std::string& line : listener.heard)
        if (line.rfind("status Receiving", 0) != 0) besidesProgress.push_back(line);
    EXPECT_EQ(besidesProgress, (Texts{"status Connecting...", "status Sending request...", "status Update complete",
                                      "fresh", "completed " + lastUpdate, "taken <server name=\"Up\" />"}));
    EXPECT_EQ(cache(), "<server name=\"Up\" />\r\n");
    EXPECT_EQ(peer.requests().size(), 1u);
    // The client closes its side once the body is complete.
    EXPECT_TRUE(runUntil([&] { return peer.clientClosed(); }));
}

TEST_F(WatchTest, AChangeOfOwnerIsLoggedToldAndRunsTheCommandOnce) {
    const std::string marker = folder + "ran";
    WriteSetting("Realm", "2");  // Albion, which loses the keep
    WriteSetting("OnChangeCommand", appendPlaceCommand(marker));
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
    EXPECT_NE(file("Ironmoor.log").find("Dun Brae"), std::string::npos) << file("Ironmoor.log");
    EXPECT_TRUE(runUntil([&] { return withPlainLineEnds(file("ran")) == "Dun Brae\n"; }, 10000));
}

}  // namespace
}  // namespace tw::testing
