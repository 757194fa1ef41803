#include "platform/async_select.h"

#include <unordered_map>

#include "platform/event_loop.h"
#include "platform/win32/winsock_handles_win32.h"
#include "platform/win32/window_handles_win32.h"

namespace tw::platform {
namespace {

// Windows Sockets posts to a relay window of ours, each selection under a message number of
// its own: a notification still queued when its socket is closed or selected anew carries an
// old number and is dropped there, which Windows itself does not promise.
constexpr std::uint32_t kFirstRelayMessage = WM_APP + 0x100;
constexpr std::uint32_t kRelayMessages = 0x3E00;  // up to 0xBFFF, below the registered ones

struct Selection {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uint32_t relayMessage = 0;
};

std::unordered_map<Socket, Selection>& selections() {
    static std::unordered_map<Socket, Selection> instance;
    return instance;
}

std::uint32_t g_nextRelay = 0;

Selection* find(Socket s) {
    auto it = selections().find(s);
    return it == selections().end() ? nullptr : &it->second;
}

std::int32_t relay(WindowHandle, std::uint32_t message, WParam wParam, LParam lParam) {
    const auto s = static_cast<Socket>(wParam);
    const Selection* sel = find(s);
    if (!sel || sel->relayMessage != message) return 0;
    return sendMessage(sel->window, sel->message, wParam, lParam);
}

WindowHandle relayWindow() {
    static WindowHandle window = [] {
        const WindowHandle w = createWindow("STATIC", "Towerwatch.SocketEvents");
        if (w) setWindowProcedure(w, relay);
        return w;
    }();
    return window;
}

}  // namespace

int wsaAsyncSelect(Socket s, WindowHandle window, std::uint32_t message, long events) {
    if (!isSocket(s)) {
        wsaSetLastError(kWsaEnotsock);
        return kSocketError;
    }
    if (message == 0 && events == 0) {
        selections().erase(s);
        if (WSAAsyncSelect(toSocket(s), nullptr, 0, 0) != 0) {
            wsaSetLastError(WSAGetLastError());
            return kSocketError;
        }
        return 0;
    }
    const WindowHandle relayTo = relayWindow();
    if (!relayTo || !eventLoopAvailable()) {
        wsaSetLastError(kWsaSysnotready);
        return kSocketError;
    }
    const std::uint32_t relayMessage = kFirstRelayMessage + (g_nextRelay++ % kRelayMessages);
    if (WSAAsyncSelect(toSocket(s), toHwnd(relayTo), relayMessage, events) != 0) {
        wsaSetLastError(WSAGetLastError());
        return kSocketError;
    }
    selections()[s] = Selection{window, message, relayMessage};
    return 0;
}

bool postSelectEvent(Socket s, int event, int error) {
    const Selection* sel = find(s);
    if (!sel) return false;
    return postMessage(relayWindow(), sel->relayMessage, static_cast<WParam>(s),
                       makeLParam(static_cast<std::uint16_t>(event), static_cast<std::uint16_t>(error)));
}

bool isAsyncSelected(Socket s) { return find(s) != nullptr; }

// Windows re-enables the notifications itself; only the closing matters here.
void asyncSelectForget(Socket s) { selections().erase(s); }

}  // namespace tw::platform
