#include "platform/winsock.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

#include "platform/async_select.h"

namespace tw::platform {
namespace {

struct SocketInfo {
    bool sendShutDown = false;  // tells our own shutdown from a peer's reset on EPIPE
};

struct Layer {
    std::mutex mutex;
    int startups = 0;
    std::unordered_map<Socket, SocketInfo> sockets;
};

Layer& layer() {
    static Layer instance;
    return instance;
}

thread_local int t_lastError = 0;

int fail(int code) {
    t_lastError = code;
    return kSocketError;
}

int failFromErrno() { return fail(wsaErrorFromErrno(errno)); }

// Common entry check: the layer is started and the handle is one of ours.
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

sockaddr_in toPosix(const SockAddrIn& a) {
    sockaddr_in out{};
    out.sin_family = a.family == kAfInet ? AF_INET : static_cast<sa_family_t>(a.family);
    out.sin_port = a.port;
    out.sin_addr.s_addr = a.address;
    return out;
}

SockAddrIn fromPosix(const sockaddr_in& a) {
    SockAddrIn out;
    out.family = a.sin_family == AF_INET ? kAfInet : static_cast<std::int16_t>(a.sin_family);
    out.port = a.sin_port;
    out.address = a.sin_addr.s_addr;
    return out;
}

// Winsock's option numbers to the POSIX ones; -1 for an option we do not carry.
int posixOption(int level, int option) {
    if (level != kSolSocket) return -1;
    switch (option) {
    case kSoBroadcast: return SO_BROADCAST;
    case kSoRcvBuf: return SO_RCVBUF;
    case kSoType: return SO_TYPE;
    default: return -1;
    }
}

void track(Socket s) {
    std::lock_guard lock(layer().mutex);
    layer().sockets[s] = SocketInfo{};
}

}  // namespace

int wsaErrorFromErrno(int err) {
    switch (err) {
    case 0: return 0;
    case EINTR: return kWsaEintr;
    case EACCES:
    case EPERM: return kWsaEacces;
    case EFAULT: return kWsaEfault;
    case EINVAL: return kWsaEinval;
    case EMFILE:
    case ENFILE: return kWsaEmfile;
#if EAGAIN != EWOULDBLOCK
    case EWOULDBLOCK:
#endif
    case EAGAIN: return kWsaEwouldblock;
    case EINPROGRESS: return kWsaEinprogress;
    case EALREADY: return kWsaEalready;
    case ENOTSOCK:
    case EBADF: return kWsaEnotsock;
    case EDESTADDRREQ: return kWsaEdestaddrreq;
    case EMSGSIZE: return kWsaEmsgsize;
    case EPROTOTYPE: return kWsaEprototype;
    case ENOPROTOOPT: return kWsaEnoprotoopt;
    case EPROTONOSUPPORT: return kWsaEprotonosupport;
    case ESOCKTNOSUPPORT: return kWsaEsocktnosupport;
    case EOPNOTSUPP: return kWsaEopnotsupp;
    case EPFNOSUPPORT: return kWsaEpfnosupport;
    case EAFNOSUPPORT: return kWsaEafnosupport;
    case EADDRINUSE: return kWsaEaddrinuse;
    case EADDRNOTAVAIL: return kWsaEaddrnotavail;
    case ENETDOWN: return kWsaEnetdown;
    case ENETUNREACH: return kWsaEnetunreach;
    case ENETRESET: return kWsaEnetreset;
    case ECONNABORTED: return kWsaEconnaborted;
    case ECONNRESET:
    case EPIPE: return kWsaEconnreset;
    case ENOBUFS:
    case ENOMEM: return kWsaEnobufs;
    case EISCONN: return kWsaEisconn;
    case ENOTCONN: return kWsaEnotconn;
    case ESHUTDOWN: return kWsaEshutdown;
    case ETIMEDOUT: return kWsaEtimedout;
    case ECONNREFUSED: return kWsaEconnrefused;
    case EHOSTDOWN: return kWsaEhostdown;
    case EHOSTUNREACH: return kWsaEhostunreach;
    default: return kWsaSyscallfailure;
    }
}

int wsaGetLastError() { return t_lastError; }
void wsaSetLastError(int code) { t_lastError = code; }

int wsaStartup(std::uint16_t versionRequested, WsaData& data) {
    const int major = versionRequested & 0xFF;
    const int minor = versionRequested >> 8;
    if (major < 1 || (major == 1 && minor < 1)) return kWsaVernotsupported;
    data.version = major >= 2 ? 0x0202 : versionRequested;
    data.highVersion = 0x0202;
    data.maxSockets = 32767;
    data.maxUdpDatagram = 65467;  // the largest IPv4 UDP payload
    data.description = "Towerwatch sockets";
    std::lock_guard lock(layer().mutex);
    ++layer().startups;
    return 0;
}

int wsaCleanup() {
    std::lock_guard lock(layer().mutex);
    if (layer().startups == 0) return fail(kWsaNotinitialised);
    --layer().startups;
    return 0;
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
    if (family != kAfInet) return fail(kWsaEafnosupport);
    int posixType = type == kSockStream ? SOCK_STREAM : type == kSockDgram ? SOCK_DGRAM : -1;
    if (posixType < 0) return fail(kWsaEsocktnosupport);
    if (protocol != 0 && protocol != kIpProtoTcp && protocol != kIpProtoUdp)
        return fail(kWsaEprotonosupport);
    // Close-on-exec: a child process must not hold the program's connections open.
    const int fd = ::socket(AF_INET, posixType | SOCK_CLOEXEC, protocol);
    if (fd < 0) return failFromErrno();
    track(fd);
    return fd;
}

int closesocket(Socket s) {
    if (!usable(s)) return kSocketError;
    asyncSelectForget(s);  // the watch must go before the descriptor number can be reused
    {
        std::lock_guard lock(layer().mutex);
        layer().sockets.erase(s);
    }
    if (::close(s) != 0 && errno != EINTR) return failFromErrno();
    return 0;
}

int connect(Socket s, const SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    const sockaddr_in a = toPosix(address);
    const int result = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    const int err = result == 0 ? 0 : errno;
    if (isAsyncSelected(s) && (result == 0 || err == EINPROGRESS)) {
        asyncConnectStarted(s);
        return fail(kWsaEwouldblock);
    }
    if (result != 0) return fail(wsaErrorFromErrno(err));
    return 0;
}

int bind(Socket s, const SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    const sockaddr_in a = toPosix(address);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) return failFromErrno();
    return 0;
}

