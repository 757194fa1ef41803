#include "scripted_peer.h"

#define WIN32_LEAN_AND_MEAN
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <utility>

namespace tw::testing {

// Restarted from its own expiry, so it answers on every turn of the event loop.
struct ScriptedPeer::PollTimer {
    explicit PollTimer(ScriptedPeer& peer)
        : timer([this, &peer] {
              peer.poll();
              timer.start(1);
          }) {
        timer.start(1);
    }
    platform::OneShotTimer timer;
};

namespace {

SOCKET handle(std::intptr_t socket) { return static_cast<SOCKET>(socket); }

bool wouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }

void makeNonBlocking(SOCKET s) {
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
}

}  // namespace

ScriptedPeer::ScriptedPeer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    if (s != INVALID_SOCKET && ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0 && ::listen(s, 8) == 0) {
        makeNonBlocking(s);
        m_listener = static_cast<Socket>(s);
        m_port = ntohs(a.sin_port);
    } else if (s != INVALID_SOCKET) {
        ::closesocket(s);
    }
    m_pollTimer = std::make_unique<PollTimer>(*this);
}

ScriptedPeer::~ScriptedPeer() {
    m_pollTimer.reset();
    for (Connection& c : m_connections)
        if (c.fd >= 0) ::closesocket(handle(c.fd));
    if (m_listener >= 0) ::closesocket(handle(m_listener));
    WSACleanup();
}

void ScriptedPeer::readFrom(Connection& c) {
    char buffer[4096];
    for (;;) {
        const int n = ::recv(handle(c.fd), buffer, sizeof buffer, 0);
        if (n > 0) {
            const bool wasComplete = c.received.find("\r\n\r\n") != std::string::npos;
            c.received.append(buffer, static_cast<std::size_t>(n));
            if (!wasComplete && c.received.find("\r\n\r\n") != std::string::npos) m_requests.push_back(c.received);
            continue;
        }
        // An orderly close, or a reset from a client that closed with bytes unread.
        if (n == 0 || !wouldBlock()) c.clientDone = true;
        return;
    }
}

void ScriptedPeer::poll() {
    if (m_listener < 0) return;
    for (;;) {
        const SOCKET s = ::accept(handle(m_listener), nullptr, nullptr);
        if (s == INVALID_SOCKET) break;
        // An accepted socket inherits the listener's mode, but say it anyway.
        makeNonBlocking(s);
        ++m_accepted;
        Connection c;
        c.fd = static_cast<Socket>(s);
        m_connections.push_back(std::move(c));
    }
    for (Connection& c : m_connections) {
        if (c.fd < 0) continue;
        readFrom(c);
        if (m_responder && !c.answered && c.received.find("\r\n\r\n") != std::string::npos) {
            c.answered = true;
            const std::string reply = m_responder(c.received);
            ::send(handle(c.fd), reply.data(), static_cast<int>(reply.size()), 0);
            ::shutdown(handle(c.fd), SD_SEND);
        }
    }
}

bool ScriptedPeer::send(const std::string& bytes) {
    poll();
    if (m_connections.empty()) return false;
    // A large piece does not fit the socket's buffer at once: let the client read meanwhile.
    std::size_t sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sent < bytes.size() && std::chrono::steady_clock::now() < deadline) {
        const int n = ::send(handle(m_connections.back().fd), bytes.data() + sent,
                             static_cast<int>(bytes.size() - sent), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && !wouldBlock()) {
            return false;
        } else {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    return sent == bytes.size();
}

void ScriptedPeer::closeConnection() {
    if (m_connections.empty() || m_connections.back().fd < 0) return;
    ::closesocket(handle(m_connections.back().fd));
    m_connections.back().fd = -1;
}

// Windows has no count of the bytes the peer still has unacknowledged (SIOCOUTQ): only the
// client's unread bytes are seen, so the tests that depend on this stay on Linux.
bool ScriptedPeer::readBy(int clientFd) {
    if (m_connections.empty() || m_connections.back().fd < 0 || clientFd < 0) return false;
    u_long unread = 0;
    return ::ioctlsocket(static_cast<SOCKET>(clientFd), FIONREAD, &unread) == 0 && unread == 0;
}

}  // namespace tw::testing
