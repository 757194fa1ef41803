#include "net/download.h"

#include <utility>

#include "runtime/runtime_error.h"

namespace tw {

Download::Download(CSocket& socket, bool showProgress, StepHandler onStep, RequestMaker makeRequest)
    : m_socket(socket),
      m_reader(showProgress),
      m_onStep(std::move(onStep)),
      m_makeRequest(std::move(makeRequest)),
      m_idleTimer([this] { idleLimitPassed(); }) {}

Download::~Download() = default;

void Download::start(const Location& address) {
    abandon();
    m_redirects.emplace(address);
    connectTo(address);
}

void Download::connectTo(const Location& address) {
    const HostAndPort target = splitHostPort(address.host, address.scheme);
    m_state = State::Connecting;
    m_hostName = target.name;
    try {
        m_socket.RemoteHost(target.name);
        m_socket.RemotePort(target.port);
        m_socket.Connect();
    } catch (...) {
        m_state = State::Idle;
        m_idleTimer.stop();
        throw;
    }
    stillAlive();
}

void Download::stillAlive() { m_idleTimer.start(static_cast<int>(m_idleLimit.count())); }

void Download::idleLimitPassed() {
    if (m_state == State::Idle) return;
    try {
        m_socket.TimedOut();
    } catch (...) {
        // As for the socket's own events: what its handlers raise goes no further.
    }
}

void Download::abandon() {
    // A connected socket is only half closed here; the next Connect drops it for good.
    m_socket.CloseSocket();
    std::string leftOver;
    m_socket.GetData(leftOver);
    m_reader.reset();
    m_tls.reset();
    m_state = State::Idle;
    m_idleTimer.stop();
}

void Download::connected() {
    if (m_state != State::Connecting) return;
    m_reader.reset();
    m_state = State::Receiving;
    stillAlive();
    std::string request;
    try {
        request = m_makeRequest(m_redirects->current());
    } catch (const RuntimeError&) {
        // What the request carries changed under the connect into something unsendable.
        take({ReplyProgress::Abandoned, std::string(kCaptionUpdateFailed)});
        return;
    }
    if (m_redirects->current().scheme == Scheme::Http) {
        m_socket.SendData(request);
        return;
    }
    // The trust store is read once per download object: later connections share it.
    if (!m_tlsContext) m_tlsContext = std::make_shared<platform::TlsClientContext>();
    m_tls = std::make_unique<platform::TlsSession>(m_tlsContext, m_hostName);
    m_tls->send(request);
    sendToSocket();
    if (m_tls->failed()) take({ReplyProgress::Abandoned, m_tls->failure()});
}

void Download::sendToSocket() {
    std::string bytes = m_tls->takeOutgoing();
    if (!bytes.empty()) m_socket.SendData(bytes);
}

void Download::arrived() {
    std::string bytes;
    m_socket.GetData(bytes);
    if (m_state != State::Receiving) return;
    if (!bytes.empty()) stillAlive();
    if (!m_tls) return take(m_reader.feed(bytes));
    m_tls->receive(bytes);
    sendToSocket();
    if (m_tls->failed()) return take({ReplyProgress::Abandoned, m_tls->failure()});
    ReplyStep step = m_reader.feed(m_tls->takePlain());
    // The server's close_notify ends the reply as a close ends a plain one.
    if (step.progress == ReplyProgress::NeedMore && m_tls->closeNotifyReceived()) step = m_reader.peerClosed();
    take(std::move(step));
}

void Download::closed() {
    m_socket.CloseSocket();
    if (m_state != State::Receiving) return;
    if (!m_tls) return take(m_reader.peerClosed());
    if (!m_tls->established()) return take({ReplyProgress::Abandoned, "TLS handshake with " + m_hostName + " failed"});
    // Anyone on the path can close a TCP connection: without close_notify a reply read
    // until the close may have been cut anywhere.
    ReplyStep step = m_reader.peerClosed();
    if (step.progress == ReplyProgress::Complete)
        step = {ReplyProgress::EndedEarly, "Connection to " + m_hostName + " cut short, update failed."};
    take(std::move(step));
}

void Download::failed(const std::string& caption) {
    if (m_state != State::Idle) take({ReplyProgress::Abandoned, caption});
}

bool Download::followRedirect(ReplyStep& step) {
    const std::optional<std::string_view> target = m_reader.header("Location");
    if (!target) return false;  // a redirect that names no place is an error reply
    RedirectChain::Verdict verdict = m_redirects->follow(*target);
    if (!verdict.next) {
        step = {ReplyProgress::Abandoned, std::move(verdict.caption)};
        return false;
    }
    // Nothing of this connection may reach the next one.
    m_socket.CloseSocketNow();
    m_tls.reset();
    m_reader.reset();
    m_onStep({ReplyProgress::NeedMore, std::move(verdict.caption)});
    try {
        connectTo(*verdict.next);
    } catch (const RuntimeError&) {
        step = {ReplyProgress::Abandoned, std::string(kCaptionUpdateFailed)};
        return false;
    }
    return true;
}

void Download::take(ReplyStep step) {
    if (step.progress == ReplyProgress::NeedMore) {
        if (!step.caption.empty()) m_onStep(step);
        return;
    }
    if (step.progress == ReplyProgress::BadStatus && isRedirectStatus(m_reader.statusCode()) && followRedirect(step))
        return;
    m_state = State::Idle;
    m_idleTimer.stop();
    if (step.progress == ReplyProgress::Complete)
        m_socket.CloseSocket();
    else
        m_socket.CloseSocketNow();  // nothing more of a reply given up is read, however much comes
    m_tls.reset();
    m_onStep(step);
}

}  // namespace tw
