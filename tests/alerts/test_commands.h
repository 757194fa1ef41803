#pragma once
// Commands for the runner's tests, as programs of the system under test: shell scripts on
// Linux (test_commands_linux.cpp), the test child on Windows (test_commands_win32.cpp).

#include <string>

#include "temp_folder.h"

namespace tw::testing {

// Writes the seven TOWERWATCH_* values, each NUL-ended, to file; only when started with
// exactly one argument, so a command line split wrongly writes nothing.
std::string valuesCommand(const TempFolder& folder, const std::string& file);
// Creates file and exits.
std::string touchCommand(const TempFolder& folder, const std::string& file);
// Runs until it is killed, deaf to any request to end.
std::string hangCommand(const TempFolder& folder);
// Leaves two deaf sleepers behind, writes their process ids to file, and exits at once.
std::string leaveBehindCommand(const TempFolder& folder, const std::string& file);

// Whether a process is gone (or has died and only waits to be reaped).
bool processGone(long long pid);

}  // namespace tw::testing
