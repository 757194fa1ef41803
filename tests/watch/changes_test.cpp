// What the watch writes to the monitored server's log: after a line the last run cut short,
// nothing of a change the disk has no room for, and at most a mebibyte from one document.
#include "file_size_limit.h"
#include "history/event_log.h"
#include "runtime/general_date.h"
#include "watch_fixture.h"

namespace tw::testing {
namespace {

struct Keep {
    std::string name, owner;
};

// One server and its keeps, one tag per line as heralds write them.
std::string heraldDocument(const std::string& server, const std::vector<Keep>& keeps) {
    std::string text = "<heraldstatus>\n <server name=\"" + server + "\">\n  <status>Up</status>\n";
    for (const Keep& keep : keeps)
        text += "  <keep name=\"" + keep.name + "\" realm=\"Albion\">\n   <owner>" + keep.owner + "</owner>\n  </keep>\n";
    return text + " </server>\n</heraldstatus>\n";
}

class ChangesTest : public WatchTest {
protected:
    SwitchOffOutcome takeIn(const std::string& server, const std::vector<Keep>& keeps) {
        watch.XMLData = heraldDocument(server, keeps);
        return watch.DoSwitchOff(server, FlashState{});
    }
    std::string when() const { return generalDate(services.processFacts.clock, services.processFacts.patterns); }
};

TEST_F(ChangesTest, ALoggedChangeFollowsACutShortLineAndAFailedOneLeavesTheLogAsItWas) {
    // The last run ran out of disk part-way through a record.
    const std::string cut = "Dun Mellow,Hibernia,Midgard,5/16/2024\r\nVornfaste,Alb";
    ASSERT_TRUE(platform::writeFileAtomically(folder + "Stormreach.log", cut));
    takeIn("Stormreach", {{"Caer Ashwold", "Albion"}});
    takeIn("Stormreach", {{"Caer Ashwold", "Midgard"}});
    const std::string before = file("Stormreach.log");
    EXPECT_EQ(before, cut + "\r\nCaer Ashwold,Midgard,Albion," + when() + "\r\n");

    // The disk fills up again: the change is reported and no part of it stays behind.
    {
        const ScopedFileSizeLimit fullDisk(before.size() + 10);
        takeIn("Stormreach", {{"Caer Ashwold", "Hibernia"}});
    }
    EXPECT_EQ(file("Stormreach.log"), before);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Error in DoSwitchOff sub\r\n#75 Path/File access error");
}

TEST_F(ChangesTest, OneDocumentAddsAtMostAMebibyteToTheLogAndTheStatusLineCountsTheRest) {
    // Names of the longest kept length, so each change takes about 800 bytes of log.
    constexpr int kKeeps = 1500;
    std::vector<Keep> before, after;
    for (int i = 0; i < kKeeps; ++i) {
        std::string name = "Tower " + std::to_string(i) + " ";
        name.resize(255, 'x');
        before.push_back({name, "Albion" + std::string(249, 'a')});
        after.push_back({name, "Midgard" + std::string(248, 'm')});
    }
    takeIn("Floodmoor", before);
    const SwitchOffOutcome outcome = takeIn("Floodmoor", after);

    const std::string text = file("Floodmoor.log");
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
    EXPECT_EQ(caption(), "Too many changes in one update: " + std::to_string(kKeeps - events.size()) + " not logged");
    // The alert tells of the last change logged, not of one left out.
    EXPECT_EQ(outcome.logged.size(), events.size());
    EXPECT_EQ(outcome.flash.tag, after[events.size() - 1].name + " taken by " + after[0].owner + " from " +
                                     before[0].owner);
}

}  // namespace
}  // namespace tw::testing
