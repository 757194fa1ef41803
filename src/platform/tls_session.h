#pragma once
// One TLS client connection over memory buffers: the caller moves the bytes between it and
// its socket, so nothing here reads, writes or waits, and a handshake never blocks the
// thread. TLS 1.2 or newer; the server's chain is verified against the system's trust (on
// Linux OpenSSL's default store, which SSL_CERT_FILE and SSL_CERT_DIR move, as for other
// OpenSSL programs; on Windows the user's and the machine's certificate stores) and its
// certificate must name the host, or hold the IP address that was connected to. There is
// no way to turn verification off.

#include <memory>
#include <string>
#include <string_view>

namespace tw::platform {

// What the connections of one download share: the protocol floor and the trust store, read
// when the context is made. A context that could not be made makes its sessions fail.
class TlsClientContext {
public:
    TlsClientContext();
    ~TlsClientContext();
    TlsClientContext(const TlsClientContext&) = delete;
    TlsClientContext& operator=(const TlsClientContext&) = delete;

    struct Impl;
    Impl* impl() const { return m_impl.get(); }

private:
    std::unique_ptr<Impl> m_impl;
};

class TlsSession {
public:
    // Starts the handshake for `host` (a name, sent as the server name and checked against
    // the certificate, or an IP address, checked alone): its first bytes wait in outgoing().
    TlsSession(std::shared_ptr<const TlsClientContext> context, const std::string& host);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Bytes that arrived on the socket: they advance the handshake, and the text they carry
    // afterwards collects for takePlain.
    void receive(std::string_view socketBytes);
    // Text to send; held until the handshake is done.
    void send(std::string_view plain);
    // What must go out on the socket now (handshake messages, records), moved out.
    std::string takeOutgoing();
    std::string takePlain();

    bool established() const;
    // The server ended its side properly: no text follows, and none was cut off.
    bool closeNotifyReceived() const;
    // Once failed nothing more is read or written. The caption says what was wrong, for the
    // status line: "Certificate expired", "Certificate not trusted for <host>", ...
    bool failed() const;
    const std::string& failure() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tw::platform
