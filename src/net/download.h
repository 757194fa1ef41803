#pragma once
// One HTTP download on a socket object the owner keeps: `start` ends whatever that socket was
// doing and connects; the owner's handlers of the socket's events pass them on to
// `connected`, `arrived` and `closed`. Every arrival goes to a reply reader, and the reply's
// first final outcome is acted on once: a complete body closes the socket (its close
// follows), any other outcome ends the connection at once. Later events of that connection
// change nothing.
//
// `onStep` hears each step that has a caption for the status line and, once per download,
// the final outcome: that call is the completion. It runs after the download has ended, so
// it may start the next one.

#include <functional>
#include <string>

#include "net/c_socket.h"
#include "net/reply_reader.h"

namespace tw {

// The one seam between the socket and the reply reader. Unset, bytes pass unchanged, which
// is plain HTTP; a secured connection turns socket bytes into reply bytes and the request
// into socket bytes here.
struct DownloadTransport {
    std::function<std::string(std::string socketBytes)> fromSocket;
    std::function<std::string(std::string request)> toSocket;
};

class Download {
public:
    using StepHandler = std::function<void(const ReplyStep&)>;

    // showProgress as for ReplyReader. The socket must outlive the download.
    Download(CSocket& socket, bool showProgress, StepHandler onStep);

    // Ends the current download for good (see abandon) and connects to name:port. What
    // Connect raises is raised, and no download is then under way.
    void start(const std::string& name, std::int32_t port);
    // Ends the current download for good without an outcome: its socket is closed and
    // whatever it left unread is thrown away, so nothing of it reaches a later reply.
    void abandon();
    // From started until its outcome has been handed to onStep.
    bool busy() const { return m_state != State::Idle; }

    // The socket's events. makeRequest builds the request when the connection is made; a
    // RuntimeError from it ends the download with the failure caption.
    void connected(const std::function<std::string()>& makeRequest);
    void arrived();
    void closed();
    // An asynchronous socket failure: ends a download under way with this caption; nothing
    // when none is.
    void failed(const std::string& caption);

    // The body once the outcome was Complete, moved out.
    std::string takeBody() { return m_reader.takeBody(); }

    DownloadTransport transport;

private:
    enum class State { Idle, Connecting, Receiving };
    void take(const ReplyStep& step);

    CSocket& m_socket;
    ReplyReader m_reader;
    StepHandler m_onStep;
    State m_state = State::Idle;
};

}  // namespace tw
