#include "platform/shell.h"

#include "platform/services.h"

namespace tw::platform {

Shell::~Shell() = default;

bool openLink(const std::string& url, LinkSource source) {
    if (!mayOpenLink(url, source)) return false;
    shell().ShellExecute("", url, "", "C:\\", 1);
    return true;
}

void ShellRecorder::ShellExecute(const std::string& operation, const std::string& file,
                                 const std::string& parameters, const std::string& directory, int showCommand) {
    calls.push_back({operation, file, parameters, directory, showCommand});
}

}  // namespace tw::platform
