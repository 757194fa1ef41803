#include "net/socket_support.h"

#include <map>
#include <unordered_map>

#include "platform/async_select.h"
#include "platform/host_resolver.h"
#include "platform/program_name.h"

namespace tw::MSocketSupport {
namespace {

using platform::Socket;

constexpr long kAllEvents = platform::kFdRead | platform::kFdWrite | platform::kFdAccept |
                            platform::kFdConnect | platform::kFdClose;  // 59

struct Service {
    platform::WindowHandle window = 0;
    std::uint32_t socketMessage = 0;
    std::unordered_map<Socket, SocketEventSink*> sockets;
    // Each request is its own entry, keyed by task handle; the resolved entry itself waits
    // in the resolver under the same handle, so two requests never share a buffer.
    std::map<std::uint32_t, SocketEventSink*> resolutions;
    platform::WindowProcedure previousProcedure;
    bool started = false;
    std::int32_t maxDatagram = 0;
    std::uint32_t resolveMessage = 0;
    int liveObjects = 0;
    RuntimeError lastError{0, "", ""};
};

Service& service() {
    static Service instance;
    return instance;
}

void setLastError(std::int32_t number, const std::string& description, const std::string& source) {
    service().lastError = RuntimeError(number, description, source);
}

void cancelResolution(std::map<std::uint32_t, SocketEventSink*>::iterator it) {
    platform::wsaCancelAsyncRequest(it->first);
    service().resolutions.erase(it);
}

void cancelResolutionsOf(SocketEventSink* owner) {
    auto& r = service().resolutions;
    for (auto it = r.begin(); it != r.end();) {
        auto next = std::next(it);
        if (!owner || it->second == owner) cancelResolution(it);
        it = next;
    }
}

platform::WindowHandle createNotificationWindow() {
    const platform::WindowHandle window = platform::createWindow("STATIC", "SOCKET_WINDOW");
    if (window != 0) service().previousProcedure = platform::setWindowProcedure(window, WindowProc);
    return window;
}

void destroyNotificationWindow() {
    Service& s = service();
    // Completions can only reach the window; with it gone they are dropped here.
    cancelResolutionsOf(nullptr);
    platform::setWindowProcedure(s.window, s.previousProcedure);
    platform::destroyWindow(s.window);
    s.previousProcedure = nullptr;
    s.window = 0;
}

void deliverResolution(std::uint32_t task, std::uint16_t error) {
    Service& s = service();
    // Taking the entry frees it, whether or not anybody still waits for it.
    std::optional<platform::HostEntry> entry = platform::takeHostEntry(task);
    auto it = s.resolutions.find(task);
    if (it == s.resolutions.end()) return;
    SocketEventSink* owner = it->second;
    s.resolutions.erase(it);
    if (error != 0 || !entry)
        owner->PostGetHostEvent(0, 0, "", error != 0 ? std::int32_t{error} : std::int32_t{platform::kWsaNoRecovery});
    else
        owner->PostGetHostEvent(task, entry->address, entry->officialName, 0);
}

}  // namespace

std::int32_t InitWinsockService() {
    Service& s = service();
    if (!s.started) {
        platform::WsaData data;
        const int result = platform::wsaStartup(0x0101, data);
        if (result != 0) {
            std::string description;
            if (result == 10022)
                description = "The Windows Sockets version specified by the application is not supported by this DLL.";
            else if (result == 10091)
                description = "The underlying network subsystem is not ready for network communication.";
            else if (result == 10092)
                description = "The version of Windows Sockets API support requested is not provided by this "
                              "particular Windows Sockets implementation.";
            throw RuntimeError(result, description, "MSocketSupport.InitWinsockService");
        }
        s.started = true;
        s.maxDatagram = data.maxUdpDatagram;
        // The registered message names carry the executable's name, so two programs on one
        // desktop never share a message number.
        const std::string name = platform::programBaseName();
        s.resolveMessage = platform::registerWindowMessage(name + ".ResolveMessage");
        s.socketMessage = platform::registerWindowMessage(name + ".WinsockMessage");
    }
    ++s.liveObjects;
    return s.maxDatagram;
}

void CleanupWinsock() {
    Service& s = service();
    if (s.liveObjects > 0) --s.liveObjects;
    // Other live objects still need the service even when none has a socket right now.
    if (s.liveObjects == 0 && s.sockets.empty() && s.started) {
        platform::wsaCleanup();
        s.started = false;
    }
}

bool RegisterSocket(Socket socket, SocketEventSink* owner) {
    Service& s = service();
    if (s.window == 0) s.window = createNotificationWindow();
    if (s.window == 0) {
        setLastError(10004, "The operation was canceled.", "MSocketSupport.RegisterSocket");
        return false;
    }
    s.sockets[socket] = owner;
    if (platform::wsaAsyncSelect(socket, s.window, s.socketMessage, kAllEvents) == platform::kSocketError) {
        const int code = platform::wsaGetLastError();
        setLastError(code, GetErrorDescription(code), "MSocketSupport.RegisterSocket");
        return false;
    }
    return true;
}

bool UnregisterSocket(Socket socket) {
    Service& s = service();
    if (s.sockets.empty() || socket == platform::kInvalidSocket) return false;
    platform::wsaAsyncSelect(socket, 0, 0, 0);
    auto it = s.sockets.find(socket);
    if (it != s.sockets.end()) {
        // A resolution must not outlive the socket it was meant for.
        cancelResolutionsOf(it->second);
        s.sockets.erase(it);
    }
    if (s.sockets.empty()) destroyNotificationWindow();
    return true;
}

std::uint32_t ResolveHost(const std::string& hostName, SocketEventSink* owner) {
    Service& s = service();
    cancelResolutionsOf(owner);
    const std::uint32_t task = platform::wsaAsyncGetHostByName(s.window, s.resolveMessage, hostName);
    if (task == 0) {
        const int code = platform::wsaGetLastError();
        setLastError(code, GetErrorDescription(code), "MSocketSupport.ResolveHost");
        return 0;
    }
    s.resolutions[task] = owner;
    return task;
}

void ForgetOwner(SocketEventSink* owner) {
    if (owner) cancelResolutionsOf(owner);
}

bool PostWriteNotification(Socket socket) {
    return platform::postSelectEvent(socket, platform::kFdWrite, 0);
}

std::int32_t WindowProc(platform::WindowHandle, std::uint32_t message, platform::WParam wParam,
                        platform::LParam lParam) {
    Service& s = service();
    try {
        if (message == s.socketMessage && message != 0) {
            auto it = s.sockets.find(static_cast<Socket>(wParam));
            if (it != s.sockets.end()) it->second->PostSocketEvent(LoWord(lParam), HiWord(lParam));
        } else if (message == s.resolveMessage && message != 0) {
            deliverResolution(wParam, HiWord(lParam));
        }
    } catch (...) {
        // Errors out of a socket object's event handlers end here, unseen, by design.
    }
    return 0;
}

RuntimeError LastError() { return service().lastError; }

std::int32_t UnsignedToLong(std::int16_t value) { return value < 0 ? value + 65536 : value; }

std::int16_t LongToUnsigned(std::int32_t value) {
    if (value < 0 || value > 65535) throw RuntimeError(kErrOverflow);
    return static_cast<std::int16_t>(value > 32767 ? value - 65536 : value);
}

std::uint16_t LoWord(std::int32_t value) { return platform::lowWord(value); }
std::uint16_t HiWord(std::int32_t value) { return platform::highWord(value); }

bool IsStarted() { return service().started; }
platform::WindowHandle NotificationWindow() { return service().window; }
int RegisteredSockets() { return static_cast<int>(service().sockets.size()); }
int PendingResolutions() { return static_cast<int>(service().resolutions.size()); }

}  // namespace tw::MSocketSupport
