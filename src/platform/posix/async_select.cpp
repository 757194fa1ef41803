#include "platform/async_select.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <unordered_map>

#include "platform/event_loop.h"

namespace tw::platform {
namespace {

struct Selection {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    long events = 0;
    std::uint64_t generation = 0;
    std::unique_ptr<SocketWatch> watch;
    bool datagram = false;
    bool listening = false;
    bool established = false;  // a stream with a peer: reads and closes mean something
    bool connecting = false;
    bool readArmed = true;
    bool acceptArmed = true;
    bool writeArmed = false;
    bool closeReported = false;
};

std::unordered_map<Socket, Selection>& selections() {
    static std::unordered_map<Socket, Selection> instance;
    return instance;
}

std::uint64_t g_nextGeneration = 1;

Selection* find(Socket s) {
    auto it = selections().find(s);
    return it == selections().end() ? nullptr : &it->second;
}

void post(Socket s, const Selection& sel, int event, int error) {
    if ((sel.events & event) == 0) return;
    const std::uint64_t generation = sel.generation;
    const LParam lParam = makeLParam(static_cast<std::uint16_t>(event), static_cast<std::uint16_t>(error));
    postToEventLoop([s, generation, lParam] {
        Selection* now = find(s);
        // Closed or selected anew since: the notification belongs to a socket that is gone.
        if (!now || now->generation != generation) return;
        sendMessage(now->window, now->message, static_cast<WParam>(s), lParam);
    });
}

// Watches exactly the directions whose next event is armed, so a ready socket whose
// notification is waiting for the program does not keep waking the loop.
void update(Selection& sel) {
    const bool readable = !sel.connecting && !sel.closeReported &&
                          (sel.listening ? sel.acceptArmed : (sel.datagram || sel.established) && sel.readArmed);
    const bool writable = sel.connecting || (sel.writeArmed && !sel.listening);
    sel.watch->setReadEnabled(readable);
    sel.watch->setWriteEnabled(writable);
}

void onReadable(Socket s) {
    Selection* sel = find(s);
    if (!sel) return;
    if (sel->listening) {
        sel->acceptArmed = false;
        post(s, *sel, kFdAccept, 0);
    } else if (sel->datagram) {
        sel->readArmed = false;
        post(s, *sel, kFdRead, 0);
    } else {
        // Peek to tell data from the peer's close: the close is only reported once every
        // byte before it has been read.
        char probe = 0;
        const ssize_t n = ::recv(s, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            sel->readArmed = false;
            post(s, *sel, kFdRead, 0);
        } else if (n == 0) {
            sel->closeReported = true;
            post(s, *sel, kFdClose, 0);
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            sel->closeReported = true;
            post(s, *sel, kFdClose, wsaErrorFromErrno(errno));
        }
    }
    update(*sel);
}

void onWritable(Socket s) {
    Selection* sel = find(s);
    if (!sel) return;
    if (sel->connecting) {
        int err = 0;
        socklen_t length = sizeof err;
        if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &length) != 0) err = errno;
        sel->connecting = false;
        if (err == 0) {
            sel->established = true;
            sel->writeArmed = true;  // Windows Sockets follows a connect with a write notification
        }
        post(s, *sel, kFdConnect, wsaErrorFromErrno(err));
    } else if (sel->writeArmed) {
        sel->writeArmed = false;
        post(s, *sel, kFdWrite, 0);
    }
    update(*sel);
}

template <class Change>
void adjust(Socket s, Change change) {
    if (Selection* sel = find(s)) {
        change(*sel);
        update(*sel);
    }
}

}  // namespace

int wsaAsyncSelect(Socket s, WindowHandle window, std::uint32_t message, long events) {
    if (!isSocket(s)) {
        wsaSetLastError(kWsaEnotsock);
        return kSocketError;
    }
    Selection* old = find(s);
    const bool wasConnecting = old && old->connecting;
    if (message == 0 && events == 0) {
        selections().erase(s);
        return 0;
    }
    if (!eventLoopAvailable()) {
        wsaSetLastError(kWsaSysnotready);
        return kSocketError;
    }
    const int flags = ::fcntl(s, F_GETFL);
    if (flags < 0 || ::fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0) {
        wsaSetLastError(wsaErrorFromErrno(errno));
        return kSocketError;
    }
    selections().erase(s);  // the old watch goes before the new one watches the descriptor
    Selection& sel = selections()[s];
    sel.window = window;
    sel.message = message;
    sel.events = events;
    sel.generation = g_nextGeneration++;
    int type = 0, accepting = 0;
    socklen_t length = sizeof type;
    ::getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &length);
    length = sizeof accepting;
    ::getsockopt(s, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &length);
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    sel.datagram = type == SOCK_DGRAM;
    sel.listening = accepting != 0;
    sel.established = !sel.datagram && ::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0;
    sel.connecting = wasConnecting;
    sel.writeArmed = sel.datagram || sel.established;
    sel.watch = std::make_unique<SocketWatch>(s, [s] { onReadable(s); }, [s] { onWritable(s); });
    update(sel);
    return 0;
}

bool postSelectEvent(Socket s, int event, int error) {
    Selection* sel = find(s);
    if (!sel) return false;
    post(s, *sel, event, error);
    return true;
}

bool isAsyncSelected(Socket s) { return find(s) != nullptr; }

void asyncSelectForget(Socket s) { selections().erase(s); }
void asyncConnectStarted(Socket s) { adjust(s, [](Selection& sel) { sel.connecting = true; }); }
void asyncListening(Socket s) { adjust(s, [](Selection& sel) { sel.listening = true; sel.writeArmed = false; }); }
void asyncAfterAccept(Socket s) { adjust(s, [](Selection& sel) { sel.acceptArmed = true; }); }
void asyncSendWouldBlock(Socket s) { adjust(s, [](Selection& sel) { sel.writeArmed = true; }); }
void asyncAfterRecv(Socket s) { adjust(s, [](Selection& sel) { sel.readArmed = true; }); }

}  // namespace tw::platform
