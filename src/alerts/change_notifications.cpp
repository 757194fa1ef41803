#include "alerts/change_notifications.h"

namespace tw {
namespace {

// A player can take in three separate pop-ups; a siege night's batch becomes one list.
constexpr std::size_t kMostSeparate = 3;

bool notifies(const LoggedChange& change, NotifyMode mode) {
    switch (mode) {
    case NotifyMode::Off: return false;
    case NotifyMode::MyRealm: return change.alert == AlertIcon::Red || change.alert == AlertIcon::Green;
    case NotifyMode::EveryChange: return true;
    }
    return false;
}

std::string takenBy(const LoggedChange& change) { return change.place + " taken by " + change.newOwner; }

ChangeNotification single(const LoggedChange& change) {
    return {takenBy(change), "From " + change.oldOwner + " on " + change.server + ", " + change.dateText,
            change.alert == AlertIcon::Red, change.newOwner};
}

ChangeNotification grouped(const std::vector<const LoggedChange*>& changes) {
    const LoggedChange& first = *changes.front();
    ChangeNotification list{std::to_string(changes.size()) + " keeps changed hands on " + first.server, "",
                            false, first.newOwner};
    for (const LoggedChange* change : changes) {
        list.body += takenBy(*change) + " from " + change->oldOwner + "\n";
        list.critical = list.critical || change->alert == AlertIcon::Red;
        if (change->newOwner != list.realm) list.realm.clear();  // mixed winners: the program's picture
    }
    list.body += first.dateText;
    return list;
}

}  // namespace

NotifyMode notifyMode(const std::string& stored) {
    if (stored == "0") return NotifyMode::Off;
    if (stored == "2") return NotifyMode::MyRealm;
    return NotifyMode::EveryChange;
}

std::vector<ChangeNotification> changeNotifications(const std::vector<LoggedChange>& changes, NotifyMode mode) {
    std::vector<const LoggedChange*> chosen;
    for (const LoggedChange& change : changes)
        if (notifies(change, mode)) chosen.push_back(&change);
    if (chosen.size() > kMostSeparate) return {grouped(chosen)};
    std::vector<ChangeNotification> notifications;
    for (const LoggedChange* change : chosen) notifications.push_back(single(*change));
    return notifications;
}

}  // namespace tw
