#include "history/change_detection.h"

#include <gtest/gtest.h>

#include <map>

#include "history/event_log.h"
#include "runtime/message_box.h"

namespace tw {
namespace {

// One keep or relic of an invented frontier: Albion's keeps begin with "Caer", Hibernia's
// with "Dun ", Midgard's end in "Faste", battleground keeps end in "Keep".
struct Element {
    std::string name;
    std::string realm;
    std::string owner;
};

std::string keepLines(const Element& k, const std::string& indent = "    ") {
    return indent + "<keep name=\"" + k.name + "\" realm=\"" + k.realm + "\">\n" + indent +
           "  <owner>" + k.owner + "</owner>\n" + indent + "  <claimant>Order of the Wren</claimant>\n" +
           indent + "  <claimant_heraldurl>http://herald.example/g/wren</claimant_heraldurl>\n" +
           indent + "</keep>\n";
}

std::string relicLines(const Element& r) {
    return "    <relic name=\"" + r.name + "\" realm=\"" + r.realm + "\">\n      <owner>" + r.owner +
           "</owner>\n    </relic>\n";
}

std::string serverBlock(const std::string& name, const std::vector<Element>& keeps,
                        const std::vector<Element>& relics = {{"Lantern of Ysra", "Albion", "Albion"}}) {
    std::string text = "  <server name=\"" + name + "\">\n    <status>Up</status>\n"
                       "    <population>Busy</population>\n";
    for (const Element& r : relics) text += relicLines(r);
    for (const Element& k : keeps) text += keepLines(k);
    return text + "  </server>\n";
}

std::string document(const std::string& servers) {
    return "<?xml version=\"1.0\"?>\n<frontier>\n" + servers + "</frontier>\n";
}

const std::string kServer = "Stormreach";

std::string frontier(const std::string& ashwold, const std::string& vornfaste = "Midgard",
                     const std::string& mellow = "Hibernia") {
    return document(serverBlock(kServer, {{"Caer Ashwold", "Albion", ashwold},
                                          {"Vornfaste", "Midgard", vornfaste},
                                          {"Dun Mellow", "Hibernia", mellow}}));
}

class ChangeDetection : public ::testing::Test {
protected:
    // Runs one document through the tracker the way the main window does, applying the
    // flash decision to its own flash state.
    SwitchOffOutcome take(const std::string& doc, const std::string& server = kServer) {
        SwitchOffOutcome outcome = tracker.DoSwitchOff(
            doc, server,
            [this](const std::string& name, const std::string& fallback) {
                ++settingReads[name];
                const auto it = settings.find(name);
                return it == settings.end() ? fallback : it->second;
            },
            flash,
            [this](const OwnershipChange& change) {
                if (logFails) throw RuntimeError(kErrPathFileAccess);
                log.push_back(change);
                return true;
            });
        if (outcome.flashReplaced) flash = outcome.flash;
        return outcome;
    }