int listen(Socket s, int backlog) {
    if (!usable(s)) return kSocketError;
    if (::listen(s, backlog) != 0) return failFromErrno();
    asyncListening(s);
    return 0;
}

Socket accept(Socket s, SockAddrIn* peer) {
    if (!usable(s)) return kInvalidSocket;
    sockaddr_in a{};
    socklen_t length = sizeof a;
    const int fd = ::accept4(s, reinterpret_cast<sockaddr*>(&a), &length, SOCK_CLOEXEC);
    const int err = errno;
    asyncAfterAccept(s);
    if (fd < 0) return fail(wsaErrorFromErrno(err));
    if (peer) *peer = fromPosix(a);
    track(fd);
    return fd;
}

int send(Socket s, const char* bytes, int length, int flags) {
    if (!usable(s)) return kSocketError;
    if (length < 0) return fail(kWsaEinval);
    // MSG_NOSIGNAL: a peer that went away must give an error code, not kill the program.
    const ssize_t n = ::send(s, bytes, static_cast<size_t>(length), (flags & MSG_OOB) | MSG_NOSIGNAL);
    if (n < 0) {
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK) asyncSendWouldBlock(s);
        if (err == EPIPE) {
            std::lock_guard lock(layer().mutex);
            if (layer().sockets[s].sendShutDown) return fail(kWsaEshutdown);
        }
        return fail(wsaErrorFromErrno(err));
    }
    // A short send means the socket's buffer is full: the rest waits for a write
    // notification, which Windows Sockets would give after the next send failed.
    if (n < length) asyncSendWouldBlock(s);
    return static_cast<int>(n);
}

