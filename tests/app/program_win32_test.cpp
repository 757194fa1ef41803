// The Windows program end to end: the main window on the system's own services (Winsock and
// Schannel, the registry, the notification area, the command runner) against native herald
// simulators over HTTP and HTTPS. Each run logs a change on the monitored server, flashes the
// tray in the change's colour, shows the balloon, runs the on-change command, and keeps its
// settings in the program's key of the current user's registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "event_loop_wait.h"
#include "forms/picture.h"
#include "forms_probe.h"
#include "platform/files.h"
#include "platform/notify_icon.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"
#include "tls_peers_win32.h"
// windows.h has its own names for the shell's call and numbers, the same numbers as ours.
#undef Shell_NotifyIcon

namespace tw {
namespace {

using testing::runUntil;

constexpr const char* kMonitored = "Emberfall";

// The shell's notification area, every call also kept as the recorder keeps it, and every
// call the shell refused.
class RealNotifyIcons : public platform::NotifyIconRecorder {
public:
    bool Shell_NotifyIcon(uint32_t message, const platform::NOTIFYICONDATA& data) override {
        if (message == NIM_ADD)
            m_shell->setMessageHandler(data.hWnd, [this, window = data.hWnd](uint32_t id, uint32_t mouse) {
                deliver(window, id, mouse);
            });
        const bool done = m_shell->Shell_NotifyIcon(message, data);
        if (!done) refused.push_back("message " + std::to_string(message));
        NotifyIconRecorder::Shell_NotifyIcon(message, data);
        return done;
    }
    bool trayHostAvailable() const override { return m_shell->trayHostAvailable(); }
    bool showBalloon(uintptr_t window, uint32_t id, const std::string& title, const std::string& text,
                     bool critical, uintptr_t icon, bool silent) override {
        const bool shown = m_shell->showBalloon(window, id, title, text, critical, icon, silent);
        if (!shown) refused.push_back("balloon " + title);
        NotifyIconRecorder::showBalloon(window, id, title, text, critical, icon, silent);
        return shown;
    }
    std::vector<std::string> refused;

private:
    std::unique_ptr<platform::NotifyIconShell> m_shell = platform::makeSystemNotifyIconShell();
};

// "<place> taken by <new> from <old>", as the flashing tip says it, for a player of Albion.
std::string tintFor(const std::string& flashed) {
    if (flashed.size() >= 12 && flashed.compare(flashed.size() - 12, 12, " from Albion") == 0) return "red";
    if (flashed.find(" taken by Albion from ") != std::string::npos) return "green";
    return "yellow";
}

// WM_TIMER messages this thread takes from its queue while one of these lives.
class TimerMessages {
public:
    TimerMessages() : m_hook(SetWindowsHookExA(WH_GETMESSAGE, &seen, nullptr, GetCurrentThreadId())) { s_count = 0; }
    ~TimerMessages() { if (m_hook) UnhookWindowsHookEx(m_hook); }
    bool hooked() const { return m_hook != nullptr; }
    int count() const { return s_count; }

private:
    static LRESULT CALLBACK seen(int code, WPARAM removal, LPARAM message) {
        if (code == HC_ACTION && removal == PM_REMOVE && reinterpret_cast<const MSG*>(message)->message == WM_TIMER)
            ++s_count;
        return CallNextHookEx(nullptr, code, removal, message);
    }
    static inline int s_count = 0;
    HHOOK m_hook;
};

class ProgramOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing::trustTlsTestAuthority());
        services.installRegistry(*m_registry);
        services.installNotifyIconShell(icons);
        services.installNotifier(*m_notifier);
        m_notifier->onActivated = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vexlor");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vexlor"); }

    // The program's key as any other program reads it.
    static std::string keyValue(const char* name) {
        char data[512] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Vexlor\\Towerwatch", name, RRF_RT_REG_SZ, nullptr, data,
                         &size) != ERROR_SUCCESS)
            return "(missing)";
        return data;
    }

    void runAgainst(const std::string& location) {
        testing::TempFolder folder;
        const std::string changed = folder / "changed.txt";
        services.processFacts.folder = folder.slashed();
        ASSERT_TRUE(platform::writeFileAtomically(folder / "towerwatchlocations.txt",
                                                  location + "/server-info.xml\r\n"));
        WriteSetting("LocationHost", "127.0.0.1:1");  // the maker's host refuses
        WriteSetting("MonitorServer", kMonitored);
        WriteSetting("Realm", "2");  // Albion
        WriteSetting("SystemTray", "1");
        WriteSetting("OnChangeCommand", std::string("\"Z:" TW_TEST_CHILD "\" values \"") + changed + "\"");
        EXPECT_EQ(keyValue("MonitorServer"), kMonitored);

        frmMain main;
        main.Form_Load();
        auto completes = [&] { return runUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }, 20000); };
        ASSERT_TRUE(completes()) << location << ": " << main.lblServerInfo.caption();
        ASSERT_TRUE(icons.present) << "no tray icon";
        // The simulator's war moves on before every download; some change reaches our server.
        const std::string log = folder / (std::string(kMonitored) + ".log");
        for (int i = 0; i < 12 && platform::readWholeFile(log).value_or("").empty(); ++i) {
            main.Label5.click();
            ASSERT_TRUE(completes()) << location << ": " << main.lblServerInfo.caption();
        }
        ASSERT_FALSE(platform::readWholeFile(log).value_or("").empty()) << location << ": nothing logged";

        ASSERT_TRUE(main.tmrIcoFlash.enabled());
        const std::uintptr_t normal = forms::iconHandle(main.icoMain.picture());
        main.tmrIcoFlash.tick();
        if (icons.hIcon == normal) main.tmrIcoFlash.tick();
        EXPECT_EQ(testing::iconTint(icons.hIcon), tintFor(main.tmrIcoFlash.tag())) << main.tmrIcoFlash.tag();
        EXPECT_EQ(icons.tip, main.tmrIcoFlash.tag().substr(0, icons.tip.size()));
        ASSERT_FALSE(icons.balloons.empty());
        EXPECT_NE(icons.balloons.back().title.find(" taken by "), std::string::npos) << icons.balloons.back().title;
        EXPECT_TRUE(icons.refused.empty()) << icons.refused.front();

        ASSERT_TRUE(runUntil([&] { return platform::readWholeFile(changed).has_value(); }, 20000))
            << "the on-change command did not run";
        EXPECT_NE(platform::readWholeFile(changed)->find(kMonitored), std::string::npos);
        EXPECT_NE(keyValue("LastUpdate"), "(missing)");

        // Once the player has seen the flash and the command's job has gone (it is looked at
        // every 100 ms while it runs), the program idles: of its timers only the minute's may fire.
        icons.simulate(WM_LBUTTONDOWN);
        EXPECT_FALSE(main.tmrIcoFlash.enabled());
        runUntil([] { return false; }, 1000);
        TimerMessages timers;
        ASSERT_TRUE(timers.hooked());
        runUntil([] { return false; }, 3000);
        EXPECT_LE(timers.count(), 1);
        EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;

        bool ended = false;
        main.onProgramEnd = [&] { ended = true; };
        main.cmdExit.click();
        EXPECT_TRUE(ended);
        EXPECT_FALSE(icons.present) << "the icon outlived the program";
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    RealNotifyIcons icons;
    std::unique_ptr<platform::Registry> m_registry = platform::makeSystemRegistry();
    std::unique_ptr<platform::DesktopNotifier> m_notifier = platform::makeSystemNotifier();
};

TEST_F(ProgramOnWindows, OverHttpAndHttpsAChangeIsLoggedFlashedShownInABalloonAndHandedToTheCommand) {
    const auto ports = testing::tlsPeerPorts();
    ASSERT_EQ(ports.count("plain"), 1u);
    ASSERT_EQ(ports.count("good"), 1u);
    runAgainst("127.0.0.1:" + std::to_string(ports.at("plain")));
    runAgainst("https://127.0.0.1:" + std::to_string(ports.at("good")));
}

}  // namespace
}  // namespace tw
