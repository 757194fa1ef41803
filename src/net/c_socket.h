#pragma once
// CSocket: the program's asynchronous socket object. One object wraps one socket handle and
// turns the socket service's notifications into events, raised synchronously on the GUI
// thread. As a TCP client: set RemoteHost / RemotePort (or pass them), Connect, SendData on
// OnConnect, GetData on each OnDataArrival, CloseSocket when done; OnClose follows.
//
// Methods raise RuntimeError with a source "CSocket.<operation>"; asynchronous failures come
// as OnError instead. Errors thrown out of event handlers are dropped by the socket service.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/c_socket_data.h"
#include "net/socket_support.h"
#include "platform/winsock.h"

namespace tw {

enum SocketState : std::int32_t {
    sckClosed = 0,
    sckListening = 2,
    sckResolvingHost = 4,
    sckHostResolved = 5,
    sckConnecting = 6,
    sckConnected = 7,
    sckClosing = 8,
    sckError = 9,
};

enum SocketProtocol : std::int32_t {
    sckTCPProtocol = 0,
    sckUDPProtocol = 1,
};

class CSocket : public SocketEventSink {
public:
    // Starts the socket service; raises when it cannot start.
    CSocket();
    ~CSocket() override;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Events.
    std::function<void()> OnClose;
    std::function<void()> OnConnect;
    std::function<void(std::int32_t requestID)> OnConnectionRequest;
    std::function<void(std::int32_t bytesTotal)> OnDataArrival;
    std::function<void(std::int16_t Number, const std::string& Description, std::int32_t Scode,
                       const std::string& Source, const std::string& HelpFile, std::int32_t HelpContext,
                       bool& CancelDisplay)>
        OnError;
    std::function<void()> OnSendComplete;
    std::function<void(std::int32_t bytesSent, std::int32_t bytesRemaining)> OnSendProgress;

    // Properties.
    std::int32_t State() const { return m_state; }
    std::int32_t SocketHandle() const { return m_socket; }
    std::int32_t RemotePort() const { return m_remotePort; }
    void RemotePort(std::int32_t port) { m_remotePort = port; }
    const std::string& RemoteHostIP() const { return m_remoteHostIP; }
    const std::string& RemoteHost() const { return m_remoteHost; }
    void RemoteHost(const std::string& NewValue);
    std::int32_t Protocol() const { return m_protocol; }
    void Protocol(std::int32_t protocol);  // ignored while the object has a socket
    std::int32_t LocalPort() const { return m_localPort; }
    void LocalPort(std::int32_t port) { m_localPort = port; }
    const std::string& LocalIP() const { return m_localIP; }
    const std::string& LocalHostName() const { return m_localHostName; }
    std::int32_t BytesReceived() const { return m_bytesReceived; }

    // Methods. A Connect on a socket that is still connecting, connected or half closed
    // drops that connection (without OnClose) and starts afresh.
    void Connect(const std::optional<std::string>& strRemoteHost = std::nullopt,
                 const std::optional<std::int32_t>& lngRemotePort = std::nullopt);
    void CloseSocket();
    // Ends the connection at once, for a reply that is given up: the handle is closed without
    // waiting for the peer (which sees the connection end), nothing more is read, bytes not
    // yet taken are dropped and no OnClose follows. State 0 afterwards; never fails.
    void CloseSocketNow();
    // For an owner's own time limit: ends the connection as CloseSocketNow does, then raises
    // OnError with Windows Sockets error 10060 and its text, as when the system gives up on
    // a connection. State 9 afterwards.
    void TimedOut();
    // Appends to whatever is still waiting to be sent.
    void SendData(const SocketValue& varData);
    void SendData(const std::string& text) { SendData(SocketValue(text)); }
    void SendData(const char* text) { SendData(SocketValue(std::string(text))); }
    // varData is left unchanged when nothing is buffered or the type is unknown.
    void GetData(SocketValue& varData, const std::optional<std::int32_t>& varType = std::nullopt,
                 const std::optional<std::int32_t>& maxLen = std::nullopt);
    void PeekData(SocketValue& varData, const std::optional<std::int32_t>& varType = std::nullopt,
                  const std::optional<std::int32_t>& maxLen = std::nullopt);
    // Text forms: the buffered bytes (up to maxLen) as text; `text` unchanged when none.
    void GetData(std::string& text, const std::optional<std::int32_t>& maxLen = std::nullopt);
    void PeekData(std::string& text, const std::optional<std::int32_t>& maxLen = std::nullopt);
    void Bind(const std::optional<std::int32_t>& lngLocalPort = std::nullopt,
              const std::optional<std::string>& strLocalIP = std::nullopt);
    bool Listen(const std::optional<std::int32_t>& lngPort = std::nullopt);
    void Accept(std::int32_t requestID);

    // Called by the socket service only.
    void PostSocketEvent(std::int32_t eventCode, std::int32_t errorCode) override;
    void PostGetHostEvent(std::uint32_t taskHandle, std::uint32_t hostAddress, const std::string& hostName,
                          std::int32_t errorCode) override;

private:
    // A new registered socket of the object's protocol; kInvalidSocket when none can be made.
    platform::Socket vbSocket();
    bool SocketExists();
    void ReadBufferSizes();
    std::int32_t RecvToBuffer();
    void RecvData(SocketValue& varData, bool take, const std::optional<std::int32_t>& varType,
                  const std::optional<std::int32_t>& maxLen, const char* source);
    std::string TakeBytes(bool take, const std::optional<std::int32_t>& maxLen);
    void SendBufferedData();
    void DestroySocket();
    // connect() to the address and the remote port: State Connecting, or raises with source.
    void StartConnect(std::uint32_t address, const char* source);
    void RaiseError(std::int32_t number, const std::string& source);
    void FillLocalAddress();

    std::int32_t m_resolvePurpose = 0;
    std::int32_t m_protocol = sckTCPProtocol;
    std::int32_t m_state = sckClosed;
    std::int32_t m_bytesReceived = 0;
    std::string m_localHostName;
    std::string m_localIP;
    std::int32_t m_localPort = 0;
    std::string m_remoteHost;
    std::string m_remoteHostIP;
    std::int32_t m_remotePort = 0;
    platform::Socket m_socket = platform::kInvalidSocket;
    std::uint32_t m_requestHandle = 0;
    std::string m_sendBuffer;
    std::string m_recvBuffer;
    std::int32_t m_recvBufferSize = 8192;
    std::int32_t m_maxMsgSize = 0;
    bool m_bound = false;
    bool m_broadcast = false;
};

}  // namespace tw
