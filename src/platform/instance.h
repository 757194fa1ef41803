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

// $XDG_RUNTIME_DIR when set, else the temporary folder.
std::string instanceFolder();

class SingleInstance {
public:
    SingleInstance(const std::string& name, const std::string& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the only copy: it then listens for later ones, and also when the lock
    // cannot be had at all (the program then runs unguarded rather than not at all). False
    // when another copy runs; that copy has been asked to show itself, with a connect bounded
    // by about a second.
    bool claim();

    // Runs when a later copy asks this one to show itself.
    std::function<void()> onShowRequested;

private:
    void acceptRequests();

    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace tw::platform