int sendto(Socket s, const char* bytes, int length, int flags, const SockAddrIn& to) {
    if (!usable(s)) return kSocketError;
    if (length < 0) return fail(kWsaEinval);
    const sockaddr_in a = toPosix(to);
    const ssize_t n = ::sendto(s, bytes, static_cast<size_t>(length), (flags & MSG_OOB) | MSG_NOSIGNAL,
                               reinterpret_cast<const sockaddr*>(&a), sizeof a);
    if (n < 0) {
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK) asyncSendWouldBlock(s);
        return fail(wsaErrorFromErrno(err));
    }
    return static_cast<int>(n);
}

int recv(Socket s, char* bytes, int length, int flags) {
    if (!usable(s)) return kSocketError;
    if (length < 0) return fail(kWsaEinval);
    const ssize_t n = ::recv(s, bytes, static_cast<size_t>(length), flags & (MSG_OOB | MSG_PEEK));
    const int err = errno;
    asyncAfterRecv(s);  // a read re-enables the read notification
    if (n < 0) return fail(wsaErrorFromErrno(err));
    return static_cast<int>(n);
}

int recvfrom(Socket s, char* bytes, int length, int flags, SockAddrIn* from) {
    if (!usable(s)) return kSocketError;
    if (length < 0) return fail(kWsaEinval);
    sockaddr_in a{};
    socklen_t alen = sizeof a;
    const ssize_t n = ::recvfrom(s, bytes, static_cast<size_t>(length), flags & (MSG_OOB | MSG_PEEK),
                                 reinterpret_cast<sockaddr*>(&a), &alen);
    const int err = errno;
    asyncAfterRecv(s);
    if (n < 0) return fail(wsaErrorFromErrno(err));
    if (from) *from = fromPosix(a);
    return static_cast<int>(n);
}

int shutdown(Socket s, int how) {
    if (!usable(s)) return kSocketError;
    const int posixHow = how == kSdReceive ? SHUT_RD : how == kSdSend ? SHUT_WR : how == kSdBoth ? SHUT_RDWR : -1;
    if (posixHow < 0) return fail(kWsaEinval);
    if (::shutdown(s, posixHow) != 0) return failFromErrno();
    if (how != kSdReceive) {
        std::lock_guard lock(layer().mutex);
        layer().sockets[s].sendShutDown = true;
    }
    return 0;
}

int getsockname(Socket s, SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) return failFromErrno();
    address = fromPosix(a);
    return 0;
}

int getpeername(Socket s, SockAddrIn& address) {
    if (!usable(s)) return kSocketError;
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (::getpeername(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) return failFromErrno();
    address = fromPosix(a);
    return 0;
}

int getsockopt(Socket s, int level, int option, int& value) {
    if (!usable(s)) return kSocketError;
    const int posix = posixOption(level, option);
    if (posix < 0) return fail(kWsaEnoprotoopt);
    int v = 0;
    socklen_t length = sizeof v;
    if (::getsockopt(s, SOL_SOCKET, posix, &v, &length) != 0) return failFromErrno();
    if (posix == SO_TYPE) v = v == SOCK_STREAM ? kSockStream : v == SOCK_DGRAM ? kSockDgram : v;
    value = v;
    return 0;
}

int setsockopt(Socket s, int level, int option, int value) {
    if (!usable(s)) return kSocketError;
    const int posix = posixOption(level, option);
    if (posix < 0 || posix == SO_TYPE) return fail(kWsaEnoprotoopt);
    if (::setsockopt(s, SOL_SOCKET, posix, &value, sizeof value) != 0) return failFromErrno();
    return 0;
}

std::uint32_t inet_addr(const std::string& dotted) {
    in_addr a{};
    // inet_pton takes exactly four decimal parts, which is the dotted form the program means.
    if (dotted.find('\0') != std::string::npos || ::inet_pton(AF_INET, dotted.c_str(), &a) != 1)
        return kInaddrNone;
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
    // Reverse lookups through DNS can take seconds; the hosts file answers at once.
    std::ifstream hosts("/etc/hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string address, name;
        if (words >> address >> name && inet_addr(address) == networkOrderAddress &&
            address.find(':') == std::string::npos)
            return name;
    }
    return std::nullopt;
}

}  // namespace tw::platform
