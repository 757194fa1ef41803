#pragma once
// One copy of the program per user and configuration. The first copy holds a lock for its
// whole run and listens on a local socket beside it; a later copy finds the lock taken, asks
// the running copy through the socket to show itself, and ends. The lock goes with the
// process that held it, so a killed copy never blocks the next start, and the socket file it
// leaves behind is removed by the next copy that takes the lock. GUI thread only.

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace tw::platform {

// The name every copy using this settings folder shares: the user id and a hash of the
// folder, so two configurations of one user run side by side.
std::string instanceName(const std::string& settingsFolder);

// Where the lock and the socket live: a folder only this user can use, so no other account
// can take the lock first. An empty path, with the reason, when there is none.
struct InstanceFolder {
    std::string path;
    std::string problem;
};

// $XDG_RUNTIME_DIR when it is such a folder, else "towerwatch-<uid>" in the temporary
// folder, made with mode 0700 when missing and used only when it is this user's own folder
// (not a link) that nobody else may enter.
InstanceFolder instanceFolder();

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
    Claim claim();

    // Why the claim was Unguarded.
    const std::string& problem() const { return m_problem; }

    // Runs when a later copy asks this one to show itself.
    std::function<void()> onShowRequested;

private:
    void acceptRequests();

    std::string m_lockPath;
    std::string m_socketPath;
    std::string m_problem;
    int m_lockFd = -1;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace tw::platform
