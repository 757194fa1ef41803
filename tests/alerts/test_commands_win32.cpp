#include "test_commands.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tw::testing {

namespace {

// The child is built beside the tests on Linux and seen through Wine's Z: drive.
std::string child(const std::string& verb, const std::string& file = {}) {
    std::string line = "\"Z:" TW_TEST_CHILD "\" " + verb;
    if (!file.empty()) line += " \"" + file + "\"";
    return line;
}

}  // namespace

std::string valuesCommand(const TempFolder&, const std::string& file) { return child("values", file); }

std::string touchCommand(const TempFolder&, const std::string& file) { return child("touch", file); }

std::string hangCommand(const TempFolder&) { return child("sleep"); }

std::string leaveBehindCommand(const TempFolder&, const std::string& file) { return child("tree", file); }

bool processGone(long long pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return true;
    const bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return gone;
}

}  // namespace tw::testing
