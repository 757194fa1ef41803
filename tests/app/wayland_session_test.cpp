// The program in a Wayland session (a headless compositor started around this test): the
// main window maps and downloads from the herald simulator with the tray wanted but no tray
// host, so it runs as with the tray off; the history viewer comes up modal over it; and the
// program started a second time, with and without the launcher's activation token, reaches
// this copy, which hands the token on and shows its window again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QWindow>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "event_loop_wait.h"
#include "forms/qt/native_form.h"
#include "forms_probe.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "scripted_peer.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::runUntil;

QWindow* handleOf(forms::Form& form) { return forms::qt::windowOf(form)->windowHandle(); }

bool mapped(forms::Form& form) {
    return runUntil([&] { return handleOf(form) && handleOf(form)->isExposed(); }, 10000);
}

// Starts the program once more on the same settings; its exit code, -1 when it did not end.
int secondStart(const std::string& activationToken, std::string& said) {
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_ACTIVATION_TOKEN");
    if (!activationToken.empty()) environment.insert("XDG_ACTIVATION_TOKEN", QString::fromStdString(activationToken));
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(TW_PROGRAM, {});
    if (!runUntil([&] { return second.state() == QProcess::NotRunning; }, 20000)) return -1;
    said = second.readAll().toStdString();
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

TEST(WaylandSession, WindowMapsDownloadsOpensTheHistoryModallyAndASecondStartRaisesIt) {
    ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland")) << "run through with_weston.sh";
    testing::TempFolder temp;
    ::setenv("XDG_CONFIG_HOME", (temp / "config").c_str(), 1);
    platform::NotifyIconShell& desktopTray = platform::notifyIconShell();
    platform::ScopedServices services;
    services.installNotifyIconShell(desktopTray);
    ScopedMessageBoxRecorder boxes;
    services.processFacts.folder = temp.slashed();

    testing::ChildProcess sim;
    const std::string herald = testing::startHeraldSimulator(sim, {"--seed", "4", "--interval", "0"});
    ASSERT_FALSE(herald.empty());
    WriteSetting("LocationHost", herald);
    WriteSetting("MonitorServer", "Emberfall");
    WriteSetting("SystemTray", "1");

    frmMain main;
    main.onProgramEnd = [] {};
    main.Form_Load();
    ASSERT_TRUE(runUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }, 15000))
        << main.lblServerInfo.caption();
    EXPECT_GE(main.lblServers.ubound(), 3);
    EXPECT_FALSE(main.TrayEnabled) << "no tray host in this session: the window is the program";
    ASSERT_TRUE(mapped(main)) << "the compositor never showed the main window";

    // The history viewer, modal and owned by the main window, seen from inside its loop.
    bool historyModal = false, historyOwned = false, historyMapped = false;
    forms::runSoon([&] {
        QWindow* modal = QGuiApplication::modalWindow();
        historyModal = modal != nullptr && modal != handleOf(main);
        historyOwned = historyModal && modal->transientParent() == handleOf(main);
        historyMapped = historyModal && runUntil([&] { return modal->isExposed(); }, 10000);
        for (forms::Form* form : forms::Form::openForms())
            if (form != &main) form->close();
    });
    main.cmdMonitorOptions_Click();
    EXPECT_TRUE(historyModal);
    EXPECT_TRUE(historyOwned);
    EXPECT_TRUE(historyMapped);

    // This copy holds the one-copy lock as the program's main does.
    platform::SingleInstance instance(platform::instanceName(platform::userConfigFolder() + "/towerwatch"),
                                      platform::instanceFolder());
    ASSERT_EQ(instance.claim(), platform::SingleInstance::Claim::OnlyCopy);
    std::vector<std::string> tokens;
    instance.onShowRequested = [&](const std::string& token) {
        tokens.push_back(token);
        main.anotherCopyStarted(token);
    };
    for (const std::string token : {"launcher-token-7", ""}) {
        SCOPED_TRACE("token \"" + token + "\"");
        main.hide();
        ASSERT_TRUE(runUntil([&] { return !handleOf(main)->isExposed(); }, 10000));
        std::string said;
        EXPECT_EQ(secondStart(token, said), 0) << said;
        EXPECT_NE(said.find("already running"), std::string::npos) << said;
        ASSERT_TRUE(runUntil([&] { return !tokens.empty(); }, 10000));
        EXPECT_EQ(tokens.back(), token);
        tokens.clear();
        EXPECT_TRUE(mapped(main)) << "the running copy's window did not come back";
    }
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

}  // namespace
}  // namespace tw
