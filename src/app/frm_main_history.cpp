// Each status document taken in is compared with the one before for the monitored server
// (the watch logs the changes); a change may start the tray icon flashing.
#include "app/frm_main.h"

namespace tw {

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

}  // namespace tw
