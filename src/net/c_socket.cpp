#include "net/c_socket.h"

#include <algorithm>

#include "net/c_socket_steps.h"
#include "platform/async_select.h"

namespace tw {
namespace {

namespace ws = platform;

const char* const kWrongState = "Wrong protocol or connection state for the requested transaction or request.";

RuntimeError socketError(std::int32_t number, const std::string& source) {
    return RuntimeError(number, MSocketSupport::GetErrorDescription(number), source);
}

bool isDotted(const std::string& host) { return !host.empty() && ws::inet_addr(host) != ws::kInaddrNone; }

}  // namespace

CSocket::CSocket() { m_maxMsgSize = MSocketSupport::InitWinsockService(); }

CSocket::~CSocket() {
    try {
        if (m_socket != ws::kInvalidSocket) DestroySocket();
    } catch (...) {
        // A destructor reports nothing; the handle is gone either way.
    }
    MSocketSupport::ForgetOwner(this);
    MSocketSupport::CleanupWinsock();
}

void CSocket::RaiseError(std::int32_t number, const std::string& source) { throw socketError(number, source); }

ws::Socket CSocket::vbSocket() {
    try {
        const bool udp = m_protocol == sckUDPProtocol;
        const ws::Socket s = ws::socket(ws::kAfInet, udp ? ws::kSockDgram : ws::kSockStream,
                                        udp ? ws::kIpProtoUdp : ws::kIpProtoTcp);
        if (s == ws::kInvalidSocket) RaiseError(ws::wsaGetLastError(), "CSocket.vbSocket");
        if (!MSocketSupport::RegisterSocket(s, this)) {
            MSocketSupport::UnregisterSocket(s);
            ws::closesocket(s);
            throw MSocketSupport::LastError();
        }
        return s;
    } catch (...) {
        return ws::kInvalidSocket;
    }
}

bool CSocket::SocketExists() {
    if (m_socket == ws::kInvalidSocket) {
        m_socket = vbSocket();
        if (m_socket == ws::kInvalidSocket) return false;
        ReadBufferSizes();
    }
    return true;
}

void CSocket::ReadBufferSizes() {
    if (m_protocol == sckTCPProtocol) {
        int size = 0;
        if (ws::getsockopt(m_socket, ws::kSolSocket, ws::kSoRcvBuf, size) == 0 && size > 0) m_recvBufferSize = size;
    } else {
        m_recvBufferSize = std::max<std::int32_t>(m_maxMsgSize, 1);
    }
}

void CSocket::Protocol(std::int32_t protocol) {
    if (m_socket == ws::kInvalidSocket) m_protocol = protocol;
}

void CSocket::RemoteHost(const std::string& NewValue) {
    m_remoteHost = NewValue;
    if (!isDotted(NewValue)) return;
    m_remoteHostIP = NewValue;
    if (m_protocol != sckUDPProtocol || !SocketExists()) return;
    const bool wantBroadcast = NewValue.size() >= 4 && NewValue.compare(NewValue.size() - 4, 4, ".255") == 0;
    if (wantBroadcast != m_broadcast) {
        if (ws::setsockopt(m_socket, ws::kSolSocket, ws::kSoBroadcast, wantBroadcast ? 1 : 0) != 0)
            RaiseError(ws::wsaGetLastError(), "CSocket.RemoteHost");
        m_broadcast = wantBroadcast;
    }
}

void CSocket::StartConnect(std::uint32_t address, const char* source) {
    ws::SockAddrIn to;
    to.address = address;
    to.port = ws::wsaHtons(static_cast<std::uint16_t>(MSocketSupport::LongToUnsigned(m_remotePort)));
    if (ws::connect(m_socket, to) == ws::kSocketError) {
        const int code = ws::wsaGetLastError();
        if (code != ws::kWsaEwouldblock) RaiseError(code, source);
    }
    m_state = sckConnecting;
}

void CSocket::Connect(const std::optional<std::string>& strRemoteHost, const std::optional<std::int32_t>& lngRemotePort) {
    withSource("CSocket.Connect", [&] {
        // A TCP socket connects once: an object still busy with an earlier connection gets
        // a fresh socket instead of failing with "already connected".
        if (m_protocol == sckTCPProtocol && m_socket != ws::kInvalidSocket &&
            (m_state == sckConnecting || m_state == sckConnected || m_state == sckClosing ||
             m_state == sckResolvingHost || m_state == sckHostResolved)) {
            DestroySocket();
            m_state = sckClosed;
        }
        if (!SocketExists()) return;
        if (strRemoteHost && !strRemoteHost->empty()) RemoteHost(*strRemoteHost);
        if (lngRemotePort) m_remotePort = *lngRemotePort;
        if (m_remoteHost.empty()) RaiseError(ws::kWsaEaddrnotavail, "CSocket.Connect");
        // The port is checked here even when a name must be resolved first, so a bad port is
        // raised to the caller rather than lost in the resolution's completion.
        MSocketSupport::LongToUnsigned(m_remotePort);
        m_resolvePurpose = 0;
        if (isDotted(m_remoteHost)) {
            m_remoteHostIP = m_remoteHost;
            StartConnect(ws::inet_addr(m_remoteHost), "CSocket.Connect");
        } else {
            m_state = sckResolvingHost;
            m_requestHandle = MSocketSupport::ResolveHost(m_remoteHost, this);
            if (m_requestHandle == 0) {
                const RuntimeError failure = MSocketSupport::LastError();
                DestroySocket();
                throw failure;
            }
        }
    });
}

void CSocket::PostGetHostEvent(std::uint32_t taskHandle, std::uint32_t hostAddress, const std::string& hostName,
                               std::int32_t errorCode) {
    withSource("CSocket.PostGetHostEvent", [&] {
        std::uint32_t address = hostAddress;
        if (errorCode > 0) {
            if (!isDotted(hostName)) {
                m_state = sckError;
                m_requestHandle = 0;
                bool cancel = false;
                if (OnError)
                    OnError(static_cast<std::int16_t>(errorCode), MSocketSupport::GetErrorDescription(errorCode), 0, "", "",
                            0, cancel);
                return;
            }
            address = ws::inet_addr(hostName);
        } else if (taskHandle == 0 || taskHandle != m_requestHandle) {
            return;  // a completion for a request that has been replaced
        }
        m_requestHandle = 0;
        m_state = sckHostResolved;
        m_remoteHost = hostName;
        m_remoteHostIP = ws::inet_ntoa(address);
        if (m_resolvePurpose == 0) {
            try {
                StartConnect(address, "CSocket.PostGetHostEvent");
            } catch (const RuntimeError& e) {
                m_state = sckHostResolved;
                bool cancel = false;
                if (OnError)
                    OnError(static_cast<std::int16_t>(e.number()), e.description(), 0, "CSocket.PostGetHostEvent", "", 0,
                            cancel);
            }
        } else {
            SendBufferedData();
        }
    });
}

void CSocket::FillLocalAddress() {
    ws::SockAddrIn local;
    if (ws::getsockname(m_socket, local) != 0) return;
    m_localPort = ws::wsaNtohs(local.port);
    m_localIP = ws::inet_ntoa(local.address);
    m_localHostName = ws::gethostbyaddr(local.address).value_or(m_localIP);
}

void CSocket::PostSocketEvent(std::int32_t eventCode, std::int32_t errorCode) {
    withSource("CSocket.PostSocketEvent", [&] {
        if (errorCode >= 1) {
            m_state = sckError;
            DestroySocket();
            bool cancel = false;
            if (OnError)
                OnError(static_cast<std::int16_t>(errorCode), MSocketSupport::GetErrorDescription(errorCode), 0, "", "", 0,
                        cancel);
            return;
        }
        switch (eventCode) {
        case ws::kFdRead: {
            const std::int32_t n = RecvToBuffer();
            m_bytesReceived += n;
            if (n > 0 && OnDataArrival) OnDataArrival(static_cast<std::int32_t>(m_recvBuffer.size()));
            break;
        }
        case ws::kFdWrite:
            if (m_sendBuffer.empty()) {
                if (OnSendComplete) OnSendComplete();
            } else {
                SendBufferedData();
            }
            break;
        case ws::kFdAccept: {
            ws::SockAddrIn peer;
            const ws::Socket accepted = ws::accept(m_socket, &peer);
            if (accepted == ws::kInvalidSocket) break;
            if (OnConnectionRequest) OnConnectionRequest(accepted);
            // A request nobody took must not stay open for ever.
            if (!ws::isAsyncSelected(accepted)) ws::closesocket(accepted);
            break;
        }
        case ws::kFdConnect:
            FillLocalAddress();
            m_state = sckConnected;
            if (OnConnect) OnConnect();
            break;
        case ws::kFdClose: {
            // The bytes that came before the close are delivered first. A handler that
            // starts another connection ends this loop: those reads belong to the new socket.
            const ws::Socket closing = m_socket;
            while (m_socket == closing && m_socket != ws::kInvalidSocket) {
                if (RecvToBuffer() <= 0) break;
                if (OnDataArrival) OnDataArrival(static_cast<std::int32_t>(m_recvBuffer.size()));
            }
            if (m_socket != closing) break;
            if (m_state != sckClosing) {
                m_state = sckClosing;
                if (!m_sendBuffer.empty()) SendBufferedData();
            }
            DestroySocket();
            m_state = sckClosed;
            if (OnClose) OnClose();
            break;
        }
        default:
            break;
        }
    });
}

void CSocket::SendData(const SocketValue& varData) {
    try {
        if (m_protocol == sckUDPProtocol) {
            if (!SocketExists()) return;
        } else if (m_socket == ws::kInvalidSocket) {
            throw RuntimeError(kErrWrongProtocolOrState, kWrongState, "CSocket.SendData");
        }
        // Data still waiting for a write notification keep their place in front.
        m_sendBuffer += BytesFromValue(varData);
        SendBufferedData();
    } catch (const RuntimeError& e) {
        if (e.number() == ws::kWsaEnotsock)
            throw RuntimeError(kErrWrongProtocolOrState, kWrongState, "CSocket.SendData");
        throw RuntimeError(e.number(), e.description(), "CSocket.SendData");
    }
}

void CSocket::SendBufferedData() {
    int n;
    if (m_protocol == sckUDPProtocol) {
        if (m_remoteHostIP.empty()) {
            m_resolvePurpose = 1;
            m_requestHandle = MSocketSupport::ResolveHost(m_remoteHost, this);
            if (m_requestHandle == 0) throw MSocketSupport::LastError();
            return;
        }
        ws::SockAddrIn to;
        to.address = ws::inet_addr(m_remoteHostIP);
        to.port = ws::wsaHtons(static_cast<std::uint16_t>(MSocketSupport::LongToUnsigned(m_remotePort)));
        n = ws::sendto(m_socket, m_sendBuffer.data(), static_cast<int>(m_sendBuffer.size()), 0, to);
    } else {
        const std::size_t chunk = std::min<std::size_t>(m_sendBuffer.size(), 0x7FFFFFFF);
        n = ws::send(m_socket, m_sendBuffer.data(), static_cast<int>(chunk), 0);
    }
    if (n == ws::kSocketError) {
        const int code = ws::wsaGetLastError();
        if (code == ws::kWsaEwouldblock) return;  // the write notification brings the rest
        RaiseError(code, "CSocket.SendData");
    }
    if (m_sendBuffer.size() > static_cast<std::size_t>(n)) {
        m_sendBuffer.erase(0, static_cast<std::size_t>(n));
    } else {
        m_sendBuffer.clear();
        MSocketSupport::PostWriteNotification(m_socket);
    }
    if (OnSendProgress) OnSendProgress(n, static_cast<std::int32_t>(m_sendBuffer.size()));
}

void CSocket::CloseSocket() {
    try {
        if (m_socket == ws::kInvalidSocket) return;
        if (m_state == sckConnected) {
            m_state = sckClosing;
            ws::shutdown(m_socket, ws::kSdSend);
        } else {
            DestroySocket();
            m_state = sckClosed;
        }
    } catch (...) {
        // Closing never reports a failure.
    }
}

void CSocket::CloseSocketNow() {
    // CloseSocket's half close would keep reading until the peer stops, which an endless
    // or hostile reply never does.
    m_recvBuffer.clear();
    m_bytesReceived = 0;
    try {
        DestroySocket();
    } catch (...) {
        // The handle is gone either way.
    }
    m_state = sckClosed;
}

void CSocket::TimedOut() {
    CloseSocketNow();
    // A name still being looked up must not connect later.
    m_requestHandle = 0;
    m_state = sckError;
    bool cancel = false;
    if (OnError)
        OnError(static_cast<std::int16_t>(ws::kWsaEtimedout), MSocketSupport::GetErrorDescription(ws::kWsaEtimedout), 0,
                "", "", 0, cancel);
}

void CSocket::DestroySocket() {
    if (m_socket == ws::kInvalidSocket) return;
    // The object forgets the handle before closing it, so a close that fails still leaves it
    // without a socket.
    const ws::Socket s = m_socket;
    m_socket = ws::kInvalidSocket;
    m_bound = false;
    m_broadcast = false;
    m_requestHandle = 0;
    // Unsent bytes belonged to that connection; they must never reach the next one.
    m_sendBuffer.clear();
    MSocketSupport::UnregisterSocket(s);
    if (ws::closesocket(s) != 0) RaiseError(ws::wsaGetLastError(), "CSocket.DestroySocket");
}

}  // namespace tw
