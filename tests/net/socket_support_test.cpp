#include "net/socket_support.h"

#include <gtest/gtest.h>
#include <vector>

#include "event_loop_wait.h"
#include "net/c_socket.h"
#include "platform/host_resolver.h"
#include "platform/program_name.h"

namespace tw {
namespace {

using testing::runUntil;

struct RecordingSink : SocketEventSink {
    struct Host {
        std::uint32_t task, address;
        std::string name;
        std::int32_t error;
    };
    std::vector<std::pair<std::int32_t, std::int32_t>> events;
    std::vector<Host> hosts;
    void PostSocketEvent(std::int32_t e, std::int32_t err) override { events.push_back({e, err}); }
    void PostGetHostEvent(std::uint32_t t, std::uint32_t a, const std::string& n, std::int32_t err) override {
        hosts.push_back({t, a, n, err});
    }
};

// Holds the service up and one registered TCP socket owned by the sink.
struct ServiceFixture : ::testing::Test {
    void SetUp() override {
        MSocketSupport::InitWinsockService();
        socket = platform::socket(platform::kAfInet, platform::kSockStream, platform::kIpProtoTcp);
        ASSERT_TRUE(MSocketSupport::RegisterSocket(socket, &sink));
    }
    void TearDown() override {
        MSocketSupport::UnregisterSocket(socket);
        platform::closesocket(socket);
        MSocketSupport::CleanupWinsock();
    }
    RecordingSink sink;
    platform::Socket socket = -1;
};

TEST(SocketServiceLifetime, ServiceStopsOnlyWithTheLastLiveObject) {
    ASSERT_FALSE(MSocketSupport::IsStarted());
    {
        CSocket first;
        {
            CSocket second;
            EXPECT_TRUE(MSocketSupport::IsStarted());
        }
        // Another object is alive: the service must stay up for it.
        EXPECT_TRUE(MSocketSupport::IsStarted());
        EXPECT_TRUE(first.Listen(0));
    }
    EXPECT_FALSE(MSocketSupport::IsStarted());
    EXPECT_FALSE(platform::wsaStarted());
    CSocket again;
    EXPECT_TRUE(MSocketSupport::IsStarted());
    EXPECT_GT(MSocketSupport::InitWinsockService(), 0);
    MSocketSupport::CleanupWinsock();
}

TEST_F(ServiceFixture, NotificationSplitsEventAndUnsignedErrorWords) {
    const auto window = MSocketSupport::NotificationWindow();
    const std::uint32_t message = platform::registerWindowMessage(
        platform::programBaseName() + ".WinsockMessage");
    MSocketSupport::WindowProc(window, message, socket, platform::makeLParam(16, 10061));
    MSocketSupport::WindowProc(window, message, socket, platform::makeLParam(1, 0xFFFF));
    MSocketSupport::WindowProc(window, message, socket + 1000, platform::makeLParam(1, 0));  // unknown socket
    MSocketSupport::WindowProc(window, message + 77, socket, 0);                              // other message
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0], std::make_pair(16, 10061));
    EXPECT_EQ(sink.events[1], std::make_pair(1, 65535));
}

TEST_F(ServiceFixture, SecondResolutionForOneObjectSupersedesTheFirstAndLeavesNothingBehind) {
    const std::uint32_t first = MSocketSupport::ResolveHost("localhost", &sink);
    const std::uint32_t second = MSocketSupport::ResolveHost("127.0.0.1", &sink);
    ASSERT_NE(first, second);
    ASSERT_TRUE(runUntil([&] { return !sink.hosts.empty() && platform::pendingHostTasks() == 0; }));
    ASSERT_TRUE(testing::postedEventsDelivered());
    ASSERT_EQ(sink.hosts.size(), 1u);
    EXPECT_EQ(sink.hosts[0].task, second);
    EXPECT_EQ(sink.hosts[0].address, platform::inet_addr("127.0.0.1"));
    EXPECT_EQ(sink.hosts[0].error, 0);
    EXPECT_EQ(MSocketSupport::PendingResolutions(), 0);
    EXPECT_EQ(platform::pendingHostTasks(), 0);
}

}  // namespace
}  // namespace tw
