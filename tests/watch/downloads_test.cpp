// The watch's status download against a scripted loopback peer: the exact request bytes,
// what is saved, and replies that must change nothing.
#include <filesystem>

#include "watch_fixture.h"

namespace tw::testing {
namespace {

using DownloadTest = WatchTest;

TEST_F(DownloadTest, RequestBytesOfBothDownloadsAreExact) {
    WriteSetting("LocationHost", peer.hostPort());
    const std::string host = peer.hostPort();
    auto request = [&](const std::string& path) {
        return "GET " + path + " HTTP/1.1\r\nUser-Agent: Towerwatch (" + host + ")\r\nHost: " + host + "\r\n\r\n";
    };
    startUpdate("/herald/server-info.xml");
    EXPECT_EQ(peer.requests().back(), request("/herald/server-info.xml"));

    // No list file: the reload fetches it from the maker's host.
    watch.ReloadHostServers();
    ASSERT_TRUE(peer.waitForRequests(2));
    EXPECT_TRUE(waitForCaption("Updating XML Locations"));
    EXPECT_EQ(peer.requests().back(), request("/towerwatchlocations.txt"));
    EXPECT_EQ(peer.connectionsAccepted(), 2);
}

TEST_F(DownloadTest, BodyReadUntilTheServerClosesIsSavedOnTheClose) {
    ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
    startUpdate();
    peer.send("HTTP/1.0 200 OK\r\nServer: old\r\n\r\n" + kListed);
    peer.closeConnection();
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(watch.XMLData, kListed);
    EXPECT_EQ(cache(), kListed + "\r\n");
}

TEST_F(DownloadTest, BadRepliesLeaveTheCacheByteIdentical) {
    struct Case {
        const char* label;
        std::string reply, caption;  // caption: what the status line ends with
    };
    // Which replies fail, and with which caption, is the reply reader's own table; here: one
    // given up on and one cut short by the close leave the saved document as it was.
    const Case cases[] = {
        {"length after the blank line", "HTTP/1.1 200 OK\r\n\r\nContent-Length: 4\r\n\r\nabcd", "HTTP Header Parse Error!"},
        {"closed mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(25, 'b'),
         "Receiving update (25%)"},
    };
    ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
    watch.XMLData = "kept";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        startUpdate();
        peer.send(c.reply);
        peer.closeConnection();
        EXPECT_TRUE(runUntil([&] { return listener.heard.back() == "fresh"; }));
        EXPECT_EQ(caption(), c.caption);
        EXPECT_EQ(cache(), kOldCache);
        EXPECT_EQ(watch.XMLData, "kept");
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DownloadTest, GivingUpOnAReplyEndsTheConnectionHoweverMuchTheServerStillSends) {
    // A misplaced length, an error status and a header that never ends are each given up;
    // a server that keeps sending then finds the connection gone instead of read to its end.
    const std::string starts[] = {"HTTP/1.1 200 OK\r\n\r\nContent-Length: 1\r\n", "HTTP/1.1 503 Busy\r\n\r\n",
                                  "HTTP/1.1 200 OK\r\nX-Endless: "};
    const std::string endless(64 * 1024, 'q');
    for (const std::string& start : starts) {
        SCOPED_TRACE(start);
        startUpdate();
        bool open = peer.send(start);
        std::size_t sent = 0;
        for (; open && sent < (std::size_t{64} << 20); sent += endless.size()) open = peer.send(endless);
        EXPECT_FALSE(open);
        EXPECT_LT(sent, std::size_t{32} << 20);
        EXPECT_EQ(watch.Sock->SocketHandle(), -1);
        EXPECT_EQ(watch.XMLData, "");
    }
}

TEST_F(DownloadTest, NewUpdateEndsASilentOrUnfinishedDownloadForGood) {
    // The first peer connection never answers; the second sends half a reply; the third
    // completes. Nothing the first two send later may reach the third.
    startUpdate();
    startUpdate();
    EXPECT_TRUE(runUntil([&] { return peer.connectionsAccepted() == 2; }));
    peer.send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nOLDOLD");
    ASSERT_TRUE(waitForCaption("Receiving update (30%)"));
    startUpdate();
    peer.send(lengthReply(kListed));
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(watch.XMLData, kListed);
    EXPECT_EQ(cache(), kListed + "\r\n");
    EXPECT_EQ(peer.requests().size(), 3u);
}

TEST_F(DownloadTest, FailedCacheWriteIsNotReportedAsSuccess) {
    // A folder in the cache file's place cannot be replaced by a file.
    std::filesystem::create_directories(folder + "server-info.xml/inside");
    WriteSetting("LastUpdate", "before");
    watch.XMLData = "kept";
    startUpdate();
    peer.send(lengthReply("<servers/>"));
    ASSERT_TRUE(waitForCaption("An error occurred, update failed."));
    EXPECT_EQ(ReadSetting("LastUpdate", ""), "before");
    EXPECT_EQ(watch.XMLData, "kept");
    EXPECT_TRUE(std::filesystem::is_directory(folder + "server-info.xml/inside"));
}

}  // namespace
}  // namespace tw::testing
