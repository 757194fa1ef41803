#include "history/change_detection.h"

#include <exception>
#include <utility>

#include "herald/realm_vocabulary.h"
#include "history/event_log.h"
#include "runtime/conversions.h"
#include "runtime/error_handler.h"
#include "runtime/text.h"

namespace tw {

ChangeLogger eventLogWriter(std::string appPath, std::string serverName, std::string when) {
    return [appPath = std::move(appPath), serverName = std::move(serverName), when = std::move(when),
            written = std::size_t{0}, full = false](const OwnershipChange& change) mutable {
        const std::string line = eventRecordLine(change.place, change.newOwner, change.oldOwner, when);
        // Once one line does not fit, none after it is written either: the log keeps a
        // document's first changes, in order, with no gaps between them.
        if (full || line.size() > kMostLogBytesPerDocument - written) {
            full = true;
            return false;
        }
        appendEventLine(appPath, serverName, line);
        written += line.size();
        return true;
    };
}

AlertIcon alertFor(const std::string& userRealm, const OwnershipChange& change) {
    if (userRealm.empty()) return AlertIcon::Yellow;
    if (userRealm == change.oldOwner) return AlertIcon::Red;
    if (userRealm == change.newOwner) return AlertIcon::Green;
    return AlertIcon::Yellow;
}

bool alertReplacesFlash(AlertIcon chosen, const FlashState& flash) {
    return chosen == AlertIcon::Red || !flash.enabled || flash.alertIcon == chosen ||
           (flash.alertIcon == AlertIcon::Yellow && chosen == AlertIcon::Green);
}

std::string flashTagText(const OwnershipChange& change) {
    return change.place + " taken by " + change.newOwner + " from " + change.oldOwner;
}

SwitchOffOutcome OwnershipTracker::DoSwitchOff(const std::string& XMLData,
                                               const std::string& MonitorServer,
                                               const SettingReader& ReadSetting,
                                               const FlashState& flash,
                                               const ChangeLogger& appendToLog) {
    SwitchOffOutcome outcome;
    outcome.flash = flash;
    // Not monitoring: the snapshots stay as they are, so monitoring the same server again
    // later compares with the last document seen before.
    if (MonitorServer == "None") return outcome;
    try {
        m_previous = std::move(m_current);
        m_current = OwnershipSnapshot{};
        scanOwnership(XMLData, MonitorServer, m_current);
        // Keeps are matched by position, which only means something for two documents of
        // the same server with the same number of keeps; otherwise this one is the baseline.
        if (MonitorServer == m_lastComparedServer &&
            m_previous.Keeps.size() == m_current.Keeps.size()) {
            outcome.compared = true;
            for (std::size_t i = 1; i < m_current.Keeps.size(); ++i) {
                const KeepRecord& now = m_current.Keeps[i];
                const KeepRecord& before = m_previous.Keeps[i];
                if (now.Name == before.Name && now.Owner != before.Owner &&
                    IsStupid(i, ReadSetting))
                    recordChange(i, ReadSetting, appendToLog, outcome);
            }
        }
        m_lastComparedServer = MonitorServer;
    } catch (...) {
        RuntimeError error = toRuntimeError(std::current_exception());
        reportError("DoSwitchOff", error);
        outcome.error = std::move(error);
    }
    return outcome;
}

bool OwnershipTracker::IsStupid(std::size_t c, const SettingReader& ReadSetting) const {
    const std::string& oldOwner = m_previous.Keeps.at(c).Owner;
    const std::string& newOwner = m_current.Keeps.at(c).Owner;
    if (oldOwner.empty() || newOwner.empty() || oldOwner == "Unclaimed" || newOwner == "Unclaimed")
        return false;
    const bool filterBattlegrounds = leadingValue(ReadSetting("FilterNoob", "0")) == 1;
    return !(filterBattlegrounds && rightOf(m_current.Keeps.at(c).Name, 4) == "Keep");
}

void OwnershipTracker::recordChange(std::size_t index, const SettingReader& ReadSetting,
                                    const ChangeLogger& appendToLog, SwitchOffOutcome& outcome) {
    const OwnershipChange change{m_current.Keeps[index].Name, m_current.Keeps[index].Owner,
                                 m_previous.Keeps[index].Owner};
    // The log line comes first: a failure further on still leaves the change recorded. A
    // change the log has no room for raises no alert either.
    if (!appendToLog(change)) {
        ++outcome.notLogged;
        return;
    }
    const std::string userRealm = ReturnRealm(toInt16(ReadSetting("Realm", "0")));
    const AlertIcon chosen = alertFor(userRealm, change);
    outcome.logged.push_back(change);
    outcome.logged.back().alert = chosen;
    if (!alertReplacesFlash(chosen, outcome.flash)) return;
    outcome.flash = FlashState{chosen, flashTagText(change), true};
    outcome.flashReplaced = true;
}

}  // namespace tw
