#pragma once
// Loopback sockets for test peers: a listener on 127.0.0.1 at a port the system picks.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tw::testing {

// A socket bound to 127.0.0.1 on a free port (stored in `port`), listening when backlog is
// above 0; -1 when any step fails. `type` may carry SOCK_NONBLOCK / SOCK_CLOEXEC.
inline int bindLoopback(int& port, int backlog, int type = SOCK_STREAM) {
    const int s = ::socket(AF_INET, type, 0);
    if (s < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
        (backlog > 0 && ::listen(s, backlog) != 0)) {
        ::close(s);
        return -1;
    }
    port = ntohs(a.sin_port);
    return s;
}

}  // namespace tw::testing
