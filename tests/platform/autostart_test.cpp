#include "platform/autostart.h"

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

bool noFiles(const std::string&) { return false; }

TEST(AutostartEntry, AnyCommandReadsBackExactlyAsWritten) {
    const std::string commands[] = {
        "/opt/towerwatch/towerwatch -startup",
        "C:\\Games\\towerwatch -startup",
        "/opt/50%/tw %f -startup",
        "/opt/tw/towerwatch \"-startup\"",
        "line\nbreak\tand\rreturn",
        "",
    };
    for (const std::string& command : commands) {
        const std::string entry = autostartEntryText(command, noFiles);
        EXPECT_EQ(autostartCommand(entry), command) << entry;
        // One Exec line whatever the command holds.
        size_t lines = 0;
        for (char c : entry) lines += c == '\n';
        EXPECT_EQ(lines, 6u) << entry;
    }
}

TEST(AutostartEntry, ExecLineEscapesFieldCodesAndQuotesOnlyAnExistingProgramPathWithBlanks) {
    const auto isFile = [](const std::string& p) { return p == "/home/me/My Games/tw" || p == "/usr/bin/tw"; };
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\tw\\tw.exe 100% -startup", "C:\\\\tw\\\\tw.exe 100%% -startup"},
        {"/home/me/My Games/tw -startup", "\"/home/me/My Games/tw\" -startup"},
        {"/usr/bin/tw -startup", "/usr/bin/tw -startup"},
        {"/not/there with blank -startup", "/not/there with blank -startup"},
    };
    for (const auto& [command, exec] : rows) {
        const std::string entry = autostartEntryText(command, isFile);
        EXPECT_NE(entry.find("\nExec=" + std::string(exec) + "\n"), std::string::npos) << entry;
    }
}

TEST(AutostartEntry, ReadingHandWrittenEntries) {
    struct Row { const char* entry; std::optional<std::string> command; };
    const Row rows[] = {
        {"[Desktop Entry]\nExec=/usr/bin/tw -startup\n", "/usr/bin/tw -startup"},
        {"[Desktop Entry]\r\nExec = /usr/bin/tw -startup \r\n", "/usr/bin/tw -startup"},
        {"[Desktop Entry]\nExec=\"/a b/tw\" -startup\n", "/a b/tw -startup"},
        {"[Desktop Entry]\nExec=\"/a \\\\\"b\\\\\"/tw\" -x\n", "/a \"b\"/tw -x"},
        {"[Desktop Entry]\nExec=\"unclosed -startup\n", "\"unclosed -startup"},
        {"[Desktop Entry]\nName=Towerwatch\n", std::nullopt},
        {"[Desktop Action New]\nExec=/usr/bin/other\n", std::nullopt},
        {"[Desktop Entry]\nExec=/usr/bin/tw\n[Desktop Action X]\nExec=/usr/bin/other\n", "/usr/bin/tw"},
        {"[Desktop Entry]\nExec=/usr/bin/tw\nHidden=true\n", std::nullopt},
        {"[Desktop Entry]\nExec=/usr/bin/tw\nHidden=false\n", "/usr/bin/tw"},
        {"", std::nullopt},
        {"garbage without lines", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(autostartCommand(row.entry), row.command) << row.entry;
}

}  // namespace
}  // namespace tw::platform
