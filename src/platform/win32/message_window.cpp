#include "platform/message_window.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"
#include "platform/win32/window_handles_win32.h"

namespace tw::platform {
namespace {

struct Window {
    WNDPROC original = nullptr;
    // Shared so a procedure keeps living while it runs even if it replaces itself.
    std::shared_ptr<WindowProcedure> procedure;
};

struct Registry {
    std::mutex mutex;
    std::map<HWND, Window> windows;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::shared_ptr<WindowProcedure> defaultProcedure() {
    return std::make_shared<WindowProcedure>([](WindowHandle, std::uint32_t, WParam, LParam) { return 0; });
}

LRESULT CALLBACK dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<WindowProcedure> procedure;
    WNDPROC original = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.windows.find(hwnd);
        if (it != r.windows.end()) {
            procedure = it->second.procedure;
            original = it->second.original;
        }
    }
    // The system's own messages (creation, destruction, sizing) stay with the class's
    // procedure; the program's procedures only see the program's messages.
    if (message < WM_USER || !procedure)
        return original ? CallWindowProcA(original, hwnd, message, wParam, lParam)
                        : DefWindowProcA(hwnd, message, wParam, lParam);
    // Called without the lock: the procedure may create, destroy or post.
    return (*procedure)(toWindowHandle(hwnd), message, static_cast<WParam>(wParam), static_cast<LParam>(lParam));
}

std::shared_ptr<WindowProcedure> procedureOf(WindowHandle window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.windows.find(toHwnd(window));
    return it == r.windows.end() ? nullptr : it->second.procedure;
}

}  // namespace

WindowHandle createWindow(const std::string& className, const std::string& windowName) {
    if (!eventLoopAvailable()) return 0;
    // Hidden (no WS_VISIBLE) and top-level, so broadcasts and the message loop reach it.
    HWND hwnd = CreateWindowExA(0, className.c_str(), windowName.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return 0;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.windows[hwnd] = Window{nullptr, defaultProcedure()};
    }
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&dispatch)));
    std::lock_guard lock(registry().mutex);
    registry().windows[hwnd].original = original;
    return toWindowHandle(hwnd);
}

WindowProcedure setWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.windows.find(toHwnd(window));
    if (it == r.windows.end()) return {};
    WindowProcedure previous = *it->second.procedure;
    it->second.procedure = procedure ? std::make_shared<WindowProcedure>(std::move(procedure)) : defaultProcedure();
    return previous;
}

bool destroyWindow(WindowHandle window) {
    HWND hwnd = toHwnd(window);
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        if (r.windows.count(hwnd) == 0) return false;
    }
    // Windows drops the messages still queued for it.
    const bool destroyed = DestroyWindow(hwnd) != 0;
    std::lock_guard lock(registry().mutex);
    registry().windows.erase(hwnd);
    return destroyed;
}

bool windowExists(WindowHandle window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.windows.count(toHwnd(window)) != 0;
}

int windowCount() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return static_cast<int>(r.windows.size());
}

std::uint32_t registerWindowMessage(const std::string& name) {
    if (name.empty()) return 0;
    return RegisterWindowMessageA(name.c_str());
}

bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (!windowExists(window)) return false;
    return PostMessageA(toHwnd(window), message, wParam, lParam) != 0;
}

std::int32_t sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (!procedureOf(window)) return 0;
    return static_cast<std::int32_t>(SendMessageA(toHwnd(window), message, wParam, lParam));
}

}  // namespace tw::platform
