// The main window's downloads against a scripted loopback peer: the exact request bytes,
// the captions while a reply arrives, what is saved, and replies that must change nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "downloads_peer.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/general_date.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

using testing::lengthReply;
using testing::pumpFor;
using testing::pumpUntil;
using testing::ScriptedPeer;
using namespace std::chrono_literals;

// A previous cache that no reply of these tests could produce, binary bytes included.
constexpr char kOldCacheBytes[] = "<servers>old\0copy\xff</servers>\r\n";
const std::string kOldCache(kOldCacheBytes, sizeof kOldCacheBytes - 1);

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-downloads-XXXXXX";
        m_folder = std::string(::mkdtemp(pattern)) + "/";
        services.processFacts.folder = m_folder;
        main.AppPath = m_folder;
        // Documents without servers make the window ask the maker's host for the list; here
        // nothing listens there unless a test says otherwise.
        WriteSetting("LocationHost", "127.0.0.1:1");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string caption() const { return main.lblServerInfo.caption(); }
    bool waitForCaption(const std::string& text) { return pumpUntil([&] { return caption() == text; }); }
    std::string cache() const { return platform::readWholeFile(m_folder + "server-info.xml").value_or("<none>"); }
    std::string statusLocation(const std::string& path = "/server-info.xml") const { return peer_hostPort() + path; }
    std::string peer_hostPort() const { return "127.0.0.1:" + std::to_string(peer.port()); }

    // Starts a status download from the peer and waits until its request has arrived.
    void startUpdate(const std::string& path = "/server-info.xml") {
        main.HostServers = {statusLocation(path)};
        const std::size_t before = peer.requests().size();
        main.Update();
        ASSERT_TRUE(peer.waitForRequests(before + 1));
        ASSERT_TRUE(waitForCaption("Sending request..."));
    }
    // Delivers one piece and gives the client the chance to read it on its own.
    void deliver(const std::string& piece) {
        peer.send(piece);
        pumpFor(30ms);
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    ScriptedPeer peer;
    std::string m_folder;
    frmMain main;
};

TEST_F(DownloadTest, RequestBytesOfBothDownloadsAreExact) {
    WriteSetting("LocationHost", peer.hostPort());
    const std::string host = peer.hostPort();
    startUpdate("/herald/server-info.xml");
    EXPECT_EQ(peer.requests().back(), "GET /herald/server-info.xml HTTP/1.1\r\n"
                                      "User-Agent: Towerwatch (" + host + ")\r\n"
                                      "Host: " + host + "\r\n\r\n");

    // No list file: the reload fetches it from the maker's host.
    main.ReloadHostServers();
    ASSERT_TRUE(peer.waitForRequests(2));
    EXPECT_TRUE(waitForCaption("Updating XML Locations"));
    EXPECT_EQ(peer.requests().back(), "GET /towerwatchlocations.txt HTTP/1.1\r\n"
                                      "User-Agent: Towerwatch (" + host + ")\r\n"
                                      "Host: " + host + "\r\n\r\n");
    EXPECT_EQ(peer.connectionsAccepted(), 2);
}

TEST_F(DownloadTest, ContentLengthReplyInOnePieceSavesBodyAndTime) {
    services.processFacts.clock = {2025, 3, 9, 18, 5, 7};
    startUpdate();
    peer.send(lengthReply("0123456789"));
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(cache(), "0123456789\r\n");
    EXPECT_EQ(main.XMLData, "0123456789");
    const std::string when = generalDate(services.processFacts.clock, services.processFacts.patterns);
    EXPECT_EQ(main.lblUpdate.caption(), when);
    EXPECT_EQ(ReadSetting("LastUpdate", ""), when);
    // The client closes its side once the body is complete.
    EXPECT_TRUE(pumpUntil([&] { return peer.clientClosed(); }));
}

