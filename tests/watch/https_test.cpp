// The watch's downloads over TLS, against a certificate authority made for the test and
// trusted through SSL_CERT_FILE: records cut anywhere, handshakes that fail, redirects, nginx.
#include <stdlib.h>

#include <QProcess>
#include <memory>

#include "nginx_peer.h"
#include "test_ca.h"
#include "watch_fixture.h"

namespace tw::testing {
namespace {

class HttpsTest : public WatchTest {
protected:
    void SetUp() override {
        WatchTest::SetUp();
        ::setenv("SSL_CERT_FILE", ca.caFile().c_str(), 1);
        ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
    }
    void TearDown() override { ::unsetenv("SSL_CERT_FILE"); }

    std::string secureLocation(const std::string& path = "/server-info.xml") const {
        return "https://" + peer.hostPort() + path;
    }
    // An update from the peer through a fresh server end, up to the request it received.
    std::unique_ptr<TlsPeerEnd> startSecureUpdate(const ServerFiles& certificate) {
        auto end = std::make_unique<TlsPeerEnd>(certificate.certFile, certificate.keyFile);
        watch.HostServers = {secureLocation()};
        watch.Update();
        EXPECT_TRUE(runUntil([&] {
            end->pump(peer);
            return end->plain().find("\r\n\r\n") != std::string::npos;
        }));
        return end;
    }
    // Sends in pieces of 1, 4 and then 7000 bytes, each read before the next goes: the
    // record headers and the records themselves are cut.
    void sendCut(const std::string& bytes) {
        for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = at < 5 ? 4 : 7000) {
            peer.send(bytes.substr(at, piece));
            ASSERT_TRUE(runUntil([&] { return peer.readBy(watch.Sock->SocketHandle()); }));
        }
    }

