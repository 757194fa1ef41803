// The TLS peers tests use, checked with curl: nginx serving a file, and the herald simulator
// with --tls and --redirect-from in both reply modes.

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "nginx_peer.h"
#include "spawned_process.h"
#include "temp_folder.h"
#include "test_ca.h"

namespace tw::testing {
namespace {

// What curl prints for these arguments (paths here hold no blanks).
std::string curl(const std::string& arguments) {
    std::string out;
    if (FILE* p = ::popen(("curl -sS --max-time 30 " + arguments).c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
        ::pclose(p);
    }
    return out;
}

std::string fileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// The port after `prefix` on a line of the simulator's output, once it is there (0: never).
int announcedPort(const std::string& logFile, const std::string& prefix) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string log = fileText(logFile);
        const std::size_t at = log.find(prefix + "127.0.0.1:");
        if (at != std::string::npos && log.find('\n', at) != std::string::npos)
            return std::stoi(log.substr(at + prefix.size() + 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

TEST(TlsPeers, NginxServesAFileToCurlTrustingTheTestAuthority) {
    if (!NginxPeer::installed()) GTEST_SKIP() << "nginx is not installed";
    TempFolder folder;
    TestCa ca(folder.path());
    std::filesystem::create_directory(folder / "root");
    std::ofstream(folder / "root/server-info.xml") << "<herald/>\n";
    NginxPeer nginx(folder.path(), folder / "root", ca.issue("nginx", "localhost", "127.0.0.1"));
    ASSERT_GT(nginx.port(), 0) << nginx.errorLog();
    EXPECT_EQ(curl("--cacert " + ca.caFile() + " https://127.0.0.1:" + std::to_string(nginx.port()) + "/server-info.xml"),
              "<herald/>\n");
}

TEST(TlsPeers, SimulatorServesOverTlsAndRedirectsItsPlainPort) {
    TempFolder folder;
    TestCa ca(folder.path());
    const ServerFiles cert = ca.issue("sim", "", "127.0.0.1");
    for (const bool chunked : {false, true}) {
        SCOPED_TRACE(chunked ? "chunked" : "Content-Length");
        const std::string log = folder / (chunked ? "chunked.log" : "length.log");
        std::vector<std::string> argv{HERALD_SIM_PATH, "--port", "0", "--tls", cert.certFile, cert.keyFile,
                                      "--redirect-from", "0"};
        if (chunked) argv.push_back("--chunked");
        SpawnedProcess sim(argv, log);
        const int port = announcedPort(log, "listening on ");
        const int plainPort = announcedPort(log, "redirecting from ");
        ASSERT_TRUE(port > 0 && plainPort > 0) << fileText(log);
        const std::string tls = "https://127.0.0.1:" + std::to_string(port);
        const std::string plain = "http://127.0.0.1:" + std::to_string(plainPort);

        EXPECT_EQ(curl("--cacert " + ca.caFile() + " " + tls + "/towerwatchlocations.txt"),
                  tls + "/server-info.xml\r\n" + tls + "/server-info.xml");
        EXPECT_EQ(curl("-o /dev/null -w '%{http_code} %{redirect_url}' '" + plain + "/any/path?q=1'"),
                  "301 " + tls + "/any/path?q=1");
        const std::string replies = curl("-i -L --cacert " + ca.caFile() + " " + plain + "/server-info.xml");
        const std::string reply = replies.substr(std::min(replies.find("HTTP/1.1 200"), replies.size()));
        EXPECT_NE(reply.find(chunked ? "Transfer-Encoding: chunked" : "Content-Length: "), std::string::npos);
        EXPECT_NE(reply.find("</herald>"), std::string::npos) << reply.substr(0, 400);
    }
}

}  // namespace
}  // namespace tw::testing
