#include "platform/message_window.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"

namespace tw::platform {
namespace {

struct Window {
    std::string className;
    std::string name;
    // Shared so a procedure keeps living while it runs even if it replaces itself.
    std::shared_ptr<WindowProcedure> procedure;
};

struct Registry {
    std::mutex mutex;
    WindowHandle nextHandle = 0x100;
    std::map<WindowHandle, Window> windows;
    std::map<std::string, std::uint32_t> messages;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::shared_ptr<WindowProcedure> defaultProcedure() {
    return std::make_shared<WindowProcedure>([](WindowHandle, std::uint32_t, WParam, LParam) { return 0; });
}

}  // namespace

WindowHandle createWindow(const std::string& className, const std::string& windowName) {
    if (!eventLoopAvailable()) return 0;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    WindowHandle handle = r.nextHandle++;
    if (handle == 0) handle = r.nextHandle++;  // a handle is never 0, even after wrapping
    r.windows[handle] = Window{className, windowName, defaultProcedure()};
    return handle;
}

WindowProcedure setWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.windows.find(window);
    if (it == r.windows.end()) return {};
    WindowProcedure previous = *it->second.procedure;
    it->second.procedure = procedure ? std::make_shared<WindowProcedure>(std::move(procedure)) : defaultProcedure();
    return previous;
}

bool destroyWindow(WindowHandle window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.windows.erase(window) != 0;
}

bool windowExists(WindowHandle window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.windows.count(window) != 0;
}

int windowCount() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return static_cast<int>(r.windows.size());
}

std::uint32_t registerWindowMessage(const std::string& name) {
    if (name.empty()) return 0;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.messages.find(name);
    if (it != r.messages.end()) return it->second;
    const std::uint32_t number = 0xC000u + static_cast<std::uint32_t>(r.messages.size());
    if (number > 0xFFFFu) return 0;
    r.messages.emplace(name, number);
    return number;
}

bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (!windowExists(window)) return false;
    // Whether the window still exists is decided again at delivery.
    return postToEventLoop([=] { sendMessage(window, message, wParam, lParam); });
}

std::int32_t sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    std::shared_ptr<WindowProcedure> procedure;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.windows.find(window);
        if (it == r.windows.end()) return 0;
        procedure = it->second.procedure;
    }
    // Called without the lock: the procedure may create, destroy or post.
    return (*procedure)(window, message, wParam, lParam);
}

}  // namespace tw::platform
