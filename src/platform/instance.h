#pragma once
// One copy of the program per user and configuration. The first copy holds the instance lock
// for its whole run and listens on a local socket beside it; a later copy finds the lock
// taken, asks the running copy through the socket to show itself, handing on the desktop's
// activation token it was started with (so a Wayland compositor lets the running copy raise
// its window), and ends. The socket file a
// killed copy leaves behind is removed by the next copy that takes the lock. On Windows the
// lock is a named mutex and the socket a message window of that name, reached by a
// registered message; no folder is used there. GUI thread only.

#include <functional>
#include <memory>
#include <string>

#include "platform/instance_lock.h"

namespace tw::platform {

struct NativeInstance;

class SingleInstance {
public:
    SingleInstance(const std::string& name, InstanceFolder folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Claim {
        OnlyCopy,     // it now listens for later copies
        AnotherRuns,  // that copy was asked to show itself, the connect bounded by about a second
        Unguarded,    // no lock to be had (see problem()): the program runs rather than not at all
    };
    // `activationToken` (may be empty) goes to the running copy with the request; one that is
    // not a plain token of at most kMaxActivationTokenBytes printable characters is left out.
    Claim claim(const std::string& activationToken = {});
    static constexpr std::size_t kMaxActivationTokenBytes = 255;

    // Why the claim was Unguarded.
    const std::string& problem() const { return m_problem; }

    // Runs when a later copy asks this one to show itself, with the token it handed on (empty
    // when it had none, and always on Windows).
    std::function<void(const std::string& activationToken)> onShowRequested;
    // Windows only: runs when the installer or uninstaller asks this copy to end (the
    // registered message "Towerwatch.ShowYourself" with wParam 1), so it is not replaced in use.
    std::function<void()> onEndRequested;

private:
    void acceptRequests();

    std::string m_lockPath;
    std::string m_socketPath;
    std::string m_problem;
    std::unique_ptr<NativeInstance> m_native;
};

}  // namespace tw::platform
