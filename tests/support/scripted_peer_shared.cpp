// What the scripted peer does the same way on every system.
#include "scripted_peer.h"

#include <utility>

namespace tw::testing {

bool ScriptedPeer::waitForRequests(std::size_t count) {
    return runUntil([&] { return requests().size() >= count; });
}

bool ScriptedPeer::clientClosed() {
    poll();
    return !m_connections.empty() && m_connections.back().clientDone;
}

std::string ScriptedPeer::takeReceived() {
    poll();
    if (m_connections.empty()) return {};
    Connection& c = m_connections.back();
    return c.received.substr(std::exchange(c.taken, c.received.size()));
}

std::string lengthReply(const std::string& body, const std::string& status) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

}  // namespace tw::testing
