#pragma once
// The main window, the view of the herald watch: the server list and the panel, the
// notification-area icon and its flashing, the buttons and the dialogs they open.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alerts/logged_change.h"
#include "alerts/stale_watch.h"
#include "app/desktop_alerts.h"
#include "app/rebuild_queue.h"
#include "forms/forms.h"
#include "herald/realm_vocabulary.h"
#include "history/change_detection.h"
#include "history/held_since_log.h"
#include "watch/herald_watch.h"

namespace tw {

struct ServerPanel;
struct PanelArrays;

class frmMain : public forms::Form, private WatchListener {
public:
    frmMain();

    // Start-up sequence; failures stop it with "Error in Form Load sub" and the window is
    // still shown (unless hidden in the tray).
    void Form_Load();
    void Form_Unload(bool& Cancel);
    void UnloadAll();

    // Handlers.
    void cmdExit_Click() { UnloadAll(); }
    void mExit_Click() { UnloadAll(); }
    void cmdAbout_Click();
    void mAbout_Click();
    // Another copy was started on the same settings and handed over to this one, with the
    // desktop's activation token it was started with (may be empty).
    void anotherCopyStarted(const std::string& activationToken = {});
    void cmdMonitorOptions_Click();
    void cmdProgramOptions_Click();
    void Label2_Click();
    void Label5_Click();
    void lblURL_Click();
    void mServers_Click();
    void tmrUpdate_Timer();
    void tmrIcoFlash_Timer();
    // Looks for a notification area again while the tray option is on but none was found.
    void tmrTrayHost_Timer();
    // A mouse notification from the notification-area icon (513, 515, 517).
    void TrayNotification(std::uint32_t mouseMessage);

    // Settings that take effect at once after the options dialog has closed.
    void ReapplySettings();

    // Runs when the program should end (the last window closed for good).
    std::function<void()> onProgramEnd;

    // The window handle the notification-area icon is registered with.
    std::uintptr_t hWnd() const { return reinterpret_cast<std::uintptr_t>(this); }

    // Procedures other parts of the program provide; overridable so the start-up order can
    // be observed on its own.
    virtual void LoadXML();
    void DoSwitchOff();
    virtual void lblServers_Click(int Index);

    // The server list and the panel of the chosen server, rebuilt one at a time.
    void LoadServers();
    void LoadInfo(std::string ServerName);
    void lblClaimed_Click(int Index);
    // Empties the panel when its server is no longer listed.
    void ClearPanel();
    // The start-up sequence and the update timer ask the watch through these.
    virtual void ReloadHostServers() { watch.ReloadHostServers(); }
    virtual void Update() { watch.Update(); }

    // --- state shared with the rest of the program ---
    std::string AppPath;
    // The downloads, the location list and the document text.
    HeraldWatch watch{AppPath, *this};
    std::string MonitorServer;
    std::string TrayStatus;
    std::string DFServer, DFStatus;
    bool ClosingDown = false;
    // The tray icon is in use: the option is on and the desktop has a notification area.
    bool TrayEnabled = false;
    forms::Picture NormalIcon, AlertIcon, ShownIcon;
    std::int16_t Countdown = 0;

