#pragma once
// Facts about the running program that the main window and the settings read: its command
// line, where it lives, its name and version, the local time and the user's date formats.

#include <chrono>
#include <string>

#include "runtime/general_date.h"

namespace tw::platform {

class ProcessFacts {
public:
    virtual ~ProcessFacts();
    // The arguments after the program name, joined by single spaces; "" when there are none.
    virtual std::string commandLine() const;
    // The folder of the executable with exactly one trailing separator; "" when it cannot be found.
    virtual std::string programFolder() const;
    // The executable's file name without its extension.
    virtual std::string exeName() const;
    // The full path of the running executable, symbolic links resolved; "" when unknown.
    virtual std::string executablePath() const;
    virtual std::string productName() const;
    virtual int versionMajor() const;
    virtual int versionMinor() const;
    virtual int versionRevision() const;
    virtual LocalDateTime now() const;
    // A clock that only runs forward, whatever the local clock is set to: for measuring
    // how long ago something happened.
    virtual std::chrono::steady_clock::time_point steadyNow() const;
    // Short date and long time formats, month names and AM/PM texts of the user's locale.
    virtual DatePatterns datePatterns() const;
};

// Settable facts for tests; defaults look like a fresh start from /opt/towerwatch/.
class FakeProcessFacts : public ProcessFacts {
public:
    std::string commandLine() const override { return commandLineText; }
    std::string programFolder() const override { return folder; }
    std::string exeName() const override { return exe; }
    std::string executablePath() const override { return exePath; }
    std::string productName() const override { return product; }
    int versionMajor() const override { return major; }
    int versionMinor() const override { return minor; }
    int versionRevision() const override { return revision; }
    LocalDateTime now() const override { return clock; }
    std::chrono::steady_clock::time_point steadyNow() const override { return steady; }
    DatePatterns datePatterns() const override { return patterns; }

    std::string commandLineText;
    std::string folder = "/opt/towerwatch/";
    std::string exe = "towerwatch";
    std::string exePath = "/opt/towerwatch/towerwatch";
    std::string product = "Towerwatch";
    int major = 1, minor = 0, revision = 0;
    LocalDateTime clock{2024, 5, 17, 14, 30, 0};
    std::chrono::steady_clock::time_point steady;
    DatePatterns patterns;
};

// Helpers behind the real facts, kept apart so they can be tried on any input.
std::string joinedArguments(const std::string& procCmdline);  // NUL-separated, program first
std::string folderWithSlash(std::string folder);               // exactly one trailing "/"
std::string withoutExtension(const std::string& fileName);
// The program file a link to the running executable names. A file replaced while the program
// runs (an upgrade) reads back as "<path> (deleted)"; then the new file at <path> is meant.
std::string liveProgramPath(std::string exeLink);

// The reverse-DNS name of the installed desktop entry, icon and metadata.
extern const char* const kDesktopEntryId;

// Linux: an installed copy: the program sits in a "bin" folder beside share/applications/, which
// holds its desktop entry (<prefix>/bin/towerwatch, <prefix>/share/applications/<id>.desktop).
bool isInstalledCopy(const std::string& programFolder);

// The folder the program keeps its files in, with one trailing separator: the program's
// folder when it can be written to and is not an installed copy's, else
// $XDG_DATA_HOME/towerwatch/ (created when missing). Windows: the program's folder when it
// can be written to, else %LOCALAPPDATA%\Towerwatch\ (installed under Program Files).
std::string appPath(const ProcessFacts& facts);

}  // namespace tw::platform
