#pragma once
// What the on-change command learns about one logged change: environment variables only.
// Names from the document never become arguments or shell text, so a keep called
// "x; rm -rf ~" is just a value to the command.

#include <string>
#include <utility>
#include <vector>

#include "alerts/logged_change.h"

namespace tw {

using EnvironmentVariables = std::vector<std::pair<std::string, std::string>>;

// "red", "green", "yellow", or "" when the change does not touch the player's realm.
std::string alertName(AlertIcon alert);

// TOWERWATCH_SERVER, _PLACE, _NEW_OWNER, _OLD_OWNER, _DATE (the log's text), _DATE_ISO and
// _ALERT, in that order.
EnvironmentVariables changeCommandEnvironment(const LoggedChange& change);

}  // namespace tw
