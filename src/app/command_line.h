#pragma once
// The options answered before any window or file is touched. Anything else on the command
// line is left to start-up, which knows only "-startup". Plain C++.

#include <string>

namespace tw {

enum class CommandLineAnswer { None, Help, Version };

// The first of "--help" and "--version" among the arguments after the program name.
CommandLineAnswer commandLineAnswer(int argc, const char* const* argv);

// The text printed for --help; programName as the user typed it.
std::string usageText(const std::string& programName);

// The text printed for --version: the product name and the about box's version line.
std::string versionText(const std::string& productName, int major, int minor, int revision);

}  // namespace tw
