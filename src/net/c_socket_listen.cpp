// The listening side of CSocket: Bind, Listen and Accept.
#include "net/c_socket.h"

namespace tw {

namespace ws = platform;

void CSocket::Bind(const std::optional<std::int32_t>& lngLocalPort, const std::optional<std::string>& strLocalIP) {
    try {
        if (!SocketExists()) return;
        if (strLocalIP && !strLocalIP->empty()) m_localIP = *strLocalIP;
        if (lngLocalPort && *lngLocalPort > 0) m_localPort = *lngLocalPort;
        ws::SockAddrIn local;
        local.address = ws::kInaddrAny;
        if (!m_localIP.empty()) {
            local.address = ws::inet_addr(m_localIP);
            if (local.address == ws::kInaddrNone) RaiseError(ws::kWsaEaddrnotavail, "CSocket.Bind");
        }
        local.port = ws::wsaHtons(static_cast<std::uint16_t>(MSocketSupport::LongToUnsigned(m_localPort)));
        if (ws::bind(m_socket, local) != 0) RaiseError(ws::wsaGetLastError(), "CSocket.Bind");
        m_bound = true;
        // With port 0 the system picked one; the caller needs to know which.
        ws::SockAddrIn actual;
        if (ws::getsockname(m_socket, actual) == 0) m_localPort = ws::wsaNtohs(actual.port);
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), "CSocket.Bind");
    }
}

bool CSocket::Listen(const std::optional<std::int32_t>& lngPort) {
    try {
        if (!SocketExists()) return false;
        if (!m_bound) Bind(lngPort, std::string());
        if (ws::listen(m_socket, 5) != 0) {
            m_state = sckError;
            return false;
        }
        m_state = sckListening;
        return true;
    } catch (...) {
        return false;
    }
}

void CSocket::Accept(std::int32_t requestID) {
    try {
        // The object's earlier socket, if any, would otherwise stay open unreachable.
        if (m_socket != ws::kInvalidSocket && m_socket != requestID) DestroySocket();
        m_socket = requestID;
        ws::SockAddrIn local, peer;
        if (ws::getsockname(m_socket, local) != 0) RaiseError(ws::wsaGetLastError(), "CSocket.Accept");
        m_localPort = ws::wsaNtohs(local.port);
        m_localIP = ws::inet_ntoa(local.address);
        m_localHostName = m_localIP;
        if (ws::getpeername(m_socket, peer) != 0) RaiseError(ws::wsaGetLastError(), "CSocket.Accept");
        m_remotePort = ws::wsaNtohs(peer.port);
        m_remoteHostIP = ws::inet_ntoa(peer.address);
        m_remoteHost = m_remoteHostIP;
        int type = 0;
        if (ws::getsockopt(m_socket, ws::kSolSocket, ws::kSoType, type) != 0)
            RaiseError(ws::wsaGetLastError(), "CSocket.Accept");
        m_protocol = type == ws::kSockStream ? sckTCPProtocol : sckUDPProtocol;
        ReadBufferSizes();
        if (!MSocketSupport::RegisterSocket(m_socket, this)) throw MSocketSupport::LastError();
        m_state = sckConnected;
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), "CSocket.Accept");
    }
}

}  // namespace tw
