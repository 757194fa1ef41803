#pragma once
// Which logged changes become desktop notifications, and what they say. The "Notify" setting
// is "0" (none), "1" (every logged change) or "2" (only changes in which the player's realm
// gains or loses a keep: the red and green alerts); any other value counts as "1".

#include <string>
#include <vector>

#include "alerts/logged_change.h"

namespace tw {

enum class NotifyMode { Off, EveryChange, MyRealm };

NotifyMode notifyMode(const std::string& stored);

struct ChangeNotification {
    std::string summary;  // "Caer Ashwold taken by Midgard"
    std::string body;     // plain text, lines separated by "\n"
    bool critical = false;  // the player's realm lost a keep
    std::string realm;      // whose picture goes with it; empty for the program's own
    bool operator==(const ChangeNotification&) const = default;
};

// The notifications for the changes one document logged: one per change, or, when more than
// three are left after the mode's choice, one that lists them all.
std::vector<ChangeNotification> changeNotifications(const std::vector<LoggedChange>& changes, NotifyMode mode);

}  // namespace tw
