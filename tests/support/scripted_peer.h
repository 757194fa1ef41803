#pragma once
// Test support for the download tests: a scripted HTTP peer on a loopback port and the
// bundled herald simulator as a child process. The peer lives on the test's own
// thread: it is polled from the event loop (a short timer), so the test decides exactly which bytes arrive
// in which piece and when the connection ends. scripted_peer.cpp (POSIX, with the TLS end and
// the simulator), scripted_peer_win32.cpp (Winsock, the peer alone), scripted_peer_shared.cpp.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "event_loop_wait.h"

class QProcess;
struct ssl_ctx_st;
struct ssl_st;

namespace tw::testing {

class ScriptedPeer {
public:
    // Answers a complete request with the returned bytes and closes; unset, the test sends.
    using Responder = std::function<std::string(const std::string& request)>;

    ScriptedPeer();
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int port() const { return m_port; }
    std::string hostPort() const { return "127.0.0.1:" + std::to_string(m_port); }
    void respondWith(Responder responder) { m_responder = std::move(responder); }

    // Accepts waiting connections and reads what they sent; call from runUntil predicates.
    void poll();
    // Every complete request received so far, in order.
    const std::vector<std::string>& requests() {
        poll();
        return m_requests;
    }
    int connectionsAccepted() {
        poll();
        return m_accepted;
    }
    // Waits (running the event loop) until `count` complete requests have arrived.
    bool waitForRequests(std::size_t count);

    // Manual replies on the newest connection; false once the client has ended it (or
    // stopped reading for seconds).
    bool send(const std::string& bytes);
    void closeConnection();
    // True once everything sent on the newest connection has been read from the client's
    // socket `clientFd` (loopback, in the same process).
    bool readBy(int clientFd);
    // True once the client closed its side of the newest connection (or reset it).
    bool clientClosed();
    // The bytes the newest connection sent since the last call (a TLS client's records).
    std::string takeReceived();

private:
    // A descriptor on POSIX, a SOCKET on Windows; -1 when closed.
    using Socket = std::intptr_t;
    struct Connection {
        Socket fd = -1;
        std::string received;
        std::size_t taken = 0;
        bool answered = false;
        bool clientDone = false;
    };
    void readFrom(Connection& c);

    Socket m_listener = -1;
    int m_port = 0;
    int m_accepted = 0;
    Responder m_responder;
    std::vector<Connection> m_connections;
    std::vector<std::string> m_requests;
    struct PollTimer;  // keeps answering while the event loop runs; per system
    std::unique_ptr<PollTimer> m_pollTimer;
};

// The server side of TLS on a ScriptedPeer's newest connection, over memory buffers, so a
// test sends its records in whatever pieces it likes.
class TlsPeerEnd {
public:
    TlsPeerEnd(const std::string& certFile, const std::string& keyFile);
    ~TlsPeerEnd();
    TlsPeerEnd(const TlsPeerEnd&) = delete;
    TlsPeerEnd& operator=(const TlsPeerEnd&) = delete;

    // Takes what the client sent and answers its handshake at once, but never more than
    // sendLimit bytes in all (a peer that stops mid-handshake). Text the client sent through
    // the connection collects in plain().
    void pump(ScriptedPeer& peer, std::size_t sendLimit = std::string::npos);
    const std::string& plain() const { return m_plain; }
    std::size_t sent() const { return m_sent; }
    // The records that carry this text, and the close_notify alert.
    std::string seal(const std::string& text);
    std::string closeNotify();

private:
    std::string drainOutput();
    ssl_ctx_st* m_ctx = nullptr;
    ssl_st* m_ssl = nullptr;
    std::string m_plain;
    std::size_t m_sent = 0;
};

// A child process that is always stopped when the test ends.
class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    QProcess& process() { return *m_process; }

private:
    std::unique_ptr<QProcess> m_process;
};

// Starts the bundled herald simulator with these arguments after "--port 0" and returns
// "127.0.0.1:PORT" from its first line ("" when it did not start).
std::string startHeraldSimulator(ChildProcess& simulator, const std::vector<std::string>& arguments);

// The bytes of an HTTP reply with a Content-Length header.
std::string lengthReply(const std::string& body, const std::string& status = "200 OK");

}  // namespace tw::testing
