#include "alerts/change_command.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <sstream>

#include "event_loop_wait.h"
#include "platform/command_runner.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace tw {
namespace {

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
    void waitForEnds(CommandRunner& runner, int count) {
        runner.onEnded = [this] { ++ended; };
        EXPECT_TRUE(testing::runUntil([&] { return ended == count; }, 20000)) << ended << " of " << count;
    }

    testing::TempFolder folder;
    int ended = 0;
};

TEST_F(ChangeCommandTest, TheChangeReachesTheCommandInItsEnvironmentVerbatimAndRunsNothingElse) {
    const std::string ran = folder / "ran";
    const std::string hostile = "Caer \"Ash\" 'o' $(touch " + ran + "); touch " + ran + "\nNorth";
    const LoggedChange change{"Ironmoor", hostile, "Midgard", "Albion", "12/6/2026 8:05:09 AM",
                              "2026-12-06T08:05:09", AlertIcon::Red};
    CommandRunner runner;
    // One argument only; each variable NUL-ended, so the newline in the name survives.
    runner.run(script("[ $# = 1 ] && printf '%s\\0' \"$TOWERWATCH_SERVER\" \"$TOWERWATCH_PLACE\" "
                      "\"$TOWERWATCH_NEW_OWNER\" \"$TOWERWATCH_OLD_OWNER\" \"$TOWERWATCH_DATE\" "
                      "\"$TOWERWATCH_DATE_ISO\" \"$TOWERWATCH_ALERT\" > \"$1\"") +
                   " \"" + folder / "the values" + "\"",
               changeCommandEnvironment(change));
    waitForEnds(runner, 1);
    std::string expected;
    for (const std::string& value : {change.server, hostile, change.newOwner, change.oldOwner, change.dateText,
                                     change.dateIso, std::string("red")})
        expected += value + '\0';
    EXPECT_EQ(platform::readWholeFile(folder / "the values"), expected);
    EXPECT_FALSE(platform::fileExists(ran));
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
    CommandRunner runner({std::chrono::milliseconds(1000), std::chrono::milliseconds(200), 2, 1},
                         [&](const std::string& line) { reports.push_back(line); });
    // Deaf to the polite request, so only the kill ends it.
    const std::string command = script("trap '' TERM; while :; do sleep 1; done");
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 4; ++i) runner.run(command, {});
    EXPECT_LT(clock.elapsed(), 1000) << "starting waited for the commands";
    EXPECT_EQ(runner.running(), 2);
    EXPECT_EQ(runner.waiting(), 1u);
    EXPECT_EQ(reports.size(), 1u) << "the fourth is dropped, and said so";
    int runningWhileTicking = -1;
    QTimer::singleShot(0, [&] { runningWhileTicking = runner.running(); });
    waitForEnds(runner, 3);
    EXPECT_EQ(runningWhileTicking, 2);
    EXPECT_EQ(runner.running(), 0);
}

// Whether a process is gone: no such process, or one that has died and waits to be reaped
// by whoever took it over.
bool processGone(pid_t pid) {
    if (::kill(pid, 0) != 0) return errno == ESRCH;
    const std::optional<std::string> stat = platform::readWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return true;  // reaped between the two looks
    const std::size_t state = stat->rfind(')');
    return state != std::string::npos && stat->compare(state, 3, ") Z") == 0;
}

TEST_F(ChangeCommandTest, WhatACommandLeavesInTheBackgroundIsEndedAtTheLimitAndCountsAsRunning) {
    CommandRunner runner({std::chrono::milliseconds(1000), std::chrono::milliseconds(300), 1, 4});
    // Each leaves two sleepers behind, the second deaf to SIGTERM, and exits at once.
    const std::string leaveBehind =
        script("sleep 1000 & echo $! > \"$1\"; trap '' TERM; sleep 1000 & echo $! >> \"$1\"; exit 0");
    const std::string first = folder / "first", second = folder / "second";
    runner.run(leaveBehind + " \"" + first + "\"", {});
    runner.run(leaveBehind + " \"" + second + "\"", {});
    runner.onEnded = [this] { ++ended; };
    auto sleepers = [](const std::string& file) {
        std::vector<pid_t> pids;
        std::istringstream lines(platform::readWholeFile(file).value_or(""));
        for (pid_t pid; lines >> pid;) pids.push_back(pid);
        return pids;
    };
    ASSERT_TRUE(testing::runUntil([&] { return sleepers(first).size() == 2; }, 20000));
    const std::vector<pid_t> firstSleepers = sleepers(first);
    // The first command's script is gone at once, its sleepers are not: the second waits.
    bool secondStartedEarly = false;
    EXPECT_TRUE(testing::runUntil(
        [&] {
            const bool firstGone = processGone(firstSleepers[0]) && processGone(firstSleepers[1]);
            if (!firstGone && platform::fileExists(second)) secondStartedEarly = true;
            return firstGone;
        },
        20000))
        << "the sleepers outlived the time limit";
    EXPECT_FALSE(secondStartedEarly);
    EXPECT_EQ(ended, 1);
    ASSERT_TRUE(testing::runUntil([&] { return sleepers(second).size() == 2; }, 20000));
    const std::vector<pid_t> secondSleepers = sleepers(second);
    EXPECT_TRUE(testing::runUntil([&] { return processGone(secondSleepers[0]) && processGone(secondSleepers[1]); },
                                  20000));
    EXPECT_TRUE(testing::runUntil([&] { return ended == 2; }, 20000));
    EXPECT_EQ(runner.running(), 0);
}

}  // namespace
}  // namespace tw
