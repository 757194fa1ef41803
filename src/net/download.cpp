#include "net/download.h"

#include <utility>

#include "runtime/runtime_error.h"

namespace tw {

Download::Download(CSocket& socket, bool showProgress, StepHandler onStep)
    : m_socket(socket), m_reader(showProgress), m_onStep(std::move(onStep)) {}

void Download::start(const std::string& name, std::int32_t port) {
    abandon();
    m_state = State::Connecting;
    try {
        m_socket.RemoteHost(name);
        m_socket.RemotePort(port);
        m_socket.Connect();
    } catch (...) {
        m_state = State::Idle;
        throw;
    }
}

void Download::abandon() {
    // A connected socket is only half closed here; the next Connect drops it for good.
    m_socket.CloseSocket();
    std::string leftOver;
    m_socket.GetData(leftOver);
    m_reader.reset();
    m_state = State::Idle;
}

void Download::connected(const std::function<std::string()>& makeRequest) {
    m_reader.reset();
    m_state = State::Receiving;
    std::string request;
    try {
        request = makeRequest();
    } catch (const RuntimeError&) {
        // What the request carries changed under the connect into something unsendable.
        take({ReplyProgress::Abandoned, std::string(kCaptionUpdateFailed)});
        return;
    }
    if (transport.toSocket) request = transport.toSocket(std::move(request));
    m_socket.SendData(request);
}

void Download::arrived() {
    std::string bytes;
    m_socket.GetData(bytes);
    if (m_state != State::Receiving) return;
    if (transport.fromSocket) bytes = transport.fromSocket(std::move(bytes));
    take(m_reader.feed(bytes));
}

void Download::closed() {
    m_socket.CloseSocket();
    // A reply that names no length ends here; any other reply still open is incomplete.
    if (m_state == State::Receiving) take(m_reader.peerClosed());
}

void Download::failed(const std::string& caption) {
    if (m_state != State::Idle) take({ReplyProgress::Abandoned, caption});
}

void Download::take(const ReplyStep& step) {
    if (step.progress == ReplyProgress::NeedMore) {
        if (!step.caption.empty()) m_onStep(step);
        return;
    }
    m_state = State::Idle;
    if (step.progress == ReplyProgress::Complete)
        m_socket.CloseSocket();
    else
        m_socket.CloseSocketNow();  // nothing more of a reply given up is read, however much comes
    m_onStep(step);
}

}  // namespace tw