    OwnershipTracker tracker;
    std::map<std::string, std::string> settings{{"Realm", "0"}, {"FilterNoob", "0"}};
    std::map<std::string, int> settingReads;
    FlashState flash;
    std::vector<OwnershipChange> log;
    bool logFails = false;
    ScopedMessageBoxRecorder boxes;
};

// Which differences between two documents reach the log, as "place,new owner,old owner".
TEST_F(ChangeDetection, OnlyRealOwnerChangesOfTheMonitoredServersKeepsAreLogged) {
    auto crlf = [](const std::string& text) {
        std::string out;
        for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    // `what` with its leading spaces replaced by one tab.
    auto tabbed = [](std::string text, const std::string& what) {
        return text.replace(text.find(what), what.find_first_not_of(' '), "\t");
    };
    auto battleground = [](const std::string& owner) {
        return document(serverBlock(kServer, {{"Thornwall Keep", "Neutral", owner},
                                              {"Caer Keepsake", "Albion", owner},
                                              {"Dun keep", "Hibernia", owner}}));
    };
    auto relicAfterKeep = [](const std::string& relicOwner) {
        return document("  <server name=\"Stormreach\">\n" + keepLines({"Caer Ashwold", "Albion", "Albion"}) +
                        relicLines({"Lantern of Ysra", "Albion", relicOwner}) + "  </server>\n");
    };
    auto nearNames = [](const std::string& owner) {
        return document(serverBlock("Stormreach2", {{"Caer Ashwold", "Albion", owner}}) +
                        serverBlock(kServer, {{"Caer Ashwold", "Albion", "Albion"}}) +
                        serverBlock("stormreach", {{"Caer Ashwold", "Albion", owner}}));
    };
    const struct {
        const char* label;
        std::string before, after, filterNoob;
        std::vector<std::string> logged;
    } rows[] = {
        {"a plain change", frontier("Albion"), frontier("Midgard"), "0", {"Caer Ashwold,Midgard,Albion"}},
        {"to Unclaimed", frontier("Albion"), frontier("Unclaimed"), "0", {}},
        {"from Unclaimed", frontier("Unclaimed"), frontier("Albion"), "0", {}},
        {"from no owner", frontier(""), frontier("Hibernia"), "0", {}},
        {"to no owner", frontier("Midgard"), frontier(""), "0", {}},
        {"filter drops only names ending in Keep", battleground("Albion"), battleground("Hibernia"), "1",
         {"Caer Keepsake,Hibernia,Albion", "Dun keep,Hibernia,Albion"}},
        {"no filter", battleground("Albion"), battleground("Hibernia"), "0",
         {"Thornwall Keep,Hibernia,Albion", "Caer Keepsake,Hibernia,Albion", "Dun keep,Hibernia,Albion"}},
        {"matched by position, renamed pairs skipped",
         document(serverBlock(kServer, {{"Caer A", "Albion", "Albion"}, {"Caer B", "Albion", "Albion"}})),
         document(serverBlock(kServer, {{"Caer B", "Albion", "Midgard"}, {"Caer A", "Albion", "Albion"}})), "0", {}},
        {"CR LF lines", crlf(frontier("Albion")), crlf(frontier("Midgard")), "0", {"Caer Ashwold,Midgard,Albion"}},
        {"only spaces are trimmed: a tab-indented owner is not seen", frontier("Albion"),
         tabbed(frontier("Midgard"), "      <owner>Midgard"), "0", {}},
        {"an owner line after a relic changes no keep", relicAfterKeep("Albion"), relicAfterKeep("Midgard"), "0", {}},
        {"other servers and near names", nearNames("Albion"), nearNames("Midgard"), "0", {}},
    };
    for (const auto& row : rows) {
        tracker = OwnershipTracker{};
        log.clear();
        settings["FilterNoob"] = row.filterNoob;
        take(row.before);
        take(row.after);
        std::vector<std::string> logged;
        for (const OwnershipChange& c : log) logged.push_back(c.place + "," + c.newOwner + "," + c.oldOwner);
        EXPECT_EQ(logged, row.logged) << row.label;
    }
    EXPECT_TRUE(boxes.calls.empty());
}

// The user's realm picks the colour: "2", Albion, unless a row says otherwise.
TEST_F(ChangeDetection, AlertColourFollowsTheUsersRealmAndTheFlashKeepsTheMostImportantAlert) {
    struct Row {
        const char* label;
        std::pair<std::string, std::string> before, after;  // owners of Caer Ashwold, Dun Mellow
        FlashState start, expected;
        const char* realm = "2";
    };
    const FlashState none{};
    auto midgardTook = [](AlertIcon colour) {
        return FlashState{colour, "Caer Ashwold taken by Midgard from Albion", true};
    };
    const std::pair<std::string, std::string> albions{"Albion", "Hibernia"}, midgards{"Midgard", "Hibernia"};
    const FlashState greenNews{AlertIcon::Green, "older news", true};
    const Row rows[] = {
        {"yellow then red: red with the second text", {"Midgard", "Albion"}, {"Hibernia", "Midgard"},
         none, {AlertIcon::Red, "Dun Mellow taken by Midgard from Albion", true}},
        {"red then green: red with the first text", {"Albion", "Midgard"}, {"Midgard", "Albion"},
         none, {AlertIcon::Red, "Caer Ashwold taken by Midgard from Albion", true}},
        {"green while green flashes: newer text", {"Midgard", "Hibernia"}, {"Albion", "Hibernia"},
         greenNews, {AlertIcon::Green, "Caer Ashwold taken by Albion from Midgard", true}},
        {"yellow while green flashes: unchanged", {"Midgard", "Hibernia"}, {"Hibernia", "Hibernia"},
         greenNews, greenNews},
        {"yellow while red flashes: unchanged", {"Midgard", "Hibernia"}, {"Hibernia", "Hibernia"},
         {AlertIcon::Red, "red news", true}, {AlertIcon::Red, "red news", true}},
        {"green over a flashing yellow", {"Midgard", "Hibernia"}, {"Albion", "Hibernia"},
         {AlertIcon::Yellow, "yellow news", true},
         {AlertIcon::Green, "Caer Ashwold taken by Albion from Midgard", true}},
        {"yellow over a stopped red", {"Midgard", "Hibernia"}, {"Hibernia", "Hibernia"},
         {AlertIcon::Red, "stale", false},
         {AlertIcon::Yellow, "Caer Ashwold taken by Hibernia from Midgard", true}},
        {"Midgard's gain, seen from Midgard", albions, midgards, none, midgardTook(AlertIcon::Green), "1"},
        {"seen from Hibernia", albions, midgards, none, midgardTook(AlertIcon::Yellow), "3"},
        {"no realm chosen", albions, midgards, none, midgardTook(AlertIcon::Yellow), "0"},
    };
    auto doc = [](const std::pair<std::string, std::string>& owners) {
        return document(serverBlock(kServer, {{"Caer Ashwold", "Albion", owners.first},
                                              {"Dun Mellow", "Hibernia", owners.second}}));
    };
    for (const Row& row : rows) {
        tracker = OwnershipTracker{};
        settings["Realm"] = row.realm;
        take(doc(row.before));
        flash = row.start;
        log.clear();
        const auto outcome = take(doc(row.after));
        EXPECT_EQ(log.size(), (row.before.first != row.after.first) + (row.before.second != row.after.second))
            << row.label;
        EXPECT_EQ(outcome.flashReplaced, !(row.start == row.expected)) << row.label;
        EXPECT_EQ(flash, row.expected) << row.label << ": got \"" << flash.tag << "\"";
    }
}

TEST_F(ChangeDetection, GainedLostOrUnreadKeepSkipsThatPairButBecomesTheBaseline) {
    take(frontier("Albion"));
    const std::string gained = document(serverBlock(
        kServer, {{"Caer Ashwold", "Albion", "Midgard"}, {"Vornfaste", "Midgard", "Midgard"},
                  {"Dun Mellow", "Hibernia", "Hibernia"}, {"Dun Aisling", "Hibernia", "Hibernia"}}));
    EXPECT_FALSE(take(gained).compared);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(tracker.LastComparedServer(), kServer);
    EXPECT_FALSE(take(frontier("Midgard")).compared);  // lost it again
    EXPECT_TRUE(log.empty());
    take(frontier("Hibernia"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], (OwnershipChange{"Caer Ashwold", "Hibernia", "Midgard"}));

    // A keep start tag indented by a tab is not read, so the count differs.
    std::string tabbedKeep = frontier("Midgard");
    tabbedKeep.replace(tabbedKeep.find("    <keep name=\"Caer"), 4, "\t");
    EXPECT_FALSE(take(tabbedKeep).compared);
    EXPECT_EQ(tracker.CurrentOwnership().Keeps.size(), 3u);
    // The keep count only changes if the last, unterminated line were read.
    take(frontier("Midgard") + "  <server name=\"Stormreach\">\n    <keep name=\"Caer Tail\" realm=\"Albion\">");
    EXPECT_EQ(tracker.CurrentOwnership().Keeps.size(), 4u);
}

TEST_F(ChangeDetection, FirstDocumentAndASwitchToAnotherServerOnlyTakeABaselineAndTheSameAgainLogsNothing) {
    const std::string doc = document(serverBlock("Stormreach2", {{"Caer Ashwold", "Albion", "Midgard"}}) +
                                     serverBlock(kServer, {{"Caer Ashwold", "Albion", "Albion"}}));
    EXPECT_FALSE(take(doc).compared);
    EXPECT_EQ(tracker.CurrentOwnership().Keeps.size(), 2u);  // element 0 stays unused
    EXPECT_FALSE(take(doc, "Stormreach2").compared) << "owners differ, but on another server";
    EXPECT_EQ(tracker.LastComparedServer(), "Stormreach2");
    const auto again = take(doc, "Stormreach2");
    EXPECT_TRUE(again.compared);
    EXPECT_FALSE(again.flashReplaced);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ChangeDetection, NoneDoesNothingAndBackComparesWithTheLastDocumentBefore) {
    take(frontier("Albion"));
    EXPECT_FALSE(take(frontier("Hibernia", "Albion"), "None").compared);
    EXPECT_EQ(settingReads.size(), 0u);
    EXPECT_EQ(tracker.LastComparedServer(), kServer);
    take(frontier("Midgard"), "None");
    EXPECT_TRUE(log.empty());

    take(frontier("Midgard"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], (OwnershipChange{"Caer Ashwold", "Midgard", "Albion"}));
}

TEST_F(ChangeDetection, OwnerLineWithoutClosingTagFailsTheRunAndKeepsTheServerUncompared) {
    take(frontier("Albion"), "Kestrel");
    std::string broken = frontier("Albion");
    broken.replace(broken.find("Albion</owner>", broken.find("Caer Ashwold")), 14, "Albion");
    const auto outcome = take(broken);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->number(), 5);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Error in DoSwitchOff sub\r\n#5 Invalid procedure call or argument");
    EXPECT_EQ(tracker.LastComparedServer(), "Kestrel");
    EXPECT_EQ(tracker.CurrentOwnership().Keeps.size(), 2u);  // built as far as the failure
}

TEST_F(ChangeDetection, FailureAfterALoggedChangeKeepsThatLineAndTheFlash) {
    auto doc = [](const std::string& owner) {
        return document(serverBlock(kServer, {{"Caer A", "Albion", owner}, {"Caer B", "Albion", owner}}));
    };
    take(doc("Albion"));
    settings["Realm"] = "Albion";  // not a number
    const auto outcome = take(doc("Midgard"));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->number(), 13);
    ASSERT_EQ(log.size(), 1u);  // the first change was logged before the realm was read
    EXPECT_EQ(boxes.calls.size(), 1u);

    settings["Realm"] = "1";
    logFails = true;
    tracker = OwnershipTracker{};
    take(doc("Albion"));
    const auto failed = take(doc("Midgard"));
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->number(), kErrPathFileAccess);
    EXPECT_FALSE(failed.flashReplaced);  // the log comes before the alert
}

}  // namespace
}  // namespace tw
