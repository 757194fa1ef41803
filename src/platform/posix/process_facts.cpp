#include "platform/process_facts.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/user_locale.h"

#ifndef TW_VERSION_MAJOR
#define TW_VERSION_MAJOR 0
#define TW_VERSION_MINOR 0
#define TW_VERSION_REVISION 0
#endif
#ifndef TW_APP_ID
#define TW_APP_ID "towerwatch"
#endif

namespace tw::platform {
namespace {

std::string selfExeLink() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

bool isWritableFolder(const std::string& folder) {
    struct stat st {};
    return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

const char* const kDesktopEntryId = TW_APP_ID;

std::string ProcessFacts::commandLine() const {
    const auto cmdline = readWholeFile("/proc/self/cmdline");
    return cmdline ? joinedArguments(*cmdline) : std::string();
}

std::string ProcessFacts::executablePath() const { return liveProgramPath(selfExeLink()); }

std::string ProcessFacts::programFolder() const {
    const std::string exe = executablePath();
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : folderWithSlash(exe.substr(0, slash));
}

std::string ProcessFacts::exeName() const {
    const std::string exe = executablePath();
    return withoutExtension(exe.substr(exe.rfind('/') + 1));
}

std::string ProcessFacts::productName() const { return "Towerwatch"; }
int ProcessFacts::versionMajor() const { return TW_VERSION_MAJOR; }
int ProcessFacts::versionMinor() const { return TW_VERSION_MINOR; }
int ProcessFacts::versionRevision() const { return TW_VERSION_REVISION; }

LocalDateTime ProcessFacts::now() const { return localNow(); }

std::chrono::steady_clock::time_point ProcessFacts::steadyNow() const { return std::chrono::steady_clock::now(); }

DatePatterns ProcessFacts::datePatterns() const { return userDatePatterns(); }

bool isInstalledCopy(const std::string& programFolder) {
    std::string folder = programFolder;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos || folder.substr(slash + 1) != "bin") return false;
    return fileExists(folder.substr(0, slash) + "/share/applications/" + kDesktopEntryId + ".desktop");
}

std::string appPath(const ProcessFacts& facts) {
    const std::string folder = facts.programFolder();
    if (isWritableFolder(folder) && !isInstalledCopy(folder)) return folderWithSlash(folder);
    // An installed copy keeps its files per user, even under a prefix the user may write to.
    const std::string data = userDataFolder() + "/towerwatch";
    makeFolders(data);
    return folderWithSlash(data);
}

}  // namespace tw::platform
