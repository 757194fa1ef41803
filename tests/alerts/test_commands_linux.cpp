#include "test_commands.h"

#include <signal.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "platform/files.h"

namespace tw::testing {

namespace {

// A script in the test folder; its path holds a blank, so the command line must quote it.
std::string script(const TempFolder& folder, const std::string& body) {
    const std::string path = folder / "on change.sh";
    platform::writeFileAtomically(path, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return "\"" + path + "\"";
}

std::string quoted(const std::string& file) { return " \"" + file + "\""; }

}  // namespace

std::string valuesCommand(const TempFolder& folder, const std::string& file) {
    return script(folder, "[ $# = 1 ] && printf '%s\\0' \"$TOWERWATCH_SERVER\" \"$TOWERWATCH_PLACE\" "
                          "\"$TOWERWATCH_NEW_OWNER\" \"$TOWERWATCH_OLD_OWNER\" \"$TOWERWATCH_DATE\" "
                          "\"$TOWERWATCH_DATE_ISO\" \"$TOWERWATCH_ALERT\" > \"$1\"") +
           quoted(file);
}

std::string touchCommand(const TempFolder& folder, const std::string& file) {
    return script(folder, "touch \"$1\"") + quoted(file);
}

std::string hangCommand(const TempFolder& folder) {
    return script(folder, "trap '' TERM; while :; do sleep 1; done");
}

std::string leaveBehindCommand(const TempFolder& folder, const std::string& file) {
    // The first sleeper hears SIGTERM, the second does not.
    return script(folder, "sleep 1000 & echo $! > \"$1\"; trap '' TERM; sleep 1000 & echo $! >> \"$1\"; exit 0") +
           quoted(file);
}

bool processGone(long long pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return errno == ESRCH;
    const std::optional<std::string> stat = platform::readWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return true;  // reaped between the two looks
    const std::size_t state = stat->rfind(')');
    return state != std::string::npos && stat->compare(state, 3, ") Z") == 0;
}

}  // namespace tw::testing
