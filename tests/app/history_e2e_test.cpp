// The ownership log end to end: the program fetches its location list from the herald
// simulator, follows its chunked documents through several changes and a restart, and its log
// holds exactly the changes the simulator made on the monitored server, as the log's rules
// filter them.
#include <gtest/gtest.h>

#include <QProcess>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "scripted_peer.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::ChildProcess;
using testing::runUntil;

constexpr const char* kMonitored = "Emberfall";

class HistoryEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { services.processFacts.folder = m_folder; }

    static bool completes(frmMain& main) {
        return runUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }, 10000);
    }
    // One click on "Last Updated:" and the wait for its document.
    static bool updateOnce(frmMain& main) { main.Label5.click(); return completes(main); }

    // place,new,old of every change the simulator printed for the monitored server that
    // the log keeps (battleground keeps filtered out).
    std::vector<std::string> expectedLines(ChildProcess& sim) {
        runUntil([&] { return !sim.process().canReadLine(); }, 1000);
        std::vector<std::string> lines;
        while (sim.process().canReadLine()) {
            const std::vector<Text> f = splitText(trimSpaces(sim.process().readLine().trimmed().toStdString()), "\t");
            if (f.size() != 4 || f[0] != kMonitored) continue;
            if (f[1].size() >= 4 && f[1].substr(f[1].size() - 4) == "Keep") continue;
            lines.push_back(f[1] + "," + f[3] + "," + f[2]);
        }
        return lines;
    }
    std::vector<std::string> loggedLines() const {
        std::vector<std::string> lines;
        const std::string log = platform::readWholeFile(m_folder + std::string(kMonitored) + ".log").value_or("");
        for (const Text& line : splitText(log, "\r\n")) {
            if (line.empty()) continue;
            lines.push_back(line.substr(0, line.rfind(',')));  // the date is the machine's
        }
        return lines;
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder m_temp;
    std::string m_folder = m_temp.slashed();
};

TEST_F(HistoryEndToEnd, LogHoldsEverySimulatedChangeOnceAcrossARestart) {
    ChildProcess sim;
    const std::string herald =
        testing::startHeraldSimulator(sim, {"--seed", "3", "--interval", "0", "--exit-after", "60", "--chunked"});
    ASSERT_FALSE(herald.empty());
    WriteSetting("LocationHost", herald);
    WriteSetting("MonitorServer", kMonitored);
    WriteSetting("Realm", "1");
    WriteSetting("FilterNoob", "1");
    std::vector<std::string> expected;
    {
        frmMain main;
        // No list yet: the update on start waits for the list, saved as it came plus CR LF,
        // then takes the simulator's first document, no changes yet.
        main.Form_Load();
        ASSERT_TRUE(completes(main));
        const std::string entry = herald + "/server-info.xml\r\n";
        EXPECT_EQ(platform::readWholeFile(m_folder + "towerwatchlocations.txt"), entry + entry);
        EXPECT_GE(main.lblServers.ubound(), 3);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(updateOnce(main));
        expected = expectedLines(sim);
        EXPECT_EQ(loggedLines(), expected);
        EXPECT_TRUE(main.tmrIcoFlash.enabled() || expected.empty());
    }
    {
        // A restart compares its first download with the cached document, so nothing is
        // lost between runs and nothing logged twice.
        frmMain main;
        main.Form_Load();
        ASSERT_TRUE(completes(main));
        ASSERT_TRUE(updateOnce(main));
        const std::vector<std::string> more = expectedLines(sim);
        expected.insert(expected.end(), more.begin(), more.end());
        EXPECT_EQ(loggedLines(), expected);
    }
    EXPECT_GE(expected.size(), 3u) << "the simulator's war should have moved on this server";
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

}  // namespace
}  // namespace tw
