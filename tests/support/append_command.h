#pragma once
// A command line for the on-change command that appends the changed place and a line end to
// a file, in the system's own shell. append_command_<system>.cpp.

#include <string>

namespace tw::testing {

std::string appendPlaceCommand(const std::string& file);

// The file's text with Windows line ends read as plain ones.
inline std::string withPlainLineEnds(std::string text) {
    std::erase(text, '\r');
    return text;
}

}  // namespace tw::testing
