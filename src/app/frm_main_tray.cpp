// The notification-area icon's mouse notifications and its flashing.
#include "app/frm_main.h"

#include "app/tray_icon.h"
#include "platform/notify_icon.h"

namespace tw {

void frmMain::TrayNotification(std::uint32_t mouseMessage) {
    switch (mouseMessage) {
    case platform::WM_LBUTTONDOWN:
        tmrIcoFlash.setEnabled(false);
        TrayModify(iconHandle(restingIcon()), TrayStatus, hWnd());
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

void frmMain::tmrIcoFlash_Timer() {
    const std::string tip = tmrIcoFlash.tag();
    if (ShownIcon == NormalIcon) {
        TrayModify(iconHandle(AlertIcon), tip, hWnd());
        ShownIcon = AlertIcon;
    } else {
        TrayModify(iconHandle(NormalIcon), tip, hWnd());
        ShownIcon = NormalIcon;
    }
}

}  // namespace tw
