// The Schannel session against native TLS peers (the simulator with certificates of a test
// authority, started by tls_peers.sh), over a plain blocking socket: no event loop needed.
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/tls_session.h"

namespace tw {
namespace {

using platform::TlsClientContext;
using platform::TlsSession;

std::string peersFolder() {
    const char* folder = std::getenv("TW_TLS_PEERS");
    return folder ? std::string("Z:") + folder : std::string();  // a Linux path, seen through Wine's Z:
}

std::map<std::string, int> peerPorts() {
    std::map<std::string, int> ports;
    std::ifstream lines(peersFolder() + "/peers");
    std::string kind;
    for (int port; lines >> kind >> port;) ports[kind] = port;
    return ports;
}

// The test authority in the current user's Root store of the test prefix.
bool trustTestAuthority() {
    std::ifstream file(peersFolder() + "/ca.der", std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!root || der.empty()) return false;
    const bool added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                        reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    return added;
}

struct Fetched {
    bool established = false;
    bool closeNotify = false;
    std::string failure;
    std::string plain;
};

// One request for the status document through a session for `host`, to 127.0.0.1:port.
Fetched fetch(int port, const std::string& host) {
    Fetched result;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    DWORD timeout = 20000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        closesocket(s);
        result.failure = "no connection";
        return result;
    }
    TlsSession session(std::make_shared<TlsClientContext>(), host);
    session.send("GET /server-info.xml HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
    for (;;) {
        const std::string out = session.takeOutgoing();
        if (!out.empty()) send(s, out.data(), static_cast<int>(out.size()), 0);
        result.plain += session.takePlain();
        if (session.failed() || session.closeNotifyReceived()) break;
        char buffer[16384];
        const int got = recv(s, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        session.receive(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    closesocket(s);
    result.established = session.established();
    result.closeNotify = session.closeNotifyReceived();
    result.failure = session.failure();
    return result;
}

class SchannelSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    void SetUp() override {
        ports = peerPorts();
        ASSERT_EQ(ports.count("good"), 1u) << "no peers in " << peersFolder();
        ASSERT_TRUE(trustTestAuthority());
    }
    std::map<std::string, int> ports;
};

TEST_F(SchannelSessionTest, DownloadsFromATrustedPeerByAddressAndByName) {
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        const Fetched got = fetch(ports["good"], host);
        EXPECT_TRUE(got.established) << host << ": " << got.failure;
        EXPECT_EQ(got.failure, "") << host;
        EXPECT_EQ(got.plain.rfind("HTTP/1.1 200", 0), 0u) << host << ": " << got.plain.substr(0, 80);
        EXPECT_NE(got.plain.find("</herald>"), std::string::npos) << host;
        EXPECT_TRUE(got.closeNotify) << host << ": the simulator ends with close_notify";
    }
}

TEST_F(SchannelSessionTest, ABareCloseAfterABodyWithoutLengthIsNoCloseNotify) {
    const Fetched got = fetch(ports["bare"], "localhost");
    EXPECT_EQ(got.failure, "");
    EXPECT_EQ(got.plain, "HTTP/1.0 200 OK\r\n\r\nuntil the end");
    EXPECT_FALSE(got.closeNotify) << "the reply may have been cut off: that is not the end";
}

TEST_F(SchannelSessionTest, EachBadCertificateFailsWithItsCaptionAndDeliversNothing) {
    const struct {
        const char* peer;
        const char* host;
        const char* caption;
    } rows[] = {
        {"untrusted", "127.0.0.1", "Certificate not trusted for 127.0.0.1"},
        {"untrusted", "localhost", "Certificate not trusted for localhost"},
        // Wine's policy check passes a partial chain; the chain's own status does not.
        {"unknownissuer", "localhost", "Certificate not trusted for localhost"},
        {"wrongname", "127.0.0.1", "Certificate not valid for 127.0.0.1"},
        {"wrongname", "localhost", "Certificate not valid for localhost"},
        {"expired", "127.0.0.1", "Certificate expired"},
        {"expired", "localhost", "Certificate expired"},
    };
    for (const auto& row : rows) {
        const Fetched got = fetch(ports[row.peer], row.host);
        EXPECT_EQ(got.failure, row.caption) << row.peer << " as " << row.host;
        EXPECT_FALSE(got.established) << row.peer << " as " << row.host;
        EXPECT_EQ(got.plain, "") << row.peer << " as " << row.host;
    }
}

}  // namespace
}  // namespace tw
