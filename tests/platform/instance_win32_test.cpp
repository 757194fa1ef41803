#include "platform/instance.h"

#include <windows.h>

#include <chrono>

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

// Delivers this thread's messages until the condition holds or the bound passes.
bool pumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return done();
}

TEST(SingleInstanceWindows, ALaterCopyAsksTheFirstToShowItselfAndTheNameIsFreeAfterIt) {
    const std::string name = instanceName("Software\\Vexlor\\Towerwatch tests " + std::to_string(::GetCurrentProcessId()));
    EXPECT_NE(name, instanceName("Software\\Vexlor\\Towerwatch"));
    EXPECT_TRUE(instanceFolder().problem.empty());
    int shown = 0;
    {
        SingleInstance first(name, instanceFolder());
        first.onShowRequested = [&](const std::string&) { ++shown; };
        ASSERT_EQ(first.claim(), SingleInstance::Claim::OnlyCopy);
        SingleInstance later(name, instanceFolder());
        EXPECT_EQ(later.claim(), SingleInstance::Claim::AnotherRuns);
        EXPECT_TRUE(pumpUntil([&] { return shown == 1; }));
        SingleInstance other(instanceName("Software\\Vexlor\\Another"), instanceFolder());
        EXPECT_EQ(other.claim(), SingleInstance::Claim::OnlyCopy) << "another settings key runs beside it";
    }
    SingleInstance next(name, instanceFolder());
    EXPECT_EQ(next.claim(), SingleInstance::Claim::OnlyCopy);
    EXPECT_EQ(shown, 1);
}

// As the installer asks: the registered message with wParam 1, to the one-copy window found
// by its class alone.
TEST(SingleInstanceWindows, TheInstallersRequestEndsTheCopyInsteadOfShowingIt) {
    SingleInstance copy(instanceName("Software\\Vexlor\\Towerwatch ends " + std::to_string(::GetCurrentProcessId())),
                        instanceFolder());
    int shown = 0, ended = 0;
    copy.onShowRequested = [&](const std::string&) { ++shown; };
    copy.onEndRequested = [&] { ++ended; };
    ASSERT_EQ(copy.claim(), SingleInstance::Claim::OnlyCopy);
    const HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, L"TowerwatchInstance", nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::PostMessageW(window, ::RegisterWindowMessageW(L"Towerwatch.ShowYourself"), 1, 0));
    EXPECT_TRUE(pumpUntil([&] { return ended == 1; }));
    EXPECT_EQ(shown, 0);
}

}  // namespace
}  // namespace tw::platform
