#include "alerts/change_command.h"

namespace tw {

std::string alertName(AlertIcon alert) {
    switch (alert) {
    case AlertIcon::Red: return "red";
    case AlertIcon::Green: return "green";
    case AlertIcon::Yellow: return "yellow";
    case AlertIcon::None: break;
    }
    return "";
}

EnvironmentVariables changeCommandEnvironment(const LoggedChange& change) {
    return {{"TOWERWATCH_SERVER", change.server},         {"TOWERWATCH_PLACE", change.place},
            {"TOWERWATCH_NEW_OWNER", change.newOwner},    {"TOWERWATCH_OLD_OWNER", change.oldOwner},
            {"TOWERWATCH_DATE", change.dateText},         {"TOWERWATCH_DATE_ISO", change.dateIso},
            {"TOWERWATCH_ALERT", alertName(change.alert)}};
}

}  // namespace tw
