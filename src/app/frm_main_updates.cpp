// What the herald watch tells the main window: the status line, a completed update and the
// new document to log and show.
#include "app/frm_main.h"

namespace tw {

void frmMain::statusText(const std::string& caption) { lblServerInfo.setCaption(caption); }

void frmMain::updateCompleted(const std::string& lastUpdate) {
    lblUpdate.setCaption(lastUpdate);
}

bool frmMain::documentTaken() {
    DoSwitchOff();
    LoadServers();
    return lblServers.ubound() == 0 && lblServers[0].caption().empty();
}

void frmMain::changesLogged(const std::vector<LoggedChange>& changes) { m_alerts.changesLogged(changes); }

}  // namespace tw
