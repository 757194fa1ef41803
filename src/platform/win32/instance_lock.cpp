#include "platform/instance_lock.h"

#include <windows.h>

#include "platform/win32/wide.h"
#include "runtime/sha256.h"

namespace tw::platform {
namespace {

std::string hexDigits(const unsigned char* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

std::string userName() {
    wchar_t name[257];
    DWORD size = 257;
    return ::GetUserNameW(name, &size) ? win32::utf8(std::wstring(name, size > 0 ? size - 1 : 0)) : std::string();
}

}  // namespace

// Here the settings "folder" is the registry key the copy keeps its settings under; the user
// is part of the hash because two users may share one session's namespace (run as).
std::string instanceName(const std::string& settingsFolder) {
    const auto hash = sha256(userName() + "\n" + settingsFolder);
    return "towerwatch-" + hexDigits(hash.data(), 8);
}

// The lock is a named kernel object in the session's own namespace: no folder is needed.
InstanceFolder instanceFolder() { return {}; }

struct NativeLock {
    HANDLE mutex = nullptr;
};

// The path is the mutex's name in the session's Local\ namespace.
InstanceLock::InstanceLock(std::string path) : m_path(std::move(path)), m_native(std::make_unique<NativeLock>()) {}

InstanceLock::~InstanceLock() {
    if (m_native->mutex) ::CloseHandle(m_native->mutex);
}

InstanceLock::Take InstanceLock::take() {
    if (m_native->mutex) return Take::Held;
    const std::wstring name = L"Local\\" + win32::wide(m_path);
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    if (!mutex) {
        // Made by a copy running with other rights: it is there all the same.
        if (error == ERROR_ACCESS_DENIED) return Take::HeldElsewhere;
        m_problem = "the lock " + m_path + " cannot be made";
        return Take::Failed;
    }
    // The mutex lives while any copy holds a handle to it: being there is being held.
    if (error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return Take::HeldElsewhere;
    }
    m_native->mutex = mutex;
    return Take::Held;
}

}  // namespace tw::platform
