#include "alerts/change_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "event_loop_wait.h"
#include "platform/command_runner.h"
#include "platform/event_loop.h"
#include "temp_folder.h"
#include "test_commands.h"

namespace tw {
namespace {

using platform::CommandRunner;

// Plain streams rather than the program's files, which the Windows build does not have yet.
std::string contents(const std::string& path) {
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
bool exists(const std::string& path) { return std::filesystem::exists(std::filesystem::u8path(path)); }

class ChangeCommandTest : public ::testing::Test {
protected:
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
    // Each value NUL-ended, so the newline in the name survives.
    runner.run(testing::valuesCommand(folder, folder / "the values"), changeCommandEnvironment(change));
    waitForEnds(runner, 1);
    std::string expected;
    for (const std::string& value : {change.server, hostile, change.newOwner, change.oldOwner, change.dateText,
                                     change.dateIso, std::string("red")})
        expected += value + '\0';
    EXPECT_EQ(contents(folder / "the values"), expected);
    EXPECT_FALSE(exists(ran));
}

TEST_F(ChangeCommandTest, AMissingCommandIsReportedOnceAndTheNextOneStillRuns) {
    CommandRunner runner;
    const std::string missing = folder / "no such command";
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) runner.run("\"" + missing + "\" --now", {});
    runner.run(testing::touchCommand(folder, folder / "it ran"), {});
    runner.run("   ", {});  // blanks only: nothing to run
    waitForEnds(runner, 4);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(missing), std::string::npos) << errors;
    EXPECT_EQ(errors.find(missing), errors.rfind(missing)) << errors;
    EXPECT_TRUE(exists(folder / "it ran"));
}

TEST_F(ChangeCommandTest, HangingCommandsAreBoundedEndedAfterTheirTimeAndLeaveTheLoopRunning) {
    std::vector<std::string> reports;
    CommandRunner runner({std::chrono::milliseconds(1000), std::chrono::milliseconds(200), 2, 1},
                         [&](const std::string& line) { reports.push_back(line); });
    // Deaf to the polite request, so only the kill ends it.
    const std::string command = testing::hangCommand(folder);
    for (int i = 0; i < 4; ++i) runner.run(command, {});
    EXPECT_EQ(runner.running(), 2) << "starting waited for the commands";
    EXPECT_EQ(runner.waiting(), 1u);
    EXPECT_EQ(reports.size(), 1u) << "the fourth is dropped, and said so";
    int runningWhileTicking = -1;
    platform::postToEventLoop([&] { runningWhileTicking = runner.running(); });
    waitForEnds(runner, 3);
    EXPECT_EQ(runningWhileTicking, 2);
    EXPECT_EQ(runner.running(), 0);
}

using testing::processGone;

TEST_F(ChangeCommandTest, WhatACommandLeavesInTheBackgroundIsEndedAtTheLimitAndCountsAsRunning) {
    CommandRunner runner({std::chrono::milliseconds(1000), std::chrono::milliseconds(300), 1, 4});
    // Each leaves two deaf sleepers behind and exits at once.
    const std::string first = folder / "first", second = folder / "second";
    runner.run(testing::leaveBehindCommand(folder, first), {});
    runner.run(testing::leaveBehindCommand(folder, second), {});
    runner.onEnded = [this] { ++ended; };
    auto sleepers = [](const std::string& file) {
        std::vector<long long> pids;
        std::istringstream lines(contents(file));
        for (long long pid; lines >> pid;) pids.push_back(pid);
        return pids;
    };
    ASSERT_TRUE(testing::runUntil([&] { return sleepers(first).size() == 2; }, 20000));
    const std::vector<long long> firstSleepers = sleepers(first);
    // The first command itself is gone at once, its sleepers are not: the second waits.
    bool secondStartedEarly = false;
    EXPECT_TRUE(testing::runUntil(
        [&] {
            const bool firstGone = processGone(firstSleepers[0]) && processGone(firstSleepers[1]);
            if (!firstGone && exists(second)) secondStartedEarly = true;
            return firstGone;
        },
        20000))
        << "the sleepers outlived the time limit";
    EXPECT_FALSE(secondStartedEarly);
    EXPECT_EQ(ended, 1);
    ASSERT_TRUE(testing::runUntil([&] { return sleepers(second).size() == 2; }, 20000));
    const std::vector<long long> secondSleepers = sleepers(second);
    EXPECT_TRUE(testing::runUntil([&] { return processGone(secondSleepers[0]) && processGone(secondSleepers[1]); },
                                  20000));
    EXPECT_TRUE(testing::runUntil([&] { return ended == 2; }, 20000));
    EXPECT_EQ(runner.running(), 0);
}

}  // namespace
}  // namespace tw
