#include "platform/shell.h"

#include <windows.h>
#include <shellapi.h>
// The interface keeps the call's plain name; the header makes it a macro for the A/W pair.
#undef ShellExecute

#include "platform/win32/wide.h"

namespace tw::platform {
namespace {

// Hands the link to the shell's default handler; the shell opens it on its own time.
class WindowsShell : public Shell {
public:
    void ShellExecute(const std::string& operation, const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) override;
};

void WindowsShell::ShellExecute(const std::string& operation, const std::string& file, const std::string& parameters,
                                const std::string& directory, int showCommand) {
    if (file.empty()) return;
    const std::wstring verb = win32::wide(operation);
    const std::wstring target = win32::wide(file);
    const std::wstring arguments = win32::wide(parameters);
    const std::wstring folder = win32::wide(directory);
    ::ShellExecuteW(nullptr, verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                    arguments.empty() ? nullptr : arguments.c_str(), folder.empty() ? nullptr : folder.c_str(),
                    showCommand);
}

}  // namespace

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<WindowsShell>(); }

}  // namespace tw::platform
