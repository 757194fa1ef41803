// The main window's downloads from peers written by others: the bundled herald simulator
// (cpp-httplib) and, when it is installed, Debian's nginx, in Content-Length and chunked
// replies.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <QProcess>

#include "app/frm_main.h"
#include "downloads_peer.h"
#include "loopback.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

using testing::ChildProcess;
using testing::pumpUntil;
using testing::startHeraldSimulator;
using namespace std::chrono_literals;

// A port that was free a moment ago, for servers that cannot pick their own.
int freeLoopbackPort() {
    int port = 0;
    const int s = testing::bindLoopback(port, 0);
    if (s >= 0) ::close(s);
    return port;
}

bool accepting(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

class LiveDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-live-XXXXXX";
        m_folder = std::string(::mkdtemp(pattern)) + "/";
        services.processFacts.folder = m_folder;
        main.AppPath = m_folder;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string caption() const { return main.lblServerInfo.caption(); }
    std::string file(const std::string& name) const {
        return platform::readWholeFile(m_folder + name).value_or("<none>");
    }
    // Starts a download of `location` and waits for its end.
    bool downloadFrom(const std::string& location) {
        main.HostServers = {location};
        main.Update();
        return pumpUntil([&] { return caption() == "Update complete"; }, 10s);
    }

    std::string startSimulator(ChildProcess& sim, bool chunked) {
        std::vector<std::string> args{"--seed", "7", "--interval", "0", "--exit-after", "30"};
        if (chunked) args.push_back("--chunked");
        return startHeraldSimulator(sim, args);
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    std::string m_folder;
    frmMain main;
};

TEST_F(LiveDownloadTest, SimulatorListAndDocumentsArriveWithBothReplyKinds) {
    for (const bool chunked : {false, true}) {
        SCOPED_TRACE(chunked ? "chunked" : "Content-Length");
        std::filesystem::remove(m_folder + "towerwatchlocations.txt");
        ChildProcess sim;
        const std::string self = startSimulator(sim, chunked);
        ASSERT_FALSE(self.empty());
        WriteSetting("LocationHost", self);

        // No list yet: it is fetched from the simulator and saved as it came, plus CR LF.
        main.HostServers.clear();
        main.ReloadHostServers();
        ASSERT_TRUE(pumpUntil([&] { return caption() == "XML Locations Updated"; }));
        const std::string entry = self + "/server-info.xml";
        EXPECT_EQ(file("towerwatchlocations.txt"), entry + "\r\n" + entry + "\r\n");
        EXPECT_EQ(main.HostServers[0], entry);

        main.Label5.click();
        EXPECT_EQ(caption(), "Connecting...");
        ASSERT_TRUE(pumpUntil([&] { return caption() == "Update complete"; }, 10s));
        const std::string first = main.XMLData;
        EXPECT_EQ(file("server-info.xml"), first + "\r\n");
        EXPECT_GE(main.lblServers.ubound(), 3);

        // The simulator moves the war on before the next document and prints each change.
        main.Label5.click();
        ASSERT_TRUE(pumpUntil([&] { return caption() == "Update complete"; }, 10s));
        EXPECT_NE(main.XMLData, first);
        EXPECT_EQ(file("server-info.xml"), main.XMLData + "\r\n");
        EXPECT_TRUE(pumpUntil([&] { return sim.process().canReadLine(); }));
        const std::string change = sim.process().readLine().toStdString();
        const std::string server = change.substr(0, change.find('\t'));
        EXPECT_NE(main.XMLData.find(server), std::string::npos) << change;
        EXPECT_TRUE(boxes.calls.empty());
    }
}

// A document big enough to arrive in many pieces and, from nginx's SSI, in many chunks.
std::string largeDocument() {
    std::string doc = "<servers>\r\n";
    for (int i = 0; doc.size() < 300000; ++i)
        doc += "<server name=\"Stock " + std::to_string(i) + "\"><status>Up</status><population>" +
               std::to_string(i % 900) + "</population></server>\r\n";
    return doc + "</servers>";
}

TEST_F(LiveDownloadTest, StockNginxStaticAndChunkedReplies) {
    const std::string nginx = "/usr/sbin/nginx";
    if (!std::filesystem::exists(nginx))
        GTEST_SKIP() << "nginx is not installed (apt-get install nginx-core); the stock server check is skipped";
    const std::string root = m_folder + "www/";
    std::filesystem::create_directories(root + "ssi");
    std::filesystem::create_directories(m_folder + "nginx-temp");
    const std::string doc = largeDocument();
    ASSERT_TRUE(platform::writeFileAtomically(root + "server-info.xml", doc));
    // Server-side includes drop the length, so nginx sends the page chunked.
    ASSERT_TRUE(platform::writeFileAtomically(root + "ssi/server-info.html", doc));
    const int port = freeLoopbackPort();
    const std::string temp = m_folder + "nginx-temp/";
    std::ofstream(m_folder + "nginx.conf")
        << "daemon off; master_process off; worker_processes 1; pid " << m_folder << "nginx.pid;\n"
        << "error_log " << m_folder << "error.log;\n"
        << "events { worker_connections 16; }\n"
        << "http { access_log off; client_body_temp_path " << temp << "b; proxy_temp_path " << temp
        << "p; fastcgi_temp_path " << temp << "f; uwsgi_temp_path " << temp << "u; scgi_temp_path " << temp << "s;\n"
        << "  types { text/xml xml; text/html html; }\n"
        << "  server { listen 127.0.0.1:" << port << "; root " << root << ";\n"
        << "    location /ssi/ { ssi on; } } }\n";
    ChildProcess server;
    server.process().start(QString::fromStdString(nginx),
                           {"-p", QString::fromStdString(m_folder), "-e", QString::fromStdString(m_folder + "error.log"),
                            "-c", QString::fromStdString(m_folder + "nginx.conf")});
    ASSERT_TRUE(pumpUntil([&] { return accepting(port); }, 10s)) << file("error.log");

    const std::string host = "127.0.0.1:" + std::to_string(port);
    ASSERT_TRUE(downloadFrom(host + "/server-info.xml")) << caption();
    EXPECT_EQ(main.XMLData, doc);
    EXPECT_EQ(file("server-info.xml"), doc + "\r\n");

    main.XMLData.clear();
    ASSERT_TRUE(downloadFrom(host + "/ssi/server-info.html")) << caption();
    EXPECT_EQ(main.XMLData, doc);
    EXPECT_EQ(file("server-info.xml"), doc + "\r\n");
}

}  // namespace
}  // namespace tw
