#include "platform/instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "platform/event_loop.h"

namespace tw::platform {
namespace {

constexpr int kConnectMilliseconds = 1000;
// "show" alone, or "show " and the activation token, on one line.
constexpr std::string_view kShowRequest = "show";
constexpr std::size_t kMaxRequestBytes = kShowRequest.size() + 1 + SingleInstance::kMaxActivationTokenBytes + 1;
constexpr int kBacklog = 50;

bool socketAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

// Waits for the descriptor to be ready for `events` until the deadline; false when it passed.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

// Tokens are opaque to us; what goes on the line must not be able to end or split it.
bool plainToken(std::string_view token) {
    if (token.empty() || token.size() > SingleInstance::kMaxActivationTokenBytes) return false;
    for (const char c : token)
        if (c < '!' || c > '~') return false;
    return true;
}

std::string showRequest(const std::string& activationToken) {
    std::string request(kShowRequest);
    if (plainToken(activationToken)) request += " " + activationToken;
    return request + "\n";
}

// The token of a show request line (without its line end); nullopt when it is not one.
std::optional<std::string> tokenOfShowRequest(std::string_view line) {
    if (line.substr(0, kShowRequest.size()) != kShowRequest) return std::nullopt;
    line.remove_prefix(kShowRequest.size());
    if (line.empty()) return std::string();
    if (line.front() != ' ') return std::nullopt;
    line.remove_prefix(1);
    // A copy of ours sends no other token; a broken one still gets the window shown.
    return plainToken(line) ? std::string(line) : std::string();
}

// Asks the copy listening at the path to show itself; false when nobody answers in time.
bool askToShow(const std::string& socketPath, const std::string& activationToken) {
    sockaddr_un address;
    if (!socketAddress(socketPath, address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectMilliseconds);
    bool connected = false;
    // A full backlog refuses for now (EAGAIN); a copy that is starting may not listen yet.
    while (!connected) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EISCONN) {
            connected = true;
        } else if (errno == EINPROGRESS) {
            connected = waitFor(fd, POLLOUT, deadline);
            break;
        } else if (errno != EAGAIN && errno != EINTR) {
            break;
        } else if (std::chrono::steady_clock::now() >= deadline) {
            break;
        } else {
            ::poll(nullptr, 0, 10);
        }
    }
    bool sent = false;
    if (connected) {
        const std::string request = showRequest(activationToken);
        std::string_view rest = request;
        while (!rest.empty()) {
            const ssize_t n = ::send(fd, rest.data(), rest.size(), MSG_NOSIGNAL);
            if (n > 0) rest.remove_prefix(static_cast<std::size_t>(n));
            else if (n < 0 && (errno == EAGAIN || errno == EINTR) && waitFor(fd, POLLOUT, deadline)) continue;
            else break;
        }
        sent = rest.empty();
    }
    ::close(fd);
    return sent;
}

}  // namespace

// A later copy's connection: what it sent so far.
struct RequestPeer {
    int fd = -1;
    std::unique_ptr<SocketWatch> watch;
    std::string received;
};

struct NativeInstance {
    std::unique_ptr<InstanceLock> lock;
    int listenFd = -1;
    std::unique_ptr<SocketWatch> listening;
    std::map<int, RequestPeer> peers;
    // Stands for this object in tasks posted to the event loop, which may run after it is gone.
    std::shared_ptr<NativeInstance*> self = std::make_shared<NativeInstance*>(this);

    // A peer is let go from the event loop: its watch may be the one calling now.
    void dropLater(int fd) {
        peers.at(fd).watch->setReadEnabled(false);
        postToEventLoop([weak = std::weak_ptr<NativeInstance*>(self), fd] {
            if (const auto alive = weak.lock()) (*alive)->close(fd);
        });
    }
    void close(int fd) {
        const auto it = peers.find(fd);
        if (it == peers.end()) return;
        it->second.watch.reset();
        ::close(fd);
        peers.erase(it);
    }
    ~NativeInstance() {
        while (!peers.empty()) close(peers.begin()->first);
        listening.reset();
        if (listenFd >= 0) ::close(listenFd);
    }
};

SingleInstance::SingleInstance(const std::string& name, InstanceFolder folder)
    : m_lockPath(folder.path.empty() ? std::string() : folder.path + "/" + name + ".lock"),
      m_socketPath(folder.path.empty() ? std::string() : folder.path + "/" + name),
      m_problem(std::move(folder.problem)),
      m_native(std::make_unique<NativeInstance>()) {}

SingleInstance::~SingleInstance() {
    // The socket file goes while the lock is still held.
    if (m_native->listenFd >= 0) ::unlink(m_socketPath.c_str());
    std::unique_ptr<InstanceLock> lock = std::move(m_native->lock);
    m_native.reset();
}

SingleInstance::Claim SingleInstance::claim(const std::string& activationToken) {
    if (m_lockPath.empty()) return Claim::Unguarded;
    m_native->lock = std::make_unique<InstanceLock>(m_lockPath);
    switch (m_native->lock->take()) {
    case InstanceLock::Take::Failed:
        m_problem = m_native->lock->problem();
        return Claim::Unguarded;
    case InstanceLock::Take::HeldElsewhere:
        // The running copy may still be starting and not listen yet; this one ends all the same.
        askToShow(m_socketPath, activationToken);
        return Claim::AnotherRuns;
    case InstanceLock::Take::Held: break;
    }
    acceptRequests();
    return Claim::OnlyCopy;
}

void SingleInstance::acceptRequests() {
    // Holding the lock, any socket file there is a killed copy's.
    ::unlink(m_socketPath.c_str());
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(m_socketPath.c_str(), S_IRWXU) != 0 || ::listen(fd, kBacklog) != 0) {
        ::close(fd);
        return;
    }
    NativeInstance& native = *m_native;
    native.listenFd = fd;
    native.listening = std::make_unique<SocketWatch>(fd, [this, &native] {
        for (;;) {
            const int peerFd = ::accept4(native.listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (peerFd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return;
            }
            RequestPeer& peer = native.peers[peerFd];
            peer.fd = peerFd;
            peer.watch = std::make_unique<SocketWatch>(peerFd, [this, &native, peerFd] {
                RequestPeer& from = native.peers.at(peerFd);
                char buffer[256];
                const ssize_t n = ::recv(peerFd, buffer, sizeof buffer, 0);
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
                if (n <= 0) return native.dropLater(peerFd);  // gone, or broken
                from.received.append(buffer, static_cast<std::size_t>(n));
                // A request is one short line; anything longer is not one of ours.
                if (from.received.size() > kMaxRequestBytes) return native.dropLater(peerFd);
                const std::size_t end = from.received.find('\n');
                if (end == std::string::npos) return;
                const std::optional<std::string> token = tokenOfShowRequest(std::string_view(from.received).substr(0, end));
                native.dropLater(peerFd);
                if (token && onShowRequested) onShowRequested(*token);
            }, [] {});
            peer.watch->setReadEnabled(true);
        }
    }, [] {});
    native.listening->setReadEnabled(true);
}

}  // namespace tw::platform
