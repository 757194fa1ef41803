// The tray on the Windows shell: one icon per caller's window and id, and the shell's
// version-4 callbacks arriving as the mouse messages the program knows, only when asked.
#include "platform/notify_icon.h"

#include <windows.h>
#include <shellapi.h>
#undef Shell_NotifyIcon  // the interface's own name

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "event_loop_wait.h"

namespace tw::platform {
namespace {

NOTIFYICONDATA record(uint32_t id, const std::string& tip, uint32_t flags = NIF_MESSAGE | NIF_ICON | NIF_TIP) {
    NOTIFYICONDATA data;
    data.hWnd = 0x1234;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = reinterpret_cast<uintptr_t>(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // IDI_APPLICATION
    setNotifyTip(data, tip);
    return data;
}

// What the shell sends for the icon it knows as shellId: event in the low word.
void shellCallback(UINT event, UINT shellId) {
    HWND window = FindWindowW(L"TowerwatchTrayWindow", nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_APP + 1, 0, MAKELPARAM(event, shellId));
}

TEST(ShellNotifyIconsTest, OneIconPerIdAndTheShellsCallbacksArriveAsMouseMessages) {
    auto shell = makeSystemNotifyIconShell();
    std::vector<std::pair<uint32_t, uint32_t>> received;
    shell->setMessageHandler(0x1234, [&](uint32_t id, uint32_t message) { received.emplace_back(id, message); });

    EXPECT_FALSE(shell->Shell_NotifyIcon(NIM_MODIFY, record(7, "none yet")));
    EXPECT_FALSE(shell->showBalloon(0x1234, 7, "Keep taken", "no icon", false));
    ASSERT_TRUE(shell->Shell_NotifyIcon(NIM_ADD, record(7, "Towerwatch \xe9t\xe9")));
    EXPECT_FALSE(shell->Shell_NotifyIcon(NIM_ADD, record(7, "again")));
    EXPECT_TRUE(shell->Shell_NotifyIcon(NIM_MODIFY, record(7, "Keep taken", NIF_TIP)));
    EXPECT_TRUE(shell->showBalloon(0x1234, 7, "Keep taken", "Caer Benowyc by Midgard", true));

    // The first icon is the shell's id 1.
    shellCallback(NIN_SELECT, 1);
    shellCallback(WM_LBUTTONDBLCLK, 1);
    shellCallback(WM_CONTEXTMENU, 1);
    shellCallback(NIN_BALLOONUSERCLICK, 1);
    shellCallback(WM_MOUSEMOVE, 1);  // not one the program listens to
    ASSERT_TRUE(testing::runUntil([&] { return received.size() >= 4; }));
    ASSERT_TRUE(testing::postedEventsDelivered());
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {7, WM_LBUTTONDOWN}, {7, WM_LBUTTONDBLCLK}, {7, WM_RBUTTONUP}, {7, NIN_BALLOONUSERCLICK}};
    EXPECT_EQ(received, expected);

    // An icon added without NIF_MESSAGE hears nothing.
    ASSERT_TRUE(shell->Shell_NotifyIcon(NIM_ADD, record(8, "quiet", NIF_ICON | NIF_TIP)));
    received.clear();
    shellCallback(NIN_SELECT, 2);
    ASSERT_TRUE(testing::postedEventsDelivered());
    EXPECT_TRUE(received.empty());

    EXPECT_TRUE(shell->Shell_NotifyIcon(NIM_DELETE, record(7, "")));
    EXPECT_FALSE(shell->Shell_NotifyIcon(NIM_DELETE, record(7, "")));
    EXPECT_FALSE(shell->Shell_NotifyIcon(NIM_MODIFY, record(7, "gone")));
}

}  // namespace
}  // namespace tw::platform
