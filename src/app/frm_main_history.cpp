// Each status document taken in is compared with the one before for the monitored server;
// changes go to its log and may start the tray icon flashing.
#include "app/frm_main.h"

#include <string>

#include "alerts/change_command.h"
#include "herald/realm_vocabulary.h"
#include "platform/services.h"
#include "runtime/conversions.h"
#include "runtime/general_date.h"
#include "settings/settings_store.h"

namespace tw {

void frmMain::DoSwitchOff() {
    const FlashState flash{m_alert, tmrIcoFlash.tag(), tmrIcoFlash.enabled()};
    const platform::ProcessFacts& facts = platform::processFacts();
    // One reading of the clock serves the log line and everything told of the change, so
    // the command's two date variables name the same second.
    const auto now = facts.now();
    const std::string when = generalDate(now, facts.datePatterns());
    const SwitchOffOutcome outcome = m_ownership.DoSwitchOff(
        XMLData, MonitorServer, ReadSetting, flash, eventLogWriter(AppPath, MonitorServer, when));
    // The changes past the log's share of one document are only counted; the status line
    // says how many, as nothing else will.
    if (outcome.notLogged != 0)
        lblServerInfo.setCaption("Too many changes in one update: " + std::to_string(outcome.notLogged) +
                                 " not logged");
    if (!outcome.logged.empty())
        announceChanges(loggedChanges(outcome.logged, MonitorServer, now, when,
                                      ReturnRealm(toInt16(ReadSetting("Realm", "0")))));
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

void frmMain::announceChanges(const std::vector<LoggedChange>& changes) {
    notifyChanges(changes);
    const std::string command = ReadSetting("OnChangeCommand", "");
    for (const LoggedChange& change : changes) m_changeCommands.run(command, changeCommandEnvironment(change));
}

}  // namespace tw
