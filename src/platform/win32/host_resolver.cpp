#include "platform/host_resolver.h"

#include <cstring>
#include <map>
#include <memory>

#include "platform/win32/winsock_handles_win32.h"
#include "platform/win32/window_handles_win32.h"

namespace tw::platform {
namespace {

// Windows Sockets posts each completion to a relay window of ours, which notes the result
// and hands it on to the asking window; a cancelled task's completion stops there.
struct Task {
    HANDLE handle = nullptr;
    WindowHandle window = 0;
    std::uint32_t message = 0;
    bool done = false;
    bool cancelled = false;
    int error = 0;
    // Windows writes the entry here until the completion is posted.
    std::unique_ptr<char[]> buffer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
};

std::map<std::uint32_t, Task>& tasks() {
    static std::map<std::uint32_t, Task> instance;
    return instance;
}

constexpr std::uint32_t kCompletion = WM_APP + 0x80;

std::uint32_t toTask(HANDLE handle) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle)); }

std::int32_t relay(WindowHandle, std::uint32_t message, WParam wParam, LParam lParam) {
    if (message != kCompletion) return 0;
    auto it = tasks().find(wParam);
    if (it == tasks().end()) return 0;
    Task& task = it->second;
    // The buffer is no longer written to: a cancelled task can go now.
    if (task.cancelled || !windowExists(task.window)) {
        tasks().erase(it);
        return 0;
    }
    task.done = true;
    task.error = WSAGETASYNCERROR(lParam);
    return sendMessage(task.window, task.message, wParam, lParam);
}

WindowHandle relayWindow() {
    static WindowHandle window = [] {
        const WindowHandle w = createWindow("STATIC", "Towerwatch.HostLookups");
        if (w) setWindowProcedure(w, relay);
        return w;
    }();
    return window;
}

}  // namespace

std::uint32_t wsaAsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name) {
    if (!wsaStarted()) {
        wsaSetLastError(kWsaNotinitialised);
        return 0;
    }
    const WindowHandle relayTo = relayWindow();
    if (!windowExists(window) || !relayTo) {
        wsaSetLastError(kWsaEinval);
        return 0;
    }
    Task task;
    task.window = window;
    task.message = message;
    task.handle = WSAAsyncGetHostByName(toHwnd(relayTo), kCompletion, name.c_str(), task.buffer.get(), MAXGETHOSTSTRUCT);
    if (!task.handle) {
        wsaSetLastError(WSAGetLastError());
        return 0;
    }
    const std::uint32_t handle = toTask(task.handle);
    tasks()[handle] = std::move(task);
    return handle;
}

std::optional<HostEntry> takeHostEntry(std::uint32_t task) {
    auto it = tasks().find(task);
    if (it == tasks().end() || !it->second.done || it->second.cancelled) return std::nullopt;
    std::optional<HostEntry> entry;
    const auto* host = reinterpret_cast<const hostent*>(it->second.buffer.get());
    if (it->second.error == 0 && host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list &&
        host->h_addr_list[0]) {
        HostEntry e;
        std::memcpy(&e.address, host->h_addr_list[0], sizeof e.address);
        e.officialName = host->h_name ? host->h_name : "";
        entry = e;
    }
    tasks().erase(it);
    return entry;
}

int wsaCancelAsyncRequest(std::uint32_t task) {
    auto it = tasks().find(task);
    if (it == tasks().end() || it->second.cancelled) {
        wsaSetLastError(kWsaEinval);
        return kSocketError;
    }
    // Delivered already: the caller has its completion, or will take it from the queue.
    if (it->second.done) {
        wsaSetLastError(kWsaEalready);
        return kSocketError;
    }
    // Still on its way to the relay window, or still looking: either way nothing reaches
    // the caller now. The entry stays until Windows is done with its buffer.
    WSACancelAsyncRequest(it->second.handle);
    it->second.cancelled = true;
    return 0;
}

int pendingHostTasks() {
    int count = 0;
    for (const auto& [handle, task] : tasks())
        if (!task.cancelled) ++count;
    return count;
}

}  // namespace tw::platform
