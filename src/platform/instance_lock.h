#pragma once
// The lock that only one copy of the program holds at a time, and the folder it lives in.
// The lock goes with the process that held it, so a killed copy never blocks the next start.

#include <memory>
#include <string>

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

struct NativeLock;

// The lock file at path, made when missing; held from a successful take() to the end of
// this object.
class InstanceLock {
public:
    explicit InstanceLock(std::string path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Take {
        Held,           // this copy holds it now
        HeldElsewhere,  // another copy holds it
        Failed,         // no lock to be had: problem() says why
    };
    Take take();
    const std::string& problem() const { return m_problem; }

private:
    std::string m_path;
    std::string m_problem;
    std::unique_ptr<NativeLock> m_native;
};

}  // namespace tw::platform
