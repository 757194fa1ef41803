#include "net/c_socket.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "error_number.h"
#include "event_loop_wait.h"
#include "platform/host_resolver.h"

namespace tw {
namespace {

using testing::errorNumberOf;
using testing::runUntil;

struct ErrorSeen {
    int number = 0;
    std::string description, source;
};

// A CSocket that writes down what it was told.
struct Watched {
    CSocket sock;
    std::vector<std::string> log;
    std::vector<int> arrivals;
    std::vector<ErrorSeen> errors;
    std::string received;  // what GetData took
    bool takeOnArrival = false;

    Watched() {
        sock.OnConnect = [this] { log.push_back("connect"); };
        sock.OnClose = [this] { log.push_back("close"); };
        sock.OnDataArrival = [this](std::int32_t total) {
            arrivals.push_back(total);
            log.push_back("data");
            if (takeOnArrival) {
                std::string piece;
                sock.GetData(piece);
                received += piece;
            }
        };
        sock.OnError = [this](std::int16_t n, const std::string& d, std::int32_t, const std::string& s,
                              const std::string&, std::int32_t, bool&) { errors.push_back({n, d, s}); };
    }
};

// A loopback listener that accepts one connection into `peer`.
struct LoopbackPair : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(listener.Listen(0));
        listener.OnConnectionRequest = [this](std::int32_t id) { peer.sock.Accept(id); };
        peer.takeOnArrival = true;
    }
    void connectClient() {
        client.sock.Connect("127.0.0.1", listener.LocalPort());
        ASSERT_TRUE(runUntil([&] { return client.sock.State() == sckConnected && peer.sock.State() == sckConnected; }));
    }
    CSocket listener;
    Watched peer;
    Watched client;
};

int closedLoopbackPort() {
    CSocket probe;
    probe.Listen(0);
    return probe.LocalPort();  // closed again when the probe goes
}

TEST_F(LoopbackPair, ConnectToADottedAddressOrANameReachesConnected) {
    connectClient();
    EXPECT_EQ(client.log, (std::vector<std::string>{"connect"}));
    EXPECT_EQ(client.sock.LocalIP(), "127.0.0.1");
    EXPECT_EQ(peer.sock.RemotePort(), client.sock.LocalPort());

    // A name, here given beforehand, is resolved first.
    Watched byName, second;
    listener.OnConnectionRequest = [&](std::int32_t id) { second.sock.Accept(id); };
    byName.sock.RemoteHost("localhost");
    byName.sock.RemotePort(listener.LocalPort());
    byName.sock.Connect();
    EXPECT_EQ(byName.sock.State(), sckResolvingHost);
    ASSERT_TRUE(runUntil([&] { return byName.sock.State() == sckConnected; }));
    EXPECT_EQ(byName.sock.RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(byName.sock.RemoteHost(), "localhost");
}

TEST(CSocketResolution, ResolvedHostThatCannotBeConnectedStaysHostResolvedWithError) {
    Watched w;
    // Not taken as a dotted address (it is the "none" value), so it is resolved; a TCP
    // connect to the broadcast address then fails at once.
    w.sock.Connect("255.255.255.255", 80);
    EXPECT_EQ(w.sock.State(), sckResolvingHost);
    ASSERT_TRUE(runUntil([&] { return !w.errors.empty(); }));
    EXPECT_EQ(w.sock.State(), sckHostResolved);
    EXPECT_EQ(w.errors[0].source, "CSocket.PostGetHostEvent");
}

TEST(CSocketResolution, UnresolvableNameEndsInErrorStateWithItsCode) {
    Watched w;
    w.sock.Connect("no-such-host.invalid", 80);
    ASSERT_TRUE(runUntil([&] { return !w.errors.empty(); }, testing::kFailedLookupDeadlineMs));
    EXPECT_EQ(w.sock.State(), sckError);
    EXPECT_GE(w.errors[0].number, 11001);
    EXPECT_LE(w.errors[0].number, 11004);
    EXPECT_EQ(w.errors[0].description, MSocketSupport::GetErrorDescription(w.errors[0].number));
    EXPECT_EQ(w.errors[0].source, "");
    EXPECT_TRUE(w.log.empty());
}

TEST_F(LoopbackPair, StaleClosedOrDestroyedResolutionsAreIgnored) {
    client.sock.Connect("localhost", listener.LocalPort());
    // A completion carrying a task that is not the current request changes nothing.
    client.sock.PostGetHostEvent(0x7FFFFFF0u, platform::inet_addr("10.9.9.9"), "stale", 0);
    EXPECT_EQ(client.sock.State(), sckResolvingHost);
    EXPECT_EQ(client.sock.RemoteHostIP(), "");
    // Closing while resolving drops the resolution: no connect follows.
    client.sock.CloseSocket();
    EXPECT_EQ(client.sock.State(), sckClosed);
    EXPECT_EQ(MSocketSupport::PendingResolutions(), 0);
    // An object destroyed while resolving leaves nothing to deliver either.
    auto gone = std::make_unique<Watched>();
    gone->sock.Connect("localhost", 80);
    gone.reset();
    ASSERT_TRUE(runUntil([] { return platform::pendingHostTasks() == 0; }));
    ASSERT_TRUE(testing::postedEventsDelivered());
    EXPECT_EQ(MSocketSupport::PendingResolutions(), 0);
    EXPECT_TRUE(client.log.empty());
    EXPECT_EQ(client.sock.State(), sckClosed);
}

TEST(CSocketConnectErrors, RefusedPortEmptyHostBadPortAndSendWithoutConnection) {
    Watched w;
    w.sock.Connect("127.0.0.1", closedLoopbackPort());
    ASSERT_TRUE(runUntil([&] { return !w.errors.empty(); }));
    EXPECT_EQ(w.sock.State(), sckError);
    EXPECT_EQ(w.errors[0].number, 10061);
    EXPECT_EQ(w.errors[0].description, "Connection refused.");
    EXPECT_EQ(w.sock.SocketHandle(), -1);
    ASSERT_TRUE(testing::postedEventsDelivered());
    EXPECT_EQ(w.errors.size(), 1u) << "reported once";

    // No host, a port out of range, a send without a connection: raised at once.
    try {
        Watched().sock.Connect();
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 10049);
        EXPECT_EQ(e.description(), "Cannot assign requested address.");
        EXPECT_EQ(e.source(), "CSocket.Connect");
    }
    for (int port : {-1, 65536}) EXPECT_EQ(errorNumberOf([&] { Watched().sock.Connect("localhost", port); }), 6) << port;
    EXPECT_EQ(errorNumberOf([] { CSocket().SendData("abc"); }), 40006);
}

