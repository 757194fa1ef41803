#include <gtest/gtest.h>
#include <vector>

#include "event_loop_wait.h"
#include "platform/host_resolver.h"
#include "platform/message_window.h"
#include "platform/winsock.h"

namespace tw::platform {
namespace {

using tw::testing::runUntil;

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
    ASSERT_TRUE(tw::testing::postedEventsDelivered());
    EXPECT_EQ(seen.size(), 3u);  // the queued one went with the window
    EXPECT_FALSE(postMessage(w, a, 5, 0));
}

TEST(HostResolver, CancellingALookupWhoseCompletionIsPostedSaysItCameTooLate) {
    WsaData data;
    wsaStartup(0x0101, data);
    const WindowHandle w = createWindow("STATIC", "resolve");
    const std::uint32_t m = registerWindowMessage("Test.Resolve");
    std::vector<WParam> done;
    setWindowProcedure(w, [&](WindowHandle, std::uint32_t msg, WParam wp, LParam) {
        if (msg == m) done.push_back(wp);
        return 0;
    });
    const std::uint32_t task = wsaAsyncGetHostByName(w, m, "localhost");
    ASSERT_TRUE(runUntil([&] { return !done.empty(); }, tw::testing::kFailedLookupDeadlineMs));
    // Its completion has arrived: a cancel can no longer promise silence.
    EXPECT_EQ(wsaCancelAsyncRequest(task), kSocketError);
    EXPECT_EQ(wsaGetLastError(), kWsaEalready);
    EXPECT_TRUE(takeHostEntry(task));
    EXPECT_EQ(pendingHostTasks(), 0);
    destroyWindow(w);
    wsaCleanup();
}

}  // namespace
}  // namespace tw::platform
