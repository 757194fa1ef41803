// The download object on a loopback connection: what passes the seam between the socket and
// the reader, and that a reply's outcome is handed over once.
#include "net/download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_loop_wait.h"

namespace tw {
namespace {

using testing::runUntil;

// Flips a bit of every byte, as a transport that encodes the wire would change them.
std::string flipped(std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(c ^ 0x01);
    return bytes;
}

TEST(Download, BytesCrossTheTransportBothWaysAndTheOutcomeComesOnce) {
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
    Download download(client, true, [&](const ReplyStep& step) { steps.push_back(step); });
    download.transport = {flipped, flipped};
    client.OnConnect = [&] { download.connected([] { return std::string("GET / HTTP/1.1\r\n\r\n"); }); };
    client.OnDataArrival = [&](std::int32_t) { download.arrived(); };
    client.OnClose = [&] { download.closed(); };

    download.start("127.0.0.1", listener.LocalPort());
    EXPECT_TRUE(download.busy());
    ASSERT_TRUE(runUntil([&] { return atServer.size() == 18; }));
    EXPECT_EQ(atServer, flipped("GET / HTTP/1.1\r\n\r\n"));

    server.SendData(flipped("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbo"));
    ASSERT_TRUE(runUntil([&] { return !steps.empty(); }));
    EXPECT_EQ(steps[0].caption, "Receiving update (50%)");
    // Text after the body and the close that follows change nothing more.
    server.SendData(flipped("dy and more"));
    ASSERT_TRUE(runUntil([&] { return client.State() == sckClosed && server.State() == sckClosed; }));
    testing::drainEvents();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].progress, ReplyProgress::Complete);
    EXPECT_FALSE(download.busy());
    EXPECT_EQ(download.takeBody(), "body");
}

}  // namespace
}  // namespace tw