TEST_F(LoopbackPair, SecondSendWhileDataPendAppendsInOrder) {
    connectClient();
    std::int32_t pending = 0;
    client.sock.OnSendProgress = [&](std::int32_t, std::int32_t left) { pending = left; };
    const std::string big(16 << 20, 'x');  // more than the loopback buffers hold
    client.sock.SendData(big);
    ASSERT_GT(pending, 0);
    // The second send comes from the loop, once the peer has read a first piece and the
    // client still holds the rest of the first.
    bool tailSent = false;
    peer.sock.OnDataArrival = [&](std::int32_t) {
        std::string piece;
        peer.sock.GetData(piece);
        peer.received += piece;
        if (tailSent) return;
        tailSent = true;
        EXPECT_GT(pending, 0);
        client.sock.SendData("tail");
    };
    ASSERT_TRUE(runUntil([&] { return peer.received.size() >= big.size() + 4; }, 20000));
    EXPECT_EQ(peer.received.size(), big.size() + 4);
    EXPECT_EQ(peer.received.find_first_not_of('x'), big.size());
    EXPECT_EQ(peer.received.substr(big.size()), "tail");
}

TEST_F(LoopbackPair, DataInPiecesGrowsTheBufferAndBytesReceived) {
    connectClient();
    peer.sock.SendData("hello");
    ASSERT_TRUE(runUntil([&] { return client.arrivals.size() == 1; }));
    EXPECT_EQ(client.arrivals[0], 5);
    EXPECT_EQ(client.sock.BytesReceived(), 5);
    peer.sock.SendData("world");
    ASSERT_TRUE(runUntil([&] { return client.arrivals.size() == 2; }));
    EXPECT_EQ(client.arrivals[1], 10);  // the whole buffer, not only the new bytes
    EXPECT_EQ(client.sock.BytesReceived(), 10);

    std::string text;
    client.sock.GetData(text, 4);
    EXPECT_EQ(text, "hell");
    EXPECT_EQ(client.sock.BytesReceived(), 6);
    client.sock.GetData(text);
    EXPECT_EQ(text, "oworld");
    EXPECT_EQ(client.sock.BytesReceived(), 0);
}

