#include <fcntl.h>
#include <sys/socket.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#include "event_loop_wait.h"
#include "platform/async_select.h"
#include "platform/message_window.h"
#include "platform/winsock.h"

namespace tw::platform {
namespace {

using tw::testing::runUntil;

TEST(WinsockCalls, ForeignHandlesAndMissingStartUpAreRefused) {
    EXPECT_EQ(socket(kAfInet, kSockStream, kIpProtoTcp), kInvalidSocket);
    EXPECT_EQ(wsaGetLastError(), kWsaNotinitialised);
    WsaData data;
    EXPECT_EQ(wsaStartup(0x0001, data), kWsaVernotsupported);
    ASSERT_EQ(wsaStartup(0x0101, data), 0);
    EXPECT_GT(data.maxUdpDatagram, 0);
    // Descriptor 1 is standard output, not one of our sockets: it must survive a close.
    EXPECT_EQ(closesocket(1), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnotsock);
    EXPECT_NE(::fcntl(1, F_GETFD), -1);
    char byte;
    EXPECT_EQ(recv(1, &byte, 1, 0), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnotsock);
    const Socket s = socket(kAfInet, kSockStream, kIpProtoTcp);
    ASSERT_NE(s, kInvalidSocket);
    int type = 0;
    EXPECT_EQ(getsockopt(s, kSolSocket, kSoType, type), 0);
    EXPECT_EQ(type, kSockStream);
    EXPECT_EQ(getsockopt(s, kSolSocket, 12345, type), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEnoprotoopt);
    EXPECT_EQ(send(s, "x", 1, 0), kSocketError);  // not connected; must not raise SIGPIPE
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_EQ(closesocket(s), kSocketError);
    EXPECT_EQ(wsaCleanup(), 0);
}

TEST(WinsockAddresses, DottedTextRoundTripsOthersAreNone) {
    EXPECT_EQ(inet_ntoa(inet_addr("127.0.0.1")), "127.0.0.1");
    EXPECT_EQ(inet_ntoa(inet_addr("10.20.30.40")), "10.20.30.40");
    for (const char* bad : {"", "localhost", "1.2.3", "1.2.3.256", "1.2.3.4x", "255.255.255.255"})
        EXPECT_EQ(inet_addr(bad), kInaddrNone) << bad;
}

TEST(MessageWindows, PostedMessagesArriveLaterInOrderAndOnlyWhileTheWindowLives) {
    const std::uint32_t a = registerWindowMessage("Test.Alpha");
    const WindowHandle w = createWindow("STATIC", "SOCKET_WINDOW");
    ASSERT_NE(w, 0u);
    std::vector<WParam> seen;
    WindowProcedure previous = setWindowProcedure(w, [&](WindowHandle, std::uint32_t m, WParam wp, LParam) {
        if (m == a) seen.push_back(wp);
        return 0;
    });
    EXPECT_TRUE(previous);
    for (WParam i = 1; i <= 3; ++i) EXPECT_TRUE(postMessage(w, a, i, 0));
    EXPECT_TRUE(seen.empty());  // never delivered from inside postMessage
    ASSERT_TRUE(runUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<WParam>{1, 2, 3}));

    EXPECT_TRUE(postMessage(w, a, 4, 0));
    setWindowProcedure(w, previous);
    EXPECT_TRUE(destroyWindow(w));
    tw::testing::drainEvents();
    EXPECT_EQ(seen.size(), 3u);  // the queued one went with the window
    EXPECT_FALSE(postMessage(w, a, 5, 0));
}

// A registered stream pair over loopback whose notifications are recorded.
struct SelectFixture : ::testing::Test {
    void SetUp() override {
        WsaData data;
        wsaStartup(0x0101, data);
        window = createWindow("STATIC", "select");
        message = registerWindowMessage("Test.Select");
        setWindowProcedure(window, [this](WindowHandle, std::uint32_t m, WParam wp, LParam lp) {
            if (m == message) events.push_back({static_cast<Socket>(wp), lowWord(lp), highWord(lp)});
            return 0;
        });
        listener = socket(kAfInet, kSockStream, kIpProtoTcp);
        SockAddrIn any;
        any.address = inet_addr("127.0.0.1");
        ASSERT_EQ(bind(listener, any), 0);
        ASSERT_EQ(listen(listener, 5), 0);
        ASSERT_EQ(getsockname(listener, bound), 0);
        ASSERT_EQ(wsaAsyncSelect(listener, window, message, 59), 0);
    }
    void TearDown() override {
        for (Socket s : {client, server, listener})
            if (s != kInvalidSocket) closesocket(s);
        destroyWindow(window);
        wsaCleanup();
    }
    int count(Socket s, int event) {
        int n = 0;
        for (auto& e : events) n += e.socket == s && e.event == event;
        return n;
    }
    void connectPair() {
        client = socket(kAfInet, kSockStream, kIpProtoTcp);
        ASSERT_EQ(wsaAsyncSelect(client, window, message, 59), 0);
        ASSERT_EQ(connect(client, bound), kSocketError);
        ASSERT_EQ(wsaGetLastError(), kWsaEwouldblock);
        ASSERT_TRUE(runUntil([&] { return count(client, kFdConnect) == 1 && count(listener, kFdAccept) == 1; }));
        server = accept(listener, nullptr);
        ASSERT_NE(server, kInvalidSocket);
        ASSERT_EQ(wsaAsyncSelect(server, window, message, 59), 0);
    }
    struct Event {
        Socket socket;
        int event, error;
    };
    std::vector<Event> events;
    WindowHandle window = 0;
    std::uint32_t message = 0;
    Socket listener = kInvalidSocket, client = kInvalidSocket, server = kInvalidSocket;
    SockAddrIn bound;
};

TEST_F(SelectFixture, ReadIsNotifiedOnceUntilReadAndCloseComesAfterTheData) {
    connectPair();
    EXPECT_TRUE(runUntil([&] { return count(client, kFdWrite) == 1; }));  // write follows connect
    ASSERT_EQ(send(server, "abcdef", 6, 0), 6);
    ASSERT_TRUE(runUntil([&] { return count(client, kFdRead) == 1; }));
    ASSERT_EQ(shutdown(server, kSdSend), 0);
    tw::testing::drainEvents();
    EXPECT_EQ(count(client, kFdRead), 1);   // not again before a read
    EXPECT_EQ(count(client, kFdClose), 0);  // data still unread
    char buf[4];
    ASSERT_EQ(recv(client, buf, 3, 0), 3);
    ASSERT_TRUE(runUntil([&] { return count(client, kFdRead) == 2; }));
    ASSERT_EQ(recv(client, buf, 4, 0), 3);
    ASSERT_TRUE(runUntil([&] { return count(client, kFdClose) == 1; }));
    EXPECT_EQ(recv(client, buf, 4, 0), 0);
    tw::testing::drainEvents();
    EXPECT_EQ(count(client, kFdClose), 1);
    EXPECT_EQ(count(client, kFdConnect), 1);
    EXPECT_EQ(events.back().error, 0);
}

}  // namespace
}  // namespace tw::platform
