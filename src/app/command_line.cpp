#include "app/command_line.h"

#include <string_view>

#include "about/about_texts.h"

namespace tw {

CommandLineAnswer commandLineAnswer(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") return CommandLineAnswer::Help;
        if (arg == "--version") return CommandLineAnswer::Version;
    }
    return CommandLineAnswer::None;
}

std::string usageText(const std::string& programName) {
    return "Usage: " + programName + " [-startup]\n"
           "Watches the herald's status document: who holds the keeps and relics of each server.\n"
           "\n"
           "  -startup    start hidden in the tray when the tray icon is on (as at log-in)\n"
           "  --help      show this text and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "A copy already running for the same settings is brought to the front instead.\n";
}

std::string versionText(const std::string& productName, int major, int minor, int revision) {
    return productName + " " + versionLine(major, minor, revision) + "\n";
}

}  // namespace tw