TEST_F(DownloadTest, ContentLengthReplyInThreePiecesShowsPercentAfterEach) {
    startUpdate();
    deliver("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n012");
    EXPECT_EQ(caption(), "Receiving update (30%)");
    deliver("345");
    EXPECT_EQ(caption(), "Receiving update (60%)");
    EXPECT_EQ(cache(), "<none>");
    deliver("6789");
    EXPECT_EQ(caption(), "Update complete");
    EXPECT_EQ(cache(), "0123456789\r\n");
}

TEST_F(DownloadTest, ChunkedRepliesDecodeWhateverTheSplit) {
    const std::string data26 = "abcdefghijklmnopqrstuvwxyz", data5 = "ABCDE";
    const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string body = "1a\r\n" + data26 + "\r\n5\r\n" + data5 + "\r\n0\r\n\r\n";
    struct Split {
        const char* label;
        std::vector<std::string> pieces;
    };
    const Split splits[] = {
        {"one piece", {head + body}},
        {"size line split", {head + "1", body.substr(1)}},
        {"header alone, then the first size line", {head, body}},
        {"inside data and inside the last size line", {head + body.substr(0, 10), body.substr(10, 28), body.substr(38)}},
    };
    for (const Split& s : splits) {
        SCOPED_TRACE(s.label);
        startUpdate();
        for (const std::string& piece : s.pieces) deliver(piece);
        EXPECT_EQ(caption(), "Update complete");
        EXPECT_EQ(main.XMLData, data26 + data5);
        EXPECT_EQ(cache(), data26 + data5 + "\r\n");
    }
}

TEST_F(DownloadTest, HeaderTextsAreOnlyHeadersBeforeTheBlankLine) {
    // "Transfer-Encoding: chunked" inside the body: read by its Content-Length.
    const std::string body = "Transfer-Encoding: chunked\r\nstill body";
    startUpdate();
    peer.send(lengthReply(body));
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(main.XMLData, body);

    // "Content-Length:" only after the blank line: a parse error, the socket closed and
    // nothing replaced.
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    startUpdate();
    peer.send("HTTP/1.1 200 OK\r\nServer: here\r\n\r\nContent-Length: 4\r\n\r\nabcd");
    ASSERT_TRUE(waitForCaption("HTTP Header Parse Error!"));
    EXPECT_TRUE(pumpUntil([&] { return peer.clientClosed(); }));
    EXPECT_EQ(cache(), kOldCache);
    EXPECT_EQ(main.XMLData, body);
}

