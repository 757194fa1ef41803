#pragma once
// Asynchronous selection: the socket's events are posted to a message window as
// (message, wParam = socket, lParam = event code in the low word, error code in the high
// word), one notification per event, re-enabled the way Windows Sockets does it: read
// again only after a read, accept again after an accept, write after a connect and after a
// send that would have blocked, connect once with its error, close once when the peer has
// closed (after the data that came before it). Notifications still queued when the socket
// is closed or selected anew are dropped. GUI thread only.

#include <cstdint>

#include "platform/message_window.h"
#include "platform/winsock.h"

namespace tw::platform {

enum SelectEvent : int {
    kFdRead = 1,
    kFdWrite = 2,
    kFdOob = 4,
    kFdAccept = 8,
    kFdConnect = 16,
    kFdClose = 32,
};

// Starts (or with message 0 and events 0, stops) notifications for the socket and makes
// it non-blocking. 0 on success; -1 with 10038 for a handle that is not a socket, 10091
// when there is no event loop.
int wsaAsyncSelect(Socket s, WindowHandle window, std::uint32_t message, long events);

// Posts a notification for the socket as the layer would, to the window and message it is
// selected for. False when the socket is not selected.
bool postSelectEvent(Socket s, int event, int error);

bool isAsyncSelected(Socket s);

// Called by the socket calls of winsock.cpp, which drive the re-enabling rules.
void asyncSelectForget(Socket s);
void asyncConnectStarted(Socket s);
void asyncListening(Socket s);
void asyncAfterAccept(Socket s);
void asyncSendWouldBlock(Socket s);
void asyncAfterRecv(Socket s);

}  // namespace tw::platform
