// The notification-area icon: its mouse notifications, the flashing a logged change starts,
// and the faded look while the shown ownership is stale.
#include "app/frm_main.h"

#include "app/tray_icon.h"
#include "platform/notify_icon.h"

namespace tw {

void frmMain::TrayNotification(std::uint32_t mouseMessage) {
    switch (mouseMessage) {
    case platform::WM_LBUTTONDOWN:
        tmrIcoFlash.setEnabled(false);
        TrayModify(forms::iconHandle(restingIcon()), TrayStatus, hWnd());
        break;
    case platform::WM_LBUTTONDBLCLK:
        mServers_Click();
        break;
    case platform::WM_RBUTTONUP:
        mPopUp.popup(mServers);
        break;
    case platform::NIN_BALLOONUSERCLICK:
        openHistoryFromAlert();
        break;
    default:
        break;
    }
}

void frmMain::DoSwitchOff() {
    const FlashState flash{m_alert, tmrIcoFlash.tag(), tmrIcoFlash.enabled()};
    const SwitchOffOutcome outcome = watch.DoSwitchOff(MonitorServer, flash);
    if (!outcome.flashReplaced) return;
    m_alert = outcome.flash.alertIcon;
    NormalIcon = icoMain.picture();
    switch (m_alert) {
    case tw::AlertIcon::Red: AlertIcon = icoRed.picture(); break;
    case tw::AlertIcon::Green: AlertIcon = icoGreen.picture(); break;
    case tw::AlertIcon::Yellow: AlertIcon = icoYellow.picture(); break;
    case tw::AlertIcon::None: break;
    }
    tmrIcoFlash.setTag(outcome.flash.tag);
    tmrIcoFlash.setEnabled(true);
}

void frmMain::tmrIcoFlash_Timer() {
    const std::string tip = tmrIcoFlash.tag();
    if (ShownIcon == NormalIcon) {
        TrayModify(forms::iconHandle(AlertIcon), tip, hWnd());
        ShownIcon = AlertIcon;
    } else {
        TrayModify(forms::iconHandle(NormalIcon), tip, hWnd());
        ShownIcon = NormalIcon;
    }
}

void frmMain::staleness(StaleWatch::Turn turn) {
    const StaleWatch& stale = watch.staleWatch();
    const std::string tip = stale.stale() ? stale.statusText() : "Towerwatch";
    if (turn == StaleWatch::Turn::None && tip == TrayStatus) return;
    TrayStatus = tip;
    if (stale.stale()) lblServerInfo.setCaption(tip);
    // A flashing icon keeps its own tip and pictures until it is clicked.
    if (TrayEnabled && !tmrIcoFlash.enabled()) TrayModify(forms::iconHandle(restingIcon()), TrayStatus, hWnd());
    m_alerts.staleTurned(turn, stale);
}

const forms::Picture& frmMain::restingIcon() const {
    return watch.staleWatch().stale() && !m_stalePicture.isNull() ? m_stalePicture : icoMain.picture();
}

}  // namespace tw
