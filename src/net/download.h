#pragma once
// One HTTP download on a socket object the owner keeps: `start` ends whatever that socket was
// doing and connects; the owner's handlers of the socket's events pass them on to
// `connected`, `arrived` and `closed`. An https address runs a TLS session between the
// socket and the reply reader: its handshake goes out on connect, the request once the
// handshake is done. Every arrival goes to the reply reader, and the reply's first final
// outcome is acted on once: a complete body closes the socket (its close follows), any
// other outcome ends the connection at once. Later events of that connection change nothing.
//
// A redirect reply (see RedirectChain) is followed on the same socket: the step "Redirected
// to <host>..." and a new connection; a refused one is the outcome Abandoned with the reason.
// Over TLS a read-until-close body ends only with the server's close_notify: a bare close
// is a cut, EndedEarly.
//
// A connection that receives nothing for the idle limit (a minute unless set otherwise),
// whether connecting, in the TLS handshake or anywhere in the reply, times out: the socket
// ends it and raises error 10060, which the owner's error handler passes to `failed` like
// any other asynchronous failure. The limit is the event loop's timer, so nothing waits.
//
// `onStep` hears each step that has a caption for the status line and, once per download,
// the final outcome: that call is the completion. It runs after the download has ended, so
// it may start the next one.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/c_socket.h"
#include "net/http_requests.h"
#include "net/redirects.h"
#include "net/reply_reader.h"
#include "platform/event_loop.h"
#include "platform/tls_session.h"

namespace tw {

class Download {
public:
    using StepHandler = std::function<void(const ReplyStep&)>;
    // The request for an address, built when its connection is made; a RuntimeError from it
    // ends the download with the failure caption.
    using RequestMaker = std::function<std::string(const Location&)>;

    static constexpr std::chrono::milliseconds kIdleLimit{60000};

    // showProgress as for ReplyReader. The socket must outlive the download.
    Download(CSocket& socket, bool showProgress, StepHandler onStep, RequestMaker makeRequest);
    ~Download();

    // Counts from the next connection or arrival on.
    void setIdleLimit(std::chrono::milliseconds limit) { m_idleLimit = limit; }

    // Ends the current download for good (see abandon) and connects to the address. A host
    // part that names no usable port raises error 5; what Connect raises is raised; in
    // either case no download is then under way.
    void start(const Location& address);
    // Ends the current download for good without an outcome: its socket is closed and
    // whatever it left unread is thrown away, so nothing of it reaches a later reply.
    void abandon();
    // From started until its outcome has been handed to onStep.
    bool busy() const { return m_state != State::Idle; }

    // The socket's events.
    void connected();
    void arrived();
    void closed();
    // An asynchronous socket failure: ends a download under way with this caption; nothing
    // when none is.
    void failed(const std::string& caption);

    // The body once the outcome was Complete, moved out.
    std::string takeBody() { return m_reader.takeBody(); }

private:
    enum class State { Idle, Connecting, Receiving };
    void connectTo(const Location& address);
    void sendToSocket();
    void take(ReplyStep step);
    bool followRedirect(ReplyStep& step);
    // The connection has shown life: the idle limit counts afresh.
    void stillAlive();
    void idleLimitPassed();

    CSocket& m_socket;
    ReplyReader m_reader;
    StepHandler m_onStep;
    RequestMaker m_makeRequest;
    State m_state = State::Idle;
    std::optional<RedirectChain> m_redirects;
    std::string m_hostName;  // what the current connection went to, for the TLS session
    std::shared_ptr<const platform::TlsClientContext> m_tlsContext;  // made on the first https address
    std::unique_ptr<platform::TlsSession> m_tls;  // one per connection, only for https
    std::chrono::milliseconds m_idleLimit = kIdleLimit;
    platform::OneShotTimer m_idleTimer;
};

}  // namespace tw