    // --- controls ---
    forms::Label Label1{*this, "Label1"};
    forms::Label lblServerInfo{*this, "lblServerInfo"};
    forms::Label Label5{*this, "Label5"};
    forms::Label lblUpdate{*this, "lblUpdate"};
    forms::Label lblURL{*this, "lblURL"};
    forms::Label Label2{*this, "Label2"};
    forms::ControlArray<forms::Label> lblServers{*this, "lblServers"};
    forms::ControlArray<forms::Label> lblPopSize{*this, "lblPopSize"};
    forms::ControlArray<forms::Shape> shpServerUp{*this, "shpServerUp"};
    forms::Label lblServerName{*this, "lblServerName"};
    forms::Label KeepLabel{*this, "KeepLabel"}, RelicLabel{*this, "RelicLabel"}, DFLabel{*this, "DFLabel"};
    forms::ControlArray<forms::Label> lblKeepList{*this, "lblKeepList"};
    forms::ControlArray<forms::Image> imgKeepOwn{*this, "imgKeepOwn"};
    forms::ControlArray<forms::Label> lblClaimed{*this, "lblClaimed"};
    forms::ControlArray<forms::Label> lblEnd{*this, "lblEnd"};
    forms::ControlArray<forms::Label> lblRelicList{*this, "lblRelicList"};
    forms::ControlArray<forms::Image> imgRelicOwn{*this, "imgRelicOwn"};
    forms::Label lblDF{*this, "lblDF"};
    forms::Image imgDF{*this, "imgDF"};
    forms::Image imgTree{*this, "imgTree"}, imgCup{*this, "imgCup"}, imgHammer{*this, "imgHammer"};
    forms::Image icoMain{*this, "icoMain"}, icoRed{*this, "icoRed"};
    forms::Image icoGreen{*this, "icoGreen"}, icoYellow{*this, "icoYellow"};
    forms::Image imgLogo{*this, "imgLogo"};
    forms::Shape shpFrame{*this, "shpFrame"};
    forms::Line linTop{*this, "linTop"}, linBottom{*this, "linBottom"}, linDivider{*this, "linDivider"};
    forms::Button cmdMonitorOptions{*this, "cmdMonitorOptions"};
    forms::Button cmdProgramOptions{*this, "cmdProgramOptions"};
    forms::Button cmdAbout{*this, "cmdAbout"};
    forms::Button cmdExit{*this, "cmdExit"};
    forms::Timer tmrUpdate{*this, "tmrUpdate"};
    forms::Timer tmrIcoFlash{*this, "tmrIcoFlash"};
    // Runs while the tray option is on and no notification area has been found yet.
    forms::Timer tmrTrayHost{*this, "tmrTrayHost"};
    forms::Menu mPopUp{*this, "mPopUp", "popup"};
    forms::MenuItem* mServers = nullptr;
    forms::MenuItem* mAbout = nullptr;
    forms::MenuItem* mExit = nullptr;

private:
    // Which alert picture AlertIcon holds.
    tw::AlertIcon m_alert = tw::AlertIcon::None;
    forms::Picture m_stalePicture;
    DesktopAlerts m_alerts;
    RebuildQueue m_rebuilds;
    // The monitored server's log as far as read; each rebuild reads only what was appended.
    HeldSinceLog m_heldSince;

    // Design and wiring (frm_main.cpp, frm_main_panel.cpp).
    void designControls();
    void designPanel();
    void connectHandlers();
    // Start-up and settings (frm_main_startup.cpp).
    void applyUpdatePeriod(const std::string& storedIndex);
    void applyTrayOption(bool wanted);
    // The list and the panel (frm_main_servers.cpp, frm_main_panel.cpp).
    void rebuildServerList();
    void buildPanel(const std::string& ServerName);
    void emptyPanelLists();
    void showHeadings(bool shown);
    PanelArrays panelArrays();
    // The keeps' tooltips: since when each owner holds it, for the monitored server only.
    void showHeldSince(const ServerPanel& panel, const std::string& ServerName);
    const forms::Picture& realmPicture(RealmPicture picture) const;
    // The tray (frm_main_tray.cpp): the picture while nothing flashes, faded while stale.
    const forms::Picture& restingIcon() const;
    void staleness(StaleWatch::Turn turn) override;
    // A click on a notification or balloon (frm_main_dialogs.cpp).
    void openHistoryFromAlert();
    bool m_historyFromAlertOpen = false;

    // What the watch tells the window (frm_main_servers.cpp).
    void statusText(const std::string& caption) override;
    void updateCompleted(const std::string& lastUpdate) override;
    bool documentTaken() override;
    void changesLogged(const std::vector<LoggedChange>& changes) override;
};

// The by-line and home page shown top right and opened by a click.
extern const char* const kHomePage;
extern const char* const kByLine;

}  // namespace tw
