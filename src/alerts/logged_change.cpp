#include "alerts/logged_change.h"

namespace tw {

std::vector<LoggedChange> loggedChanges(const std::vector<OwnershipChange>& logged,
                                        const std::string& server, const LocalDateTime& when,
                                        const std::string& dateText) {
    std::vector<LoggedChange> changes;
    changes.reserve(logged.size());
    const std::string iso = isoDateTime(when);
    for (const OwnershipChange& change : logged)
        changes.push_back(LoggedChange{server, change.place, change.newOwner, change.oldOwner,
                                       dateText, iso, change.alert});
    return changes;
}

}  // namespace tw
