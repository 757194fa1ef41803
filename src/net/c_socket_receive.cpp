// The receiving side of CSocket: arrivals read onto the end of its buffer, and the buffer
// taken or peeked at as text or as a typed value.
#include "net/c_socket.h"

#include <algorithm>

#include "net/c_socket_steps.h"
#include "platform/async_select.h"

namespace tw {

namespace ws = platform;

std::int32_t CSocket::RecvToBuffer() {
    if (m_socket == ws::kInvalidSocket) return 0;
    // Read straight onto the end of the buffer: no per-read copy of what is already held.
    const std::size_t held = m_recvBuffer.size();
    m_recvBuffer.resize(held + static_cast<std::size_t>(m_recvBufferSize));
    int n;
    if (m_protocol == sckUDPProtocol) {
        ws::SockAddrIn from;
        n = ws::recvfrom(m_socket, m_recvBuffer.data() + held, m_recvBufferSize, 0, &from);
        if (n >= 0) {
            m_remotePort = ws::wsaNtohs(from.port);
            m_remoteHostIP = ws::inet_ntoa(from.address);
            m_remoteHost = ws::gethostbyaddr(from.address).value_or(m_remoteHostIP);
        }
    } else {
        n = ws::recv(m_socket, m_recvBuffer.data() + held, m_recvBufferSize, 0);
    }
    m_recvBuffer.resize(held + static_cast<std::size_t>(std::max(n, 0)));
    if (n < 0) {
        const int code = ws::wsaGetLastError();
        // Nothing more to read yet is not a failure of a non-blocking socket.
        if (code == ws::kWsaEwouldblock) return 0;
        RaiseError(code, "CSocket.RecvToBuffer");
    }
    return n;
}

std::string CSocket::TakeBytes(bool take, const std::optional<std::int32_t>& maxLen) {
    const std::int32_t wanted = maxLen.value_or(0);
    if (wanted > 0 && static_cast<std::size_t>(wanted) <= m_recvBuffer.size()) {
        std::string part = m_recvBuffer.substr(0, static_cast<std::size_t>(wanted));
        if (take) m_recvBuffer.erase(0, static_cast<std::size_t>(wanted));
        return part;
    }
    if (!take) return m_recvBuffer;
    std::string all = std::move(m_recvBuffer);
    m_recvBuffer.clear();
    return all;
}

void CSocket::RecvData(SocketValue& varData, bool take, const std::optional<std::int32_t>& varType,
                       const std::optional<std::int32_t>& maxLen, const char* source) {
    withSource(source, [&] {
        if (m_recvBuffer.empty()) return;
        const std::string bytes = TakeBytes(take, maxLen);
        if (std::optional<SocketValue> value = ValueFromBytes(bytes, varType.value_or(vbString)))
            varData = std::move(*value);
        m_bytesReceived = static_cast<std::int32_t>(m_recvBuffer.size());
    });
}

void CSocket::GetData(SocketValue& varData, const std::optional<std::int32_t>& varType,
                      const std::optional<std::int32_t>& maxLen) {
    RecvData(varData, true, varType, maxLen, "CSocket.GetData");
}

void CSocket::PeekData(SocketValue& varData, const std::optional<std::int32_t>& varType,
                       const std::optional<std::int32_t>& maxLen) {
    RecvData(varData, false, varType, maxLen, "CSocket.PeekData");
}

void CSocket::GetData(std::string& text, const std::optional<std::int32_t>& maxLen) {
    if (m_recvBuffer.empty()) return;
    text = TakeBytes(true, maxLen);
    m_bytesReceived = static_cast<std::int32_t>(m_recvBuffer.size());
}

void CSocket::PeekData(std::string& text, const std::optional<std::int32_t>& maxLen) {
    if (m_recvBuffer.empty()) return;
    text = TakeBytes(false, maxLen);
    m_bytesReceived = static_cast<std::int32_t>(m_recvBuffer.size());
}

}  // namespace tw
