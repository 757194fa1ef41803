// The watch's HTTPS downloads through Schannel against the native simulator peers: the
// OpenSSL peer end of https_test.cpp has no Windows counterpart.
#include "watch_fixture.h"
// After the platform headers: windows.h defines names they use as constants.
#include "tls_peers_win32.h"

namespace tw::testing {
namespace {

class SchannelWatchTest : public WatchTest {
protected:
    void SetUp() override {
        WatchTest::SetUp();
        ports = tlsPeerPorts();
        ASSERT_FALSE(ports.empty()) << "no peers in " << tlsPeersFolder();
        ASSERT_TRUE(trustTlsTestAuthority());
        ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
    }
    void update(const std::string& kind, const std::string& host) {
        watch.HostServers = {"https://" + host + ":" + std::to_string(ports[kind]) + "/server-info.xml"};
        watch.Update();
    }
    std::map<std::string, int> ports;
};

TEST_F(SchannelWatchTest, BadCertificatesLeaveTheCacheAsItWasAndATrustedPeerIsCached) {
    const struct {
        const char* peer;
        const char* host;
        const char* caption;
    } rows[] = {
        {"untrusted", "127.0.0.1", "Certificate not trusted for 127.0.0.1"},
        {"unknownissuer", "localhost", "Certificate not trusted for localhost"},
        {"wrongname", "localhost", "Certificate not valid for localhost"},
        {"expired", "127.0.0.1", "Certificate expired"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.peer);
        update(row.peer, row.host);
        ASSERT_TRUE(waitForCaption(row.caption, 20000)) << caption();
        EXPECT_EQ(cache(), kOldCache);
    }
    update("good", "localhost");
    ASSERT_TRUE(waitForCaption("Update complete", 20000)) << caption();
    EXPECT_NE(cache().find("<server name="), std::string::npos) << cache();
}

}  // namespace
}  // namespace tw::testing
