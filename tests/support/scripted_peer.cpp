#include "scripted_peer.h"
#include "loopback.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <utility>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <QEventLoop>
#include <QTimer>

namespace tw::testing {

struct ScriptedPeer::PollTimer : QTimer {};

ScriptedPeer::ScriptedPeer() {
    m_listener = bindLoopback(m_port, 8, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC);
    m_pollTimer = std::make_unique<PollTimer>();
    QObject::connect(m_pollTimer.get(), &QTimer::timeout, [this] { poll(); });
    m_pollTimer->start(1);
}

ScriptedPeer::~ScriptedPeer() {
    for (Connection& c : m_connections)
        if (c.fd >= 0) ::close(c.fd);
    ::close(m_listener);
}

void ScriptedPeer::readFrom(Connection& c) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            const bool wasComplete = c.received.find("\r\n\r\n") != std::string::npos;
            c.received.append(buffer, static_cast<std::size_t>(n));
            if (!wasComplete && c.received.find("\r\n\r\n") != std::string::npos) m_requests.push_back(c.received);
            continue;
        }
        // An orderly close, or a reset from a client that closed with bytes unread.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) c.clientDone = true;
        return;
    }
}

void ScriptedPeer::poll() {
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        ++m_accepted;
        Connection c;
        c.fd = fd;
        m_connections.push_back(std::move(c));
    }
    for (Connection& c : m_connections) {
        if (c.fd < 0) continue;
        readFrom(c);
        if (m_responder && !c.answered && c.received.find("\r\n\r\n") != std::string::npos) {
            c.answered = true;
            const std::string reply = m_responder(c.received);
            ::send(c.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::shutdown(c.fd, SHUT_WR);
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
        const ssize_t n = ::send(m_connections.back().fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        else QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return sent == bytes.size();
}

void ScriptedPeer::closeConnection() {
    if (m_connections.empty() || m_connections.back().fd < 0) return;
    ::close(m_connections.back().fd);
    m_connections.back().fd = -1;
}

bool ScriptedPeer::readBy(int clientFd) {
    if (m_connections.empty() || m_connections.back().fd < 0 || clientFd < 0) return false;
    int unacknowledged = 0, unread = 0;
    return ::ioctl(static_cast<int>(m_connections.back().fd), SIOCOUTQ, &unacknowledged) == 0 && unacknowledged == 0 &&
           ::ioctl(clientFd, FIONREAD, &unread) == 0 && unread == 0;
}

TlsPeerEnd::TlsPeerEnd(const std::string& certFile, const std::string& keyFile) {
    m_ctx = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_chain_file(m_ctx, certFile.c_str());
    SSL_CTX_use_PrivateKey_file(m_ctx, keyFile.c_str(), SSL_FILETYPE_PEM);
    m_ssl = SSL_new(m_ctx);
    SSL_set_bio(m_ssl, BIO_new(BIO_s_mem()), BIO_new(BIO_s_mem()));
    BIO_set_mem_eof_return(SSL_get_rbio(m_ssl), -1);
    SSL_set_accept_state(m_ssl);
}

TlsPeerEnd::~TlsPeerEnd() {
    SSL_free(m_ssl);
    SSL_CTX_free(m_ctx);
}

std::string TlsPeerEnd::drainOutput() {
    char* data = nullptr;
    const long size = BIO_get_mem_data(SSL_get_wbio(m_ssl), &data);
    std::string out(data, static_cast<std::size_t>(size > 0 ? size : 0));
    BIO_reset(SSL_get_wbio(m_ssl));
    return out;
}

void TlsPeerEnd::pump(ScriptedPeer& peer, std::size_t sendLimit) {
    const std::string in = peer.takeReceived();
    if (in.empty()) return;
    BIO_write(SSL_get_rbio(m_ssl), in.data(), static_cast<int>(in.size()));
    char buffer[4096];
    int got = 0;
    if (SSL_is_init_finished(m_ssl) || SSL_do_handshake(m_ssl) == 1)
        while ((got = SSL_read(m_ssl, buffer, sizeof buffer)) > 0) m_plain.append(buffer, static_cast<std::size_t>(got));
    std::string out = drainOutput().substr(0, sendLimit - std::min(sendLimit, m_sent));
    m_sent += out.size();
    if (!out.empty()) peer.send(out);
}

std::string TlsPeerEnd::seal(const std::string& text) {
    SSL_write(m_ssl, text.data(), static_cast<int>(text.size()));
    return drainOutput();
}

std::string TlsPeerEnd::closeNotify() {
    SSL_shutdown(m_ssl);
    return drainOutput();
}

ChildProcess::ChildProcess() : m_process(std::make_unique<QProcess>()) {}

ChildProcess::~ChildProcess() {
    if (m_process->state() == QProcess::NotRunning) return;
    m_process->terminate();
    if (!m_process->waitForFinished(3000)) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

std::string startHeraldSimulator(ChildProcess& simulator, const std::vector<std::string>& arguments) {
    QStringList args{"--port", "0"};
    for (const std::string& argument : arguments) args << QString::fromStdString(argument);
    simulator.process().start(HERALD_SIM_PATH, args);
    if (!runUntil([&] { return simulator.process().canReadLine(); }, 10000)) return {};
    const std::string line = simulator.process().readLine().trimmed().toStdString();
    const std::string prefix = "listening on ";
    return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
}

}  // namespace tw::testing
