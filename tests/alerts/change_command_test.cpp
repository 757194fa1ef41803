#include "alerts/change_command.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <map>

#include "event_loop_wait.h"
#include "platform/command_runner.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace tw {
namespace {

using platform::CommandLimits;
using platform::CommandRunner;

class ChangeCommandTest : public ::testing::Test {
protected:
    // A script in the test folder; its path holds a blank, so the command line must quote it.
    std::string script(const std::string& body) {
        const std::string path = folder / "on change.sh";
        EXPECT_TRUE(platform::writeFileAtomically(path, "#!/bin/sh\n" + body + "\n"));
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return "\"" + path + "\"";
    }
    // Every environment the script wrote, one map per run, by the TOWERWATCH_ variables.
    std::vector<std::map<std::string, std::string>> environments() {
        std::vector<std::map<std::string, std::string>> runs;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "out")) {
            std::map<std::string, std::string>& run = runs.emplace_back();
            const std::string text = platform::readWholeFile(entry.path().string()).value_or("");
            for (size_t at = 0, end; (end = text.find('\0', at)) != std::string::npos; at = end + 1) {
                const std::string pair = text.substr(at, end - at);
                if (pair.starts_with("TOWERWATCH_")) run[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
            }
        }
        return runs;
    }
    void waitForEnds(CommandRunner& runner, int count) {
        runner.onEnded = [this] { ++ended; };
        EXPECT_TRUE(testing::runUntil([&] { return ended == count; }, 20000)) << ended << " of " << count;
    }

    testing::TempFolder folder;
    int ended = 0;
};

TEST_F(ChangeCommandTest, EachChangeReachesTheCommandInItsEnvironmentVerbatimAndRunsNothingElse) {
    ASSERT_TRUE(platform::makeFolders(folder / "out"));
    const std::string hostile = "Caer \"Ash\" 'o' $(touch " + folder / "ran" + "); touch " + folder / "ran" + "\nNorth";
    const LoggedChange changes[] = {
        {"Ironmoor", "Dun Brae", "Midgard", "Albion", "12/6/2026 8:05:09 AM", "2026-12-06T08:05:09", AlertIcon::Red},
        {"Ironmoor", hostile, "Hibernia", "Midgard", "12/6/2026 8:05:09 AM", "2026-12-06T08:05:09", AlertIcon::None}};
    CommandRunner runner;
    const std::string command = script("[ $# = 1 ] && env -0 > \"$1/$$\"") + " \"" + folder / "out" + "\"";
    for (const LoggedChange& change : changes) runner.run(command, changeCommandEnvironment(change));
    waitForEnds(runner, 2);
    auto runs = environments();
    ASSERT_EQ(runs.size(), 2u);
    if (runs[0]["TOWERWATCH_ALERT"].empty()) std::swap(runs[0], runs[1]);
    EXPECT_EQ(runs[0], (std::map<std::string, std::string>{
                           {"TOWERWATCH_SERVER", "Ironmoor"}, {"TOWERWATCH_PLACE", "Dun Brae"},
                           {"TOWERWATCH_NEW_OWNER", "Midgard"}, {"TOWERWATCH_OLD_OWNER", "Albion"},
                           {"TOWERWATCH_DATE", "12/6/2026 8:05:09 AM"}, {"TOWERWATCH_DATE_ISO", "2026-12-06T08:05:09"},
                           {"TOWERWATCH_ALERT", "red"}}));
    EXPECT_EQ(runs[1]["TOWERWATCH_PLACE"], hostile);
    EXPECT_EQ(runs[1]["TOWERWATCH_ALERT"], "");
    EXPECT_FALSE(platform::fileExists(folder / "ran"));
}

TEST_F(ChangeCommandTest, AMissingCommandIsReportedOnceAndTheNextOneStillRuns) {
    CommandRunner runner;
    const std::string missing = folder / "no such command";
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) runner.run("\"" + missing + "\" --now", {});
    runner.run(script("touch \"$0.ran\""), {});
    runner.run("   ", {});  // blanks only: nothing to run
    waitForEnds(runner, 4);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(missing), std::string::npos) << errors;
    EXPECT_EQ(errors.find(missing), errors.rfind(missing)) << errors;
    EXPECT_TRUE(platform::fileExists(folder / "on change.sh.ran"));
}

TEST_F(ChangeCommandTest, HangingCommandsAreBoundedEndedAfterTheirTimeAndLeaveTheLoopRunning) {
    std::vector<std::string> reports;
    CommandRunner runner({std::chrono::milliseconds(300), std::chrono::milliseconds(300), 2, 1},
                         [&](const std::string& line) { reports.push_back(line); });
    // Deaf to the polite request, so only the kill ends it.
    const std::string command = script("trap '' TERM; while :; do sleep 1; done");
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 4; ++i) runner.run(command, {});
    EXPECT_LT(clock.elapsed(), 300);
    EXPECT_EQ(runner.running(), 2);
    EXPECT_EQ(runner.waiting(), 1u);
    EXPECT_EQ(reports.size(), 1u) << "the fourth is dropped, and said so";
    int runningWhileTicking = -1;
    QTimer::singleShot(0, [&] { runningWhileTicking = runner.running(); });
    waitForEnds(runner, 3);
    EXPECT_EQ(runningWhileTicking, 2);
    EXPECT_EQ(runner.running(), 0);
}

}  // namespace
}  // namespace tw
