#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "event_loop_wait.h"
#include "platform/command_runner.h"
#include "temp_folder.h"

namespace tw {
namespace {

// Handles are created inheritable all over (sockets, the log); the player's command must
// get none of them, only its null device.
TEST(ChangeCommandInheritanceTest, TheCommandInheritsNoHandleOfTheProgram) {
    testing::TempFolder folder;
    const std::wstring secret = std::filesystem::u8path(folder / "secret").wstring();
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = CreateFileW(secret.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    platform::CommandRunner runner;
    int ended = 0;
    runner.onEnded = [&] { ++ended; };
    runner.run("\"Z:" TW_TEST_CHILD "\" leak " + std::to_string(reinterpret_cast<std::uintptr_t>(file)), {});
    EXPECT_TRUE(testing::runUntil([&] { return ended == 1; }, 20000));
    CloseHandle(file);
    EXPECT_EQ(std::filesystem::file_size(secret), 0u) << "the command wrote through the program's handle";
}

}  // namespace
}  // namespace tw