    TempFolder m_caFolder;
    TestCa ca{m_caFolder.path()};
    ServerFiles good = ca.issue("good", "", "127.0.0.1");
};

TEST_F(HttpsTest, RepliesArriveWhereverTheRecordsAreCutAndAreTakenOnlyWhenWhole) {
    const std::string body = kListed + std::string(20000, ' ');  // more than one record, 0x4e34 bytes
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4e34\r\n" + body + "\r\n0\r\n\r\n";
    const std::string untilClose = "HTTP/1.0 200 OK\r\n\r\n" + body;
    const struct {
        const char* label;
        std::string reply;
        bool closeNotify, saved;
        std::string caption;
    } rows[] = {
        {"content length", lengthReply(body), false, true, "Update complete"},
        {"chunked", chunked, false, true, "Update complete"},
        {"until close_notify", untilClose, true, true, "Update complete"},
        {"until a bare close", untilClose, false, false, "Connection to 127.0.0.1 cut short, update failed."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        watch.XMLData = "kept";
        const auto end = startSecureUpdate(good);
        const std::string records = end->seal(row.reply);
        sendCut(records + (row.closeNotify ? end->closeNotify() : ""));
        peer.closeConnection();
        ASSERT_TRUE(waitForCaption(row.caption)) << caption();
        EXPECT_EQ(cache(), row.saved ? body + "\r\n" : kOldCache);
        EXPECT_EQ(watch.XMLData, row.saved ? body : "kept");
        ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
    }
}

TEST_F(HttpsTest, HandshakeProblemsFailTheUpdateAndTheNextStartsCleanly) {
    const struct {
        const char* label;
        ServerFiles certificate;
        std::size_t sendLimit;  // below npos: the peer stops sending there
        std::string caption;
        bool closes;  // after it stopped
    } rows[] = {
        {"another name", ca.issue("other", "other.example", ""), std::string::npos, "Certificate not valid for 127.0.0.1",
         false},
        {"expired", ca.issue("old", "", "127.0.0.1", Validity::Expired), std::string::npos, "Certificate expired",
         false},
        {"untrusted", ca.issue("stray", "", "127.0.0.1", Validity::Current, Issuer::Untrusted),
         std::string::npos, "Certificate not trusted for 127.0.0.1", false},
        {"silent mid-handshake", good, 40, "Update failed: Connection timed out.", false},
        {"closed mid-handshake", good, 40, "TLS handshake with 127.0.0.1 failed", true},
    };
    watch.setDownloadIdleLimit(std::chrono::milliseconds(400));
    watch.XMLData = "kept";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        TlsPeerEnd end(row.certificate.certFile, row.certificate.keyFile);
        watch.HostServers = {secureLocation()};
        watch.Update();
        const bool stops = row.sendLimit != std::string::npos;
        ASSERT_TRUE(runUntil([&] {
            end.pump(peer, row.sendLimit);
            return stops ? end.sent() == row.sendLimit : caption() == row.caption;
        })) << caption();
        if (stops) {
            if (row.closes) peer.closeConnection();
            EXPECT_TRUE(waitForCaption(row.caption)) << caption();
        }
        EXPECT_EQ(cache(), kOldCache);
        EXPECT_EQ(watch.XMLData, "kept");
    }
    // Nothing of those connections reaches this one.
    const auto end = startSecureUpdate(good);
    peer.send(end->seal(lengthReply(kListed)));
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(watch.XMLData, kListed);
    // The watch goes while a handshake is under way.
    watch.Update();
    std::string hello;
    ASSERT_TRUE(runUntil([&] { return !(hello += peer.takeReceived()).empty(); }));
}

TEST_F(HttpsTest, RedirectsAreFollowedUpToFiveHopsAndNeverDowngraded) {
    // http to https, as a public web host does it: the simulator's plain port sends a 301.
    ChildProcess simulator;
    ASSERT_FALSE(startHeraldSimulator(simulator, {"--chunked", "--tls", good.certFile, good.keyFile,
                                                          "--redirect-from", "0"}).empty());
    ASSERT_TRUE(runUntil([&] { return simulator.process().canReadLine(); }));
    const std::string redirecting = simulator.process().readLine().trimmed().toStdString();
    watch.HostServers = {redirecting.substr(redirecting.rfind(' ') + 1) + "/server-info.xml"};
    watch.Update();
    ASSERT_TRUE(runUntil([&] { return caption() == "Update complete"; }, 15000)) << caption();
    EXPECT_NE(watch.XMLData.find("<server"), std::string::npos);

    // A relative Location, and a chain that never ends (refused after five hops).
    peer.respondWith([](const std::string& request) {
        const std::string path = request.substr(4, request.find(' ', 4) - 4);
        if (path == "/herald/start") return std::string("HTTP/1.1 307 Moved\r\nLocation: doc.xml\r\n\r\n");
        if (path == "/herald/doc.xml") return lengthReply(kListed);
        return "HTTP/1.1 302 Found\r\nLocation: " + path + "x\r\nContent-Length: 0\r\n\r\n";
    });
    watch.HostServers = {statusLocation("/herald/start")};
    watch.Update();
    ASSERT_TRUE(runUntil([&] { return caption() == "Update complete" && watch.XMLData == kListed; })) << caption();
    watch.HostServers = {statusLocation("/loop")};
    watch.Update();
    ASSERT_TRUE(waitForCaption("Redirect refused: more than 5 hops")) << caption();
    EXPECT_EQ(peer.requests().back().substr(0, 16), "GET /loopxxxxx H");

    // https to http is refused.
    peer.respondWith(nullptr);
    const auto end = startSecureUpdate(good);
    peer.send(end->seal("HTTP/1.1 301 Moved\r\nLocation: http://" + peer.hostPort() + "/x\r\n\r\n"));
    ASSERT_TRUE(waitForCaption("Redirect refused: https to http (" + peer.hostPort() + ")")) << caption();
    EXPECT_EQ(watch.XMLData, kListed);
    EXPECT_EQ(cache(), kListed + "\r\n");
}

TEST_F(HttpsTest, DownloadsFromNginx) {
    if (!NginxPeer::installed()) GTEST_SKIP() << "nginx is not installed";
    TempFolder site;
    ASSERT_TRUE(platform::writeFileAtomically(site / "server-info.xml", kListed));
    NginxPeer nginx(m_caFolder.path(), site.path(), good);
    ASSERT_NE(nginx.port(), 0) << nginx.errorLog();
    watch.HostServers = {"https://127.0.0.1:" + std::to_string(nginx.port()) + "/server-info.xml"};
    watch.Update();
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(watch.XMLData, kListed);
}

}  // namespace
}  // namespace tw::testing