TEST_F(DownloadTest, LengthsThePlainReadingGotWrong) {
    struct Case {
        const char* label;
        std::string reply;
        bool closeAfter;
        std::string body;
    };
    const Case cases[] = {
        {"zero length completes empty", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, ""},
        {"no blank after the colon", "HTTP/1.1 200 OK\r\nContent-Length:12\r\n\r\n123456789012", false, "123456789012"},
        {"several blanks", "HTTP/1.1 200 OK\r\nContent-Length:    3\r\n\r\nxyz", false, "xyz"},
        {"no length at all: read until close", "HTTP/1.0 200 OK\r\nServer: old\r\n\r\n<a>until close</a>", true,
         "<a>until close</a>"},
        {"long header block", "HTTP/1.1 200 OK\r\nX-Pad: " + std::string(40000, 'p') + "\r\nContent-Length: 2\r\n\r\nok",
         false, "ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
        startUpdate();
        peer.send(c.reply);
        if (c.closeAfter) peer.closeConnection();
        ASSERT_TRUE(waitForCaption("Update complete"));
        EXPECT_EQ(main.XMLData, c.body);
        EXPECT_EQ(cache(), c.body + "\r\n");
    }
}

TEST_F(DownloadTest, BadRepliesLeaveTheCacheByteIdentical) {
    struct Case {
        const char* label;
        std::string reply;
        std::string caption;  // what the status line ends with
    };
    const std::string chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const Case cases[] = {
        {"garbage without a blank line", std::string(3u << 20, 'g'), "An error occurred, update failed."},
        {"truncated header", "HTTP/1.1 200 OK\r\nContent-Le", "Sending request..."},
        {"huge chunk size", chunkedHead + "ffffffffffffffff\r\nabc", "An error occurred, update failed."},
        {"closed mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(25, 'b'),
         "Receiving update (25%)"},
        {"closed between chunks", chunkedHead + "3\r\nabc\r\n", "Receiving update.."},
        {"length past the limit", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nabc",
         "An error occurred, update failed."},
    };
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    main.XMLData = "kept";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        startUpdate();
        peer.send(c.reply);
        peer.closeConnection();
        EXPECT_TRUE(pumpUntil([&] { return main.Sock->State() == sckClosed; }));
        EXPECT_EQ(caption(), c.caption);
        EXPECT_EQ(cache(), kOldCache);
        EXPECT_EQ(main.XMLData, "kept");
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DownloadTest, NewUpdateEndsASilentOrUnfinishedDownloadForGood) {
    // The first peer connection never answers; the second sends half a reply; the third
    // completes. Nothing the first two send later may reach the third.
    startUpdate();
    startUpdate();
    EXPECT_TRUE(pumpUntil([&] { return peer.connectionsAccepted() == 2; }));
    deliver("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nOLDOLD");
    EXPECT_EQ(caption(), "Receiving update (30%)");
    startUpdate();
    peer.send(lengthReply("new"));
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(main.XMLData, "new");
    EXPECT_EQ(cache(), "new\r\n");
    EXPECT_EQ(peer.requests().size(), 3u);
}

TEST_F(DownloadTest, FailedCacheWriteIsNotReportedAsSuccess) {
    // A folder in the cache file's place cannot be replaced by a file.
    std::filesystem::create_directories(m_folder + "server-info.xml/inside");
    WriteSetting("LastUpdate", "before");
    main.XMLData = "kept";
    startUpdate();
    peer.send(lengthReply("<servers/>"));
    ASSERT_TRUE(waitForCaption("An error occurred, update failed."));
    EXPECT_EQ(ReadSetting("LastUpdate", ""), "before");
    EXPECT_EQ(main.XMLData, "kept");
    EXPECT_TRUE(std::filesystem::is_directory(m_folder + "server-info.xml/inside"));
}

// --- the location list ---

class LocationListTest : public DownloadTest {
protected:
    // Serves an empty herald document for every status path and `list` as the location list.
    void serveEmptyHeraldAnd(const std::string* list) {
        WriteSetting("LocationHost", peer.hostPort());
        peer.respondWith([this, list](const std::string& request) {
            if (request.rfind("GET /towerwatchlocations.txt ", 0) == 0) {
                ++listRequests;
                return lengthReply(*list, "200 OK");
            }
            statusPaths.push_back(request.substr(4, request.find(' ', 4) - 4));
            return lengthReply("<servers>\r\n</servers>", "404 Not Found");
        });
    }
    std::string listFile() const {
        return platform::readWholeFile(m_folder + "towerwatchlocations.txt").value_or("<none>");
    }
    int listRequests = 0;
    std::vector<std::string> statusPaths;
};

TEST_F(LocationListTest, EmptyDocumentFetchesTheListOnceAndUpdatesOnlyOnAChange) {
    // The list names the same location: one fetch, no second download.
    std::string list = statusLocation();
    serveEmptyHeraldAnd(&list);
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "towerwatchlocations.txt", list + "\r\n"));
    main.ReloadHostServers();
    main.Update();
    ASSERT_TRUE(waitForCaption("XML Locations Updated")) << caption() << " " << main.XMLData;
    pumpFor(200ms);
    EXPECT_EQ(listRequests, 1);
    EXPECT_EQ(statusPaths, std::vector<std::string>{"/server-info.xml"});
    EXPECT_EQ(listFile(), list + "\r\n");

    // The list names a moved location: exactly one download from there, whose empty
    // document fetches the (now unchanged) list once more and stops.
    list = statusLocation("/moved.xml") + "\r\n" + statusLocation("/euro.xml");
    main.Update();
    EXPECT_TRUE(pumpUntil([&] { return statusPaths.size() == 3 && listRequests == 3; }));
    pumpFor(200ms);
    EXPECT_EQ(statusPaths, (std::vector<std::string>{"/server-info.xml", "/server-info.xml", "/moved.xml"}));
    EXPECT_EQ(listRequests, 3);
    EXPECT_EQ(main.HostServers, (std::vector<std::string>{statusLocation("/moved.xml"), statusLocation("/euro.xml"), ""}));
    EXPECT_EQ(caption(), "XML Locations Updated");
}

