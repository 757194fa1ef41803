#pragma once
// Opening documents and links with the desktop's default handler, in the form of the shell
// call the program makes. Nothing is reported: a link that cannot be opened is dropped.

#include <memory>
#include <string>
#include <vector>

#include "runtime/link_check.h"

namespace tw::platform {

class Shell {
public:
    virtual ~Shell();
    // Opens file (a web address, a mailto: link or a local path) when operation is "" or
    // "open"; parameters, directory and showCommand go to Windows' shell, and have no
    // meaning on the Linux desktop.
    virtual void ShellExecute(const std::string& operation, const std::string& file,
                              const std::string& parameters, const std::string& directory,
                              int showCommand) = 0;
};

// The desktop's own handler, as the window system reaches it: the link is handed on without
// waiting for it to open.
std::unique_ptr<Shell> makeSystemShell();

// Keeps every call, for tests.
class ShellRecorder : public Shell {
public:
    struct Call {
        std::string operation, file, parameters, directory;
        int showCommand = 0;
        bool operator==(const Call&) const = default;
    };
    void ShellExecute(const std::string& operation, const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) override;
    std::vector<Call> calls;
};

// The way every click of the program opens a link: the installed shell is asked to open url
// with the default action when mayOpenLink allows it for that source; anything else is
// dropped without a word. Returns whether the link was handed on.
bool openLink(const std::string& url, LinkSource source);

}  // namespace tw::platform
