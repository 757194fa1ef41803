#pragma once
// One keep that changed hands on the monitored server and was written to its log, with
// everything the alerts around it (notifications, the on-change command) tell about it.

#include <string>
#include <vector>

#include "history/change_detection.h"
#include "runtime/general_date.h"

namespace tw {

struct LoggedChange {
    std::string server;
    std::string place;
    std::string newOwner;
    std::string oldOwner;
    std::string dateText;  // the date as the log line holds it
    std::string dateIso;   // the same moment as ISO 8601 local time, "2026-12-06T18:05:00"
    AlertIcon alert = AlertIcon::None;  // Red, Green or Yellow for the player's realm
    bool operator==(const LoggedChange&) const = default;
};

// The changes one document logged, in order, with the alert each was given when logged.
std::vector<LoggedChange> loggedChanges(const std::vector<OwnershipChange>& logged,
                                        const std::string& server, const LocalDateTime& when,
                                        const std::string& dateText);

}  // namespace tw
