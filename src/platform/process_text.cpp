// The text helpers behind the process facts, the same on every system.
#include <string_view>

#include "platform/files.h"
#include "platform/process_facts.h"

namespace tw::platform {

ProcessFacts::~ProcessFacts() = default;

std::string joinedArguments(const std::string& procCmdline) {
    // Each argument ends with a NUL; the first is the program itself.
    std::string joined;
    size_t start = procCmdline.find('\0');
    for (bool first = true; start != std::string::npos && start + 1 < procCmdline.size(); first = false) {
        const size_t end = procCmdline.find('\0', start + 1);
        if (!first) joined += ' ';
        joined += procCmdline.substr(start + 1, (end == std::string::npos ? procCmdline.size() : end) - start - 1);
        start = end;
    }
    return joined;
}

std::string folderWithSlash(std::string folder) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder + "/";
}

std::string withoutExtension(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string liveProgramPath(std::string exeLink) {
    constexpr std::string_view kDeleted = " (deleted)";
    if (exeLink.ends_with(kDeleted) && !fileExists(exeLink))
        exeLink.resize(exeLink.size() - kDeleted.size());
    return exeLink;
}

}  // namespace tw::platform
