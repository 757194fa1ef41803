// The download object on a loopback connection: the request goes out, and a reply's outcome
// is handed over once.
#include "net/download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_loop_wait.h"

namespace tw {
namespace {

using testing::runUntil;

TEST(Download, RequestGoesOutAndTheOutcomeComesOnce) {
    CSocket listener, server, client;
    ASSERT_TRUE(listener.Listen(0));
    std::string atServer;
    listener.OnConnectionRequest = [&](std::int32_t id) { server.Accept(id); };
    server.OnDataArrival = [&](std::int32_t) {
        std::string piece;
        server.GetData(piece);
        atServer += piece;
    };
    std::vector<ReplyStep> steps;
    Download download(client, true, [&](const ReplyStep& step) { steps.push_back(step); },
                      [](const Location& at) { return "GET " + at.path + " HTTP/1.1\r\n\r\n"; });
    client.OnConnect = [&] { download.connected(); };
    client.OnDataArrival = [&](std::int32_t) { download.arrived(); };
    client.OnClose = [&] { download.closed(); };

    download.start(splitLocation("127.0.0.1:" + std::to_string(listener.LocalPort()) + "/"));
    EXPECT_TRUE(download.busy());
    ASSERT_TRUE(runUntil([&] { return atServer.size() == 18; }));
    EXPECT_EQ(atServer, "GET / HTTP/1.1\r\n\r\n");

    server.SendData("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbo");
    ASSERT_TRUE(runUntil([&] { return !steps.empty(); }));
    EXPECT_EQ(steps[0].caption, "Receiving update (50%)");
    // Text after the body and the close that follows change nothing more.
    server.SendData("dy and more");
    ASSERT_TRUE(runUntil([&] { return client.State() == sckClosed && server.State() == sckClosed; }));
    testing::drainEvents();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].progress, ReplyProgress::Complete);
    EXPECT_FALSE(download.busy());
    EXPECT_EQ(download.takeBody(), "body");
}

}  // namespace
}  // namespace tw
