#include "platform/instance.h"

#include <windows.h>

#include <chrono>

namespace tw::platform {
namespace {

constexpr const char* kWindowClass = "TowerwatchInstance";
constexpr const char* kShowMessageName = "Towerwatch.ShowYourself";
// The message's wParam: 0 asks the copy to show itself (a later copy), 1 to end (the installer).
constexpr WPARAM kEndRequest = 1;
constexpr auto kFindFor = std::chrono::milliseconds(1000);
constexpr DWORD kFindStepMilliseconds = 20;

UINT showMessage() {
    static const UINT message = ::RegisterWindowMessageA(kShowMessageName);
    return message;
}

LRESULT CALLBACK instanceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == showMessage() && message != 0) {
        auto* instance = reinterpret_cast<SingleInstance*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!instance) return 0;
        if (wParam == kEndRequest) {
            if (instance->onEndRequested) instance->onEndRequested();
        } else if (instance->onShowRequested) {
            instance->onShowRequested({});
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

bool registerWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = instanceWindowProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// Asks the running copy's window to show itself; it may still be starting, so it is looked
// for a little while.
bool askToShow(const std::string& windowName) {
    const auto deadline = std::chrono::steady_clock::now() + kFindFor;
    for (;;) {
        if (const HWND window = ::FindWindowExA(HWND_MESSAGE, nullptr, kWindowClass, windowName.c_str())) {
            // The copy the user just started may come to the foreground; it lends that right to
            // the running copy, whose window would otherwise only flash on the taskbar.
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process != 0) ::AllowSetForegroundWindow(process);
            return showMessage() != 0 && ::PostMessageA(window, showMessage(), 0, 0);
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::Sleep(kFindStepMilliseconds);
    }
}

}  // namespace

struct NativeInstance {
    std::unique_ptr<InstanceLock> lock;
    HWND window = nullptr;
    ~NativeInstance() {
        if (window) ::DestroyWindow(window);
    }
};

// The lock is a mutex named after the instance, the "socket" the message window of that name.
SingleInstance::SingleInstance(const std::string& name, InstanceFolder folder)
    : m_lockPath(name), m_socketPath(name), m_problem(std::move(folder.problem)),
      m_native(std::make_unique<NativeInstance>()) {}

SingleInstance::~SingleInstance() {
    // The window goes while the lock is still held.
    std::unique_ptr<InstanceLock> lock = std::move(m_native->lock);
    m_native.reset();
}

SingleInstance::Claim SingleInstance::claim(const std::string& /*activationToken: Wayland's*/) {
    if (m_lockPath.empty()) return Claim::Unguarded;
    m_native->lock = std::make_unique<InstanceLock>(m_lockPath);
    switch (m_native->lock->take()) {
    case InstanceLock::Take::Failed:
        m_problem = m_native->lock->problem();
        return Claim::Unguarded;
    case InstanceLock::Take::HeldElsewhere:
        askToShow(m_socketPath);
        return Claim::AnotherRuns;
    case InstanceLock::Take::Held: break;
    }
    acceptRequests();
    return Claim::OnlyCopy;
}

void SingleInstance::acceptRequests() {
    if (!registerWindowClass() || showMessage() == 0) return;
    const HWND window = ::CreateWindowExA(0, kWindowClass, m_socketPath.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr);
    if (!window) return;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A copy started without elevation may still reach an elevated one.
    ::ChangeWindowMessageFilterEx(window, showMessage(), MSGFLT_ALLOW, nullptr);
    m_native->window = window;
}

}  // namespace tw::platform