TEST_F(LocationListTest, TwoLineListWithSetOneLoadsWithoutDownloadingUntilItChanges) {
    WriteSetting("ServerSet", "1");
    const std::string path = m_folder + "towerwatchlocations.txt";
    ASSERT_TRUE(platform::writeFileAtomically(path, statusLocation("/us.xml") + "\r\n" + statusLocation("/eu.xml")));
    main.ReloadHostServers();
    ASSERT_EQ(main.HostServers.size(), 2u);
    EXPECT_EQ(main.HostServers[1], statusLocation("/eu.xml"));
    pumpFor(100ms);
    EXPECT_EQ(peer.connectionsAccepted(), 0);

    main.ReloadHostServers();  // the same line: nothing
    pumpFor(100ms);
    EXPECT_EQ(peer.connectionsAccepted(), 0);

    ASSERT_TRUE(platform::writeFileAtomically(path, statusLocation("/us.xml") + "\r\n" + statusLocation("/eu2.xml")));
    main.ReloadHostServers();
    ASSERT_TRUE(peer.waitForRequests(1));
    EXPECT_EQ(peer.requests()[0].substr(0, 18), "GET /eu2.xml HTTP/");
    pumpFor(100ms);
    EXPECT_EQ(peer.connectionsAccepted(), 1);
}

TEST_F(LocationListTest, MissingListAtStartupIsFetchedOnceThenUsed) {
    WriteSetting("UpdateOnStart", "0");
    const std::string list = statusLocation() + "\r\n" + statusLocation("/euro.xml");
    serveEmptyHeraldAnd(&list);
    main.Form_Load();
    ASSERT_TRUE(waitForCaption("XML Locations Updated"));
    pumpFor(200ms);
    EXPECT_EQ(peer.connectionsAccepted(), 1);
    EXPECT_EQ(listFile(), list + "\r\n");
    EXPECT_TRUE(statusPaths.empty());
    EXPECT_TRUE(boxes.calls.empty());
    // "Last Updated:" now downloads from the fetched location.
    main.Label5.click();
    EXPECT_TRUE(pumpUntil([&] { return statusPaths.size() == 1; }));
}

TEST_F(LocationListTest, FirstRunUpdateWaitsForTheListThenDownloads) {
    const std::string list = statusLocation();
    serveEmptyHeraldAnd(&list);
    main.Form_Load();  // no list yet, update on start: no error, the update waits
    EXPECT_TRUE(boxes.calls.empty());
    ASSERT_TRUE(pumpUntil([&] { return statusPaths.size() == 1; }));
    EXPECT_EQ(listFile(), list + "\r\n");
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, UpdateWithoutAnyLocationFailsWithoutEndingTheProgram) {
    // The list cannot be had: the waiting update is dropped, a later click only says so.
    WriteSetting("LocationHost", peer.hostPort());
    peer.respondWith([](const std::string&) { return std::string("HTTP/1.1 503 Busy\r\n"); });
    main.Form_Load();
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(peer.waitForRequests(1));
    pumpFor(300ms);  // the busy answer ends the fetch
    main.Label5.click();
    EXPECT_EQ(caption(), "An error occurred, update failed.");
    EXPECT_EQ(listFile(), "<none>");
}

}  // namespace
}  // namespace tw
