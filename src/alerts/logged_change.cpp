#include "alerts/logged_change.h"

#include <cstdio>

namespace tw {

std::string isoDateTime(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
    return text;
}

std::vector<LoggedChange> loggedChanges(const std::vector<OwnershipChange>& logged,
                                        const std::string& server, const LocalDateTime& when,
                                        const std::string& dateText, const std::string& userRealm) {
    std::vector<LoggedChange> changes;
    changes.reserve(logged.size());
    const std::string iso = isoDateTime(when);
    for (const OwnershipChange& change : logged)
        changes.push_back(LoggedChange{server, change.place, change.newOwner, change.oldOwner,
                                       dateText, iso, alertFor(userRealm, change)});
    return changes;
}

}  // namespace tw