TEST_F(LoopbackPair, CloseNowEndsAtOnceWithoutOnCloseAndDropsWhatWasUnread) {
    connectClient();
    peer.sock.SendData("unread");
    ASSERT_TRUE(runUntil([&] { return !client.arrivals.empty(); }));
    client.sock.CloseSocketNow();
    EXPECT_EQ(client.sock.State(), sckClosed);
    EXPECT_EQ(client.sock.SocketHandle(), -1);
    std::string text = "untouched";
    client.sock.GetData(text);
    EXPECT_EQ(text, "untouched");
    // The peer learns of the end (a close or a reset); the client hears nothing more.
    ASSERT_TRUE(runUntil([&] { return peer.sock.State() == sckClosed || peer.sock.State() == sckError; }));
    ASSERT_TRUE(testing::postedEventsDelivered());
    EXPECT_EQ(client.log, (std::vector<std::string>{"connect", "data"}));
}

TEST_F(LoopbackPair, CloserWaitsForTheNotificationAndTheOtherSideGetsTheLastDataBeforeOnClose) {
    connectClient();
    peer.sock.SendData("last words");
    const int handle = peer.sock.SocketHandle();
    peer.sock.CloseSocket();
    EXPECT_EQ(peer.sock.State(), sckClosing);
    EXPECT_EQ(peer.sock.SocketHandle(), handle);
    ASSERT_TRUE(runUntil([&] { return !client.log.empty() && client.log.back() == "close"; }));
    EXPECT_EQ(client.log.front(), "connect");
    EXPECT_EQ(client.log[client.log.size() - 2], "data");
    std::string text;
    client.sock.GetData(text);
    EXPECT_EQ(text, "last words");
    EXPECT_EQ(client.sock.State(), sckClosed);
    // The closer hears its close once the other side has closed back.
    ASSERT_TRUE(runUntil([&] { return !peer.log.empty() && peer.log.back() == "close"; }));
    EXPECT_EQ(peer.sock.State(), sckClosed);
    EXPECT_EQ(peer.sock.SocketHandle(), -1);
    // The close notification arrives once: nothing more follows.
    const auto seen = client.log.size();
    ASSERT_TRUE(testing::postedEventsDelivered());
    EXPECT_EQ(client.log.size(), seen);
}

TEST_F(LoopbackPair, ReconnectWhileStillConnectedEndsTheOldConnectionAndStartsAFreshOne) {
    connectClient();
    Watched second;
    listener.OnConnectionRequest = [&](std::int32_t id) { second.sock.Accept(id); };
    client.sock.Connect("127.0.0.1", listener.LocalPort());
    EXPECT_EQ(client.sock.State(), sckConnecting);
    ASSERT_TRUE(runUntil([&] { return client.sock.State() == sckConnected && second.sock.State() == sckConnected; }));
    // The first peer sees its connection end; the client raises no OnClose for it.
    ASSERT_TRUE(runUntil([&] { return !peer.log.empty() && peer.log.back() == "close"; }));
    EXPECT_EQ(peer.sock.State(), sckClosed);
    EXPECT_EQ(client.log, (std::vector<std::string>{"connect", "connect"}));
}

TEST_F(LoopbackPair, UnsentBytesOfAnEndedConnectionNeverReachTheNextOne) {
    connectClient();
    peer.takeOnArrival = false;
    peer.sock.OnDataArrival = nullptr;  // the first peer reads nothing: the client's send backs up
    client.sock.SendData(std::string(64 << 20, 'x'));
    client.sock.CloseSocket();
    Watched second;
    second.takeOnArrival = true;
    listener.OnConnectionRequest = [&](std::int32_t id) { second.sock.Accept(id); };
    client.sock.Connect("127.0.0.1", listener.LocalPort());
    ASSERT_TRUE(runUntil([&] { return client.sock.State() == sckConnected && second.sock.State() == sckConnected; }));
    // Whatever of the old queue leaked would come before the last piece sent.
    client.sock.SendData(std::string("GET / HTTP/1.1\r\n\r\n"));
    client.sock.SendData(std::string("END"));
    ASSERT_TRUE(runUntil([&] { return second.received.ends_with("END"); }));
    EXPECT_EQ(second.received, "GET / HTTP/1.1\r\n\r\nEND");
}

}  // namespace
}  // namespace tw
