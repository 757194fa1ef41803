#include "platform/winsock.h"

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_set>

#include "platform/async_select.h"
#include "platform/win32/winsock_handles_win32.h"

namespace tw::platform {
namespace {

// Only the sockets made here are the program's: another handle value is refused before
// it reaches Windows, as the interface promises.
struct Layer {
    std::mutex mutex;
    int startups = 0;
    std::unordered_set<Socket> sockets;
};

Layer& layer() {
    static Layer instance;
    return instance;
}

// Kept apart from the thread's last error, which any later Windows call may overwrite.
thread_local int t_lastError = 0;

int fail(int code) {
    t_lastError = code;
    WSASetLastError(code);
    return kSocketError;
}

int failFromWindows() { return fail(WSAGetLastError()); }

int result(int r) { return r == SOCKET_ERROR ? failFromWindows() : r; }

bool usable(Socket s) {
    Layer& l = layer();
    std::lock_guard lock(l.mutex);
    if (l.startups == 0) {
        t_lastError = kWsaNotinitialised;
        return false;
    }
    if (l.sockets.count(s) == 0) {
        t_lastError = kWsaEnotsock;
        return false;
    }
    return true;
}

sockaddr_in toWindows(const SockAddrIn& a) {
    sockaddr_in out{};
    out.sin_family = static_cast<ADDRESS_FAMILY>(a.family);
    out.sin_port = a.port;
    out.sin_addr.s_addr = a.address;
    return out;
}

SockAddrIn fromWindows(const sockaddr_in& a) {
    SockAddrIn out;
    out.family = static_cast<std::int16_t>(a.sin_family);
    out.port = a.sin_port;
    out.address = a.sin_addr.s_addr;
    return out;
}

bool carriedOption(int level, int option) {
    return level == kSolSocket && (option == kSoBroadcast || option == kSoRcvBuf || option == kSoType);
}

Socket track(SOCKET s) {
    const Socket handle = fromSocket(s);
    std::lock_guard lock(layer().mutex);
    layer().sockets.insert(handle);
    return handle;
}

}  // namespace

int wsaGetLastError() { return t_lastError; }
void wsaSetLastError(int code) {
    t_lastError = code;
    WSASetLastError(code);
}

int wsaStartup(std::uint16_t versionRequested, WsaData& data) {
    const int major = versionRequested & 0xFF;
    const int minor = versionRequested >> 8;
    // Windows would still hand out 1.0; the program never works below 1.1.
    if (major < 1 || (major == 1 && minor < 1)) return kWsaVernotsupported;
    WSADATA wsa{};
    const int error = WSAStartup(versionRequested, &wsa);
    if (error != 0) return error;
    data.version = wsa.wVersion;
    data.highVersion = wsa.wHighVersion;
    data.maxSockets = wsa.iMaxSockets;
    data.maxUdpDatagram = wsa.iMaxUdpDg;
    data.description = wsa.szDescription;
    std::lock_guard lock(layer().mutex);
    ++layer().startups;
    return 0;
}

int wsaCleanup() {
    {
        std::lock_guard lock(layer().mutex);
        if (layer().startups == 0) return fail(kWsaNotinitialised);
        --layer().startups;
    }
    return result(WSACleanup());
}

bool wsaStarted() {
    std::lock_guard lock(layer().mutex);
    return layer().startups > 0;
}

bool isSocket(Socket s) {
    std::lock_guard lock(layer().mutex);
    return layer().sockets.count(s) != 0;
}

Socket socket(int family, int type, int protocol) {
    if (!wsaStarted()) return fail(kWsaNotinitialised);
    const SOCKET s = ::socket(family, type, protocol);
    if (s == INVALID_SOCKET) return failFromWindows();
    // A child process must not hold the program's connections open.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return track(s);
}

int closesocket(Socket s) {
    if (!usable(s)) return kSocketError;
    asyncSelectForget(s);
    {
        std::lock_guard lock(layer().mutex);
        layer().sockets.erase(s);
    }
    return result(::closesocket(toSocket(s)));
}

int connect(Socket s, const SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    const sockaddr_in a = toWindows(address);
    return result(::connect(toSocket(s), reinterpret_cast<const sockaddr*>(&a), sizeof a));
}

int bind(Socket s, const SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    const sockaddr_in a = toWindows(address);
    return result(::bind(toSocket(s), reinterpret_cast<const sockaddr*>(&a), sizeof a));
}

int listen(Socket s, int backlog) {
    if (!usable(s)) return kSocketError;
    return result(::listen(toSocket(s), backlog));
}

Socket accept(Socket s, SockAddrIn* peer) {
    if (!usable(s)) return kInvalidSocket;
    sockaddr_in a{};
    int length = sizeof a;
    const SOCKET accepted = ::accept(toSocket(s), reinterpret_cast<sockaddr*>(&a), &length);
    if (accepted == INVALID_SOCKET) return failFromWindows();
    SetHandleInformation(reinterpret_cast<HANDLE>(accepted), HANDLE_FLAG_INHERIT, 0);
    if (peer) *peer = fromWindows(a);
    return track(accepted);
}

int send(Socket s, const char* bytes, int length, int flags) {
    if (!usable(s)) return kSocketError;
    // A short send does not re-enable the write notification, only a send that would block
    // does: the rest is offered until the socket says so, and the caller hears of it later.
    int total = 0;
    while (total < length) {
        const int n = ::send(toSocket(s), bytes + total, length - total, flags);
        if (n == SOCKET_ERROR) {
            if (total > 0 && WSAGetLastError() == WSAEWOULDBLOCK) break;
            return failFromWindows();
        }
        if (n == 0) break;
        total += n;
    }
    return total;
}

int sendto(Socket s, const char* bytes, int length, int flags, const SockAddrIn& to) {
    if (!usable(s)) return kSocketError;
    const sockaddr_in a = toWindows(to);
    return result(::sendto(toSocket(s), bytes, length, flags, reinterpret_cast<const sockaddr*>(&a), sizeof a));
}

int recv(Socket s, char* bytes, int length, int flags) {
    if (!usable(s)) return kSocketError;
    return result(::recv(toSocket(s), bytes, length, flags));
}

int recvfrom(Socket s, char* bytes, int length, int flags, SockAddrIn* from) {
    if (!usable(s)) return kSocketError;
    sockaddr_in a{};
    int alen = sizeof a;
    const int n = ::recvfrom(toSocket(s), bytes, length, flags, reinterpret_cast<sockaddr*>(&a), &alen);
    if (n == SOCKET_ERROR) return failFromWindows();
    if (from) *from = fromWindows(a);
    return n;
}

int shutdown(Socket s, int how) {
    if (!usable(s)) return kSocketError;
    return result(::shutdown(toSocket(s), how));
}

int getsockname(Socket s, SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    sockaddr_in a{};
    int length = sizeof a;
    if (::getsockname(toSocket(s), reinterpret_cast<sockaddr*>(&a), &length) != 0) return failFromWindows();
    address = fromWindows(a);
    return 0;
}

int getpeername(Socket s, SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    sockaddr_in a{};
    int length = sizeof a;
    if (::getpeername(toSocket(s), reinterpret_cast<sockaddr*>(&a), &length) != 0) return failFromWindows();
    address = fromWindows(a);
    return 0;
}

int getsockopt(Socket s, int level, int option, int& value) {
    if (!usable(s)) return kSocketError;
    if (!carriedOption(level, option)) return fail(kWsaEnoprotoopt);
    int v = 0;
    int length = sizeof v;
    if (::getsockopt(toSocket(s), level, option, reinterpret_cast<char*>(&v), &length) != 0) return failFromWindows();
    value = v;
    return 0;
}

int setsockopt(Socket s, int level, int option, int value) {
    if (!usable(s)) return kSocketError;
    if (!carriedOption(level, option) || option == kSoType) return fail(kWsaEnoprotoopt);
    return result(::setsockopt(toSocket(s), level, option, reinterpret_cast<const char*>(&value), sizeof value));
}

std::uint32_t inet_addr(const std::string& dotted) {
    // Windows' inet_addr also takes "1.2.3" and hex parts; inet_pton takes exactly the four
    // decimal parts the program means.
    in_addr a{};
    if (dotted.find('\0') != std::string::npos || ::inet_pton(AF_INET, dotted.c_str(), &a) != 1) return kInaddrNone;
    return a.s_addr;
}

std::string inet_ntoa(std::uint32_t networkOrderAddress) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = networkOrderAddress;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

std::uint16_t wsaHtons(std::uint16_t value) { return htons(value); }
std::uint16_t wsaNtohs(std::uint16_t value) { return ntohs(value); }

std::optional<std::string> gethostbyaddr(std::uint32_t networkOrderAddress) {
    // gethostbyaddr may wait on a DNS server for seconds; the hosts file answers at once.
    char systemRoot[MAX_PATH] = {};
    if (GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH) == 0) return std::nullopt;
    std::ifstream hosts(std::string(systemRoot) + "\\System32\\drivers\\etc\\hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string address, name;
        if (words >> address >> name && inet_addr(address) == networkOrderAddress) return name;
    }
    return std::nullopt;
}

}  // namespace tw::platform
