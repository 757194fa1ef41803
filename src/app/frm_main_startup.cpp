// Start-up, automatic updates, re-applying settings and shutdown of the main window.
#include "app/frm_main.h"

#include "app/artwork.h"
#include "app/tray_icon.h"
#include "herald/realm_vocabulary.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/conversions.h"
#include "runtime/error_handler.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

bool isStartupSwitch(const std::string& commandLine) {
    return lowerCase(trimSpaces(commandLine)) == "-startup";
}

}  // namespace

void frmMain::Form_Load() {
    platform::notifyIconShell().setMessageHandler(
        hWnd(), [this](std::uint32_t, std::uint32_t mouseMessage) { TrayNotification(mouseMessage); });

    bool stayHidden = false;
    withErrorHandler("Form Load", [&] {
        watch.forgetOwnership();
        AppPath = platform::appPath(platform::processFacts());
        watch.createSockets();
        const bool trayWanted = toDouble(ReadSetting("SystemTray", "1")) == 1;
        TrayStatus = "Towerwatch";
        if (m_stalePicture.isNull()) m_stalePicture = staleIcon();
        watch.restartStaleWatch();
        m_alerts.connect();
        applyTrayOption(trayWanted);
        lblUpdate.setCaption(ReadSetting("LastUpdate", "Never updated"));
        MonitorServer = ReadSetting("MonitorServer", "");
        if (platform::fileExists(AppPath + platform::kStatusFile)) {
            LoadXML();
            DoSwitchOff();
        }
        applyUpdatePeriod(ReadSetting("UpdateTime", "0"));
        imgKeepOwn[0].setPicture(imgCup.picture());
        lblURL.setCaption(std::string(kByLine) + "\r\n" + kHomePage);
        lblURL.setTop(100);
        lblURL.setLeft(clientWidth() - lblURL.width() - 100);
        const std::string lastServer = ReadSetting("LastServer", "");
        if (!lastServer.empty()) {
            for (int i = 0; i <= lblServers.ubound(); ++i) {
                if (lblServers.exists(i) && lblServers[i].caption() == lastServer) {
                    lblServers_Click(i);
                    break;
                }
            }
        }
        ReloadHostServers();
        if (toDouble(ReadSetting("UpdateOnStart", "1")) == 1) Update();
        stayHidden = isStartupSwitch(platform::processFacts().commandLine()) && TrayEnabled;
    });
    if (!stayHidden) {
        show();
        setWindowState(forms::WindowState::Normal);
    }
}

void frmMain::applyUpdatePeriod(const std::string& storedIndex) {
    const int period = ReturnTime(toInt16(storedIndex));
    tmrUpdate.setTag(std::to_string(period));
    tmrUpdate.setEnabled(period != 0);
    watch.setUpdatePeriod(period);
}

void frmMain::tmrUpdate_Timer() {
    // Countdown only moves while the timer runs; the period is at most an hour of ticks.
    if (leadingValue(tmrUpdate.tag()) <= Countdown) {
        // An error box left open holds the update until the first tick after it closes;
        // otherwise each update could open another box inside it.
        if (errorBoxOpen()) return watch.timePassed();
        watch.UpdateFromEvent([this] { Update(); });
        Countdown = 0;
    }
    ++Countdown;
    watch.timePassed();
}

void frmMain::ReapplySettings() {
    // Here a missing frequency means an hour; at start-up it means a quarter of an hour.
    applyUpdatePeriod(ReadSetting("UpdateTime", "2"));
    MonitorServer = ReadSetting("MonitorServer", "");
    applyTrayOption(toDouble(ReadSetting("SystemTray", "1")) == 1);
}

void frmMain::applyTrayOption(bool wanted) {
    // Without a notification area the icon could not be seen: the program then behaves as
    // with the option off, so the window is never hidden out of reach.
    const bool useTray = wanted && platform::notifyIconShell().trayHostAvailable();
    if (useTray != TrayEnabled) {
        if (useTray) TrayAdd(forms::iconHandle(restingIcon()), TrayStatus, hWnd());
        else TrayDelete();
    }
    TrayEnabled = useTray;
    tmrTrayHost.setEnabled(wanted && !useTray);
}

void frmMain::tmrTrayHost_Timer() {
    if (platform::notifyIconShell().trayHostAvailable()) applyTrayOption(true);
}

void frmMain::Label2_Click() { LoadServers(); }

void frmMain::Label5_Click() { watch.UpdateFromEvent([this] { Update(); }); }

void frmMain::lblURL_Click() { platform::openLink(kHomePage, LinkSource::Program); }

void frmMain::mServers_Click() {
    show();
    setWindowState(forms::WindowState::Normal);
}

void frmMain::anotherCopyStarted(const std::string& activationToken) {
    // The running copy answers for the one just started: living in the tray, its about box
    // says it is there; otherwise its window comes back. Either is brought to the front
    // with the token the desktop gave the new copy.
    forms::activateNextShownForm(activationToken);
    if (TrayEnabled) mAbout_Click();
    else mServers_Click();
}

void frmMain::UnloadAll() {
    for (forms::Form* form : forms::Form::openForms())
        if (form != this) form->close();
    ClosingDown = true;
    close();
}

void frmMain::Form_Unload(bool& Cancel) {
    if (!ClosingDown && TrayEnabled) {
        // The user closed the window: keep running in the tray, timers included.
        Cancel = true;
        hide();
        return;
    }
    if (!ClosingDown) {
        // Closing without the tray ends the program: take the other windows along.
        for (forms::Form* form : forms::Form::openForms())
            if (form != this) form->close();
        ClosingDown = true;
    }
    if (TrayEnabled) TrayDelete();
    tmrUpdate.setEnabled(false);
    tmrIcoFlash.setEnabled(false);
    tmrTrayHost.setEnabled(false);
    if (onProgramEnd) onProgramEnd();
}

}  // namespace tw
