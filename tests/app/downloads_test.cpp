// The main window's downloads against a scripted loopback peer: the exact request bytes,
// the captions while a reply arrives, what is saved, and replies that must change nothing.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include <QProcess>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "downloads_peer.h"
#include "nginx_peer.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/general_date.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"
#include "test_ca.h"

namespace tw {
namespace {

using testing::lengthReply;
using testing::drainEvents;
using testing::runUntil;
using testing::ScriptedPeer;

// A previous cache that no reply of these tests could produce, binary bytes included.
constexpr char kOldCacheBytes[] = "<servers>old\0copy\xff</servers>\r\n";
const std::string kOldCache(kOldCacheBytes, sizeof kOldCacheBytes - 1);
// A document of twenty characters that lists a server, so that it is taken without asking
// the maker's host for the location list.
const std::string kListed = "<server name=\"Up\" />";

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = m_folder;
        main.AppPath = m_folder;
        // Documents without servers make the window ask the maker's host for the list; here
        // nothing listens there unless a test says otherwise.
        WriteSetting("LocationHost", "127.0.0.1:1");
    }

    std::string caption() const { return main.lblServerInfo.caption(); }
    bool waitForCaption(const std::string& text) { return runUntil([&] { return caption() == text; }); }
    std::string cache() const { return platform::readWholeFile(m_folder + "server-info.xml").value_or("<none>"); }
    std::string statusLocation(const std::string& path = "/server-info.xml") const { return peer.hostPort() + path; }

    // Starts a status download from the peer and waits until its request has arrived.
    void startUpdate(const std::string& path = "/server-info.xml") {
        main.HostServers = {statusLocation(path)};
        const std::size_t before = peer.requests().size();
        main.Update();
        ASSERT_TRUE(peer.waitForRequests(before + 1));
        ASSERT_TRUE(waitForCaption("Sending request..."));
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    ScriptedPeer peer;
    testing::TempFolder m_temp;
    std::string m_folder = m_temp.slashed();
    frmMain main;
};

TEST_F(DownloadTest, RequestBytesOfBothDownloadsAreExact) {
    WriteSetting("LocationHost", peer.hostPort());
    const std::string host = peer.hostPort();
    auto request = [&](const std::string& path) {
        return "GET " + path + " HTTP/1.1\r\nUser-Agent: Towerwatch (" + host + ")\r\nHost: " + host + "\r\n\r\n";
    };
    startUpdate("/herald/server-info.xml");
    EXPECT_EQ(peer.requests().back(), request("/herald/server-info.xml"));

    // No list file: the reload fetches it from the maker's host.
    main.ReloadHostServers();
    ASSERT_TRUE(peer.waitForRequests(2));
    EXPECT_TRUE(waitForCaption("Updating XML Locations"));
    EXPECT_EQ(peer.requests().back(), request("/towerwatchlocations.txt"));
    EXPECT_EQ(peer.connectionsAccepted(), 2);
}

TEST_F(DownloadTest, ContentLengthReplyInOnePieceSavesBodyAndTime) {
    services.processFacts.clock = {2025, 3, 9, 18, 5, 7};
    startUpdate();
    peer.send(lengthReply(kListed));
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(cache(), kListed + "\r\n");
    EXPECT_EQ(main.XMLData, kListed);
    const std::string when = generalDate(services.processFacts.clock, services.processFacts.patterns);
    EXPECT_EQ(main.lblUpdate.caption(), when);
    EXPECT_EQ(ReadSetting("LastUpdate", ""), when);
    // The client closes its side once the body is complete.
    EXPECT_TRUE(runUntil([&] { return peer.clientClosed(); }));
}

TEST_F(DownloadTest, BodyReadUntilTheServerClosesIsSavedOnTheClose) {
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    startUpdate();
    peer.send("HTTP/1.0 200 OK\r\nServer: old\r\n\r\n" + kListed);
    peer.closeConnection();
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(main.XMLData, kListed);
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
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    main.XMLData = "kept";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        startUpdate();
        peer.send(c.reply);
        peer.closeConnection();
        EXPECT_TRUE(runUntil([&] { return main.Sock->State() == sckClosed; }));
        EXPECT_EQ(caption(), c.caption);
        EXPECT_EQ(cache(), kOldCache);
        EXPECT_EQ(main.XMLData, "kept");
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
        EXPECT_EQ(main.Sock->SocketHandle(), -1);
        EXPECT_EQ(main.XMLData, "");
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
    EXPECT_EQ(main.XMLData, kListed);
    EXPECT_EQ(cache(), kListed + "\r\n");
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

// --- error boxes ---

// Runs the event loop while the first box is open, as a modal box does; later boxes only
// record.
class ModalBoxes : public ScopedMessageBoxRecorder {
public:
    int show(const MessageBoxCall& call) override {
        MessageBoxRecorder::show(call);
        deepest = std::max(deepest, ++m_open);
        if (calls.size() == 1 && whileFirstOpen) whileFirstOpen();
        --m_open;
        return 1;
    }
    std::function<void()> whileFirstOpen;
    int deepest = 0;

private:
    int m_open = 0;
};

TEST_F(DownloadTest, AnErrorBoxLeftOpenHoldsTimedUpdatesAndFurtherErrorsGoToStandardError) {
    // Every document fails the monitored server's scan: an owner line without a "<".
    peer.respondWith([](const std::string&) {
        return lengthReply(
            "<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n<population>12</population>\n"
            "<keep name=\"Dun Brae\" realm=\"Albion\">\n<owner>Albion\n</keep>\n</server>\n</heraldstatus>\n");
    });
    main.MonitorServer = "Ironmoor";
    main.HostServers = {statusLocation()};
    // Each tick is due for an update.
    main.tmrUpdate.setTag("0");
    main.tmrUpdate.setInterval(20);
    main.tmrUpdate.setEnabled(false);
    int ticks = 0;
    main.tmrUpdate.onTimer = [&ticks, tick = main.tmrUpdate.onTimer] {
        ++ticks;
        tick();
    };
    ModalBoxes modal;
    std::string written;
    modal.whileFirstOpen = [&] {
        main.tmrUpdate.setEnabled(true);
        EXPECT_TRUE(runUntil([&] { return ticks >= 5; }));
        // A click still updates; its error is written out instead of opening a box.
        main.lblServerInfo.setCaption("");
        ::testing::internal::CaptureStderr();
        main.Label5.click();
        EXPECT_TRUE(waitForCaption("Update complete"));
        written = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(peer.requests().size(), 2u);
        main.tmrUpdate.setEnabled(false);
    };
    main.Label5.click();
    ASSERT_TRUE(runUntil([&] { return !modal.calls.empty() && !errorBoxOpen(); }, 30000));
    ASSERT_EQ(modal.calls.size(), 1u);
    EXPECT_EQ(modal.calls[0].title, "Error!");
    EXPECT_EQ(modal.calls[0].text.rfind("Error in DoSwitchOff sub\r\n#", 0), 0u) << modal.calls[0].text;
    EXPECT_NE(written.find("[Error!] " + modal.calls[0].text + "\n"), std::string::npos) << written;

    // Once the box is closed the timer updates again, and the next error has a box of its own.
    main.tmrUpdate.tick();
    ASSERT_TRUE(runUntil([&] { return modal.calls.size() == 2; }));
    EXPECT_EQ(peer.requests().size(), 3u);
    EXPECT_EQ(modal.calls[1].text, modal.calls[0].text);
    EXPECT_EQ(modal.deepest, 1);
}

// --- the location list ---

class LocationListTest : public DownloadTest {
protected:
    // Serves statusReply for every status path and `list` as the location list, with
    // listStatus, from the maker's host.
    void serveHeraldAnd(const std::string* list) {
        WriteSetting("LocationHost", peer.hostPort());
        peer.respondWith([this, list](const std::string& request) {
            if (request.rfind("GET /towerwatchlocations.txt ", 0) == 0) {
                ++listRequests;
                return lengthReply(*list, listStatus);
            }
            statusPaths.push_back(request.substr(4, request.find(' ', 4) - 4));
            return statusReply;
        });
    }
    std::string listPath() const { return m_folder + "towerwatchlocations.txt"; }
    std::string listFile() const { return platform::readWholeFile(listPath()).value_or("<none>"); }
    std::string statusReply = lengthReply("<servers>\r\n</servers>");  // a herald without servers
    std::string listStatus = "200 OK";
    int listRequests = 0;
    std::vector<std::string> statusPaths;
};

TEST_F(LocationListTest, EmptyDocumentFetchesTheListOnceAndUpdatesOnlyOnAChange) {
    // The list names the same location: one fetch, no second download.
    std::string list = statusLocation();
    serveHeraldAnd(&list);
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "towerwatchlocations.txt", list + "\r\n"));
    main.ReloadHostServers();
    main.Update();
    ASSERT_TRUE(waitForCaption("XML Locations Updated")) << caption() << " " << main.XMLData;
    drainEvents(200);
    EXPECT_EQ(listRequests, 1);
    EXPECT_EQ(statusPaths, std::vector<std::string>{"/server-info.xml"});
    EXPECT_EQ(listFile(), list + "\r\n");

    // The list, with LF line ends, names a moved location: exactly one download from there,
    // whose empty document fetches the (now unchanged) list once more and stops.
    list = statusLocation("/moved.xml") + "\n" + statusLocation("/euro.xml");
    main.Update();
    EXPECT_TRUE(runUntil([&] { return statusPaths.size() == 3 && listRequests == 3; }));
    drainEvents(200);
    EXPECT_EQ(statusPaths, (std::vector<std::string>{"/server-info.xml", "/server-info.xml", "/moved.xml"}));
    EXPECT_EQ(listRequests, 3);
    EXPECT_EQ(main.HostServers, (std::vector<std::string>{statusLocation("/moved.xml"), statusLocation("/euro.xml"), ""}));
    EXPECT_EQ(caption(), "XML Locations Updated");
}

TEST_F(LocationListTest, ErrorRepliesNeverReplaceTheDocumentOrTheList) {
    struct Case {
        const char* label;
        std::string statusReply, listStatus;
        bool documentKept;
        std::string caption;
    };
    const std::string noServers = "<servers>\r\n</servers>";
    const Case cases[] = {
        // An error page may come from a herald that moved: the list is asked where it went,
        // names the same place, and the status line keeps the failure.
        {"herald busy", lengthReply(noServers, "503 Service Unavailable"), "200 OK", true,
         "An error occurred, update failed (HTTP 503)."},
        {"not HTTP at all", "ICY 200 OK\r\n\r\n" + noServers, "200 OK", true, "An error occurred, update failed."},
        // A herald without servers asks for the list, which the maker's host does not have.
        {"list not found", lengthReply(noServers), "404 Not Found", false, "An error occurred, update failed (HTTP 404)."},
    };
    std::string list = statusLocation();
    serveHeraldAnd(&list);
    ASSERT_TRUE(platform::writeFileAtomically(listPath(), list + "\r\n"));
    main.ReloadHostServers();
    int fetches = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
        main.XMLData = "kept";
        statusReply = c.statusReply;
        listStatus = c.listStatus;
        main.Label5.click();
        ++fetches;
        ASSERT_TRUE(runUntil([&] { return listRequests == fetches && caption() == c.caption; })) << caption();
        drainEvents(100);
        EXPECT_EQ(caption(), c.caption);
        EXPECT_EQ(listRequests, fetches);
        EXPECT_EQ(cache(), c.documentKept ? kOldCache : noServers + "\r\n");
        EXPECT_EQ(main.XMLData, c.documentKept ? "kept" : noServers);
        EXPECT_EQ(listFile(), list + "\r\n");
        EXPECT_EQ(main.HostServers, (std::vector<std::string>{list, ""}));
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, RefusedListFetchEndsVisiblyAndTheNextUpdateTriesAgain) {
    // A first run whose maker's host refuses (the fixture's port 1): the waiting update goes
    // with the failed fetch, and the status line says what happened.
    const std::string refused = "Updating XML Locations failed: Connection refused.";
    main.Form_Load();
    ASSERT_TRUE(waitForCaption(refused));
    EXPECT_TRUE(boxes.calls.empty());
    // A click tries the list again, and fails visibly again.
    main.lblServerInfo.setCaption("");
    main.Label5.click();
    ASSERT_TRUE(waitForCaption(refused));

    // The host answers at last. A list fetched now starts no download of its own, since the
    // updates that waited for the failed fetches were dropped with them...
    const std::string list = statusLocation();
    serveHeraldAnd(&list);
    main.ReloadHostServers();
    ASSERT_TRUE(waitForCaption("XML Locations Updated"));
    drainEvents(200);
    EXPECT_TRUE(statusPaths.empty());
    // ...and with the list missing again, the next click fetches it and then downloads.
    std::filesystem::remove(listPath());
    main.HostServers = {""};
    main.Label5.click();
    // (The herald's empty document then asks for the list once more.)
    ASSERT_TRUE(runUntil([&] { return statusPaths.size() == 1 && listRequests == 3; })) << listRequests;
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, SilentHostsTimeOutAndTheNextUpdateStartsAfresh) {
    // A first run whose maker's host takes the connection and never answers: the fetch times
    // out like a connection the system gave up on, and the update that waited fails with it.
    services.processFacts.clock = {2026, 12, 6, 18, 5, 0};
    WriteSetting("LocationHost", peer.hostPort());
    main.watch.setDownloadIdleLimit(std::chrono::milliseconds(400));
    main.Form_Load();
    ASSERT_TRUE(peer.waitForRequests(1));
    ASSERT_TRUE(waitForCaption("Updating XML Locations failed: Connection timed out.")) << caption();
    EXPECT_TRUE(runUntil([&] { return peer.clientClosed(); }));
    EXPECT_FALSE(platform::fileExists(listPath()));

    // The next click asks for the list afresh, which names a herald that is silent too.
    ScriptedPeer herald;
    const std::string list = herald.hostPort() + "/server-info.xml";
    peer.respondWith([&](const std::string&) { return lengthReply(list); });
    main.Label5.click();
    ASSERT_TRUE(herald.waitForRequests(1));
    ASSERT_TRUE(waitForCaption("Update failed: Connection timed out.")) << caption();
    EXPECT_EQ(cache(), "<none>");
    EXPECT_EQ(main.XMLData, "");
    // The third failed update in a row turns the data stale.
    main.Label5.click();
    ASSERT_TRUE(herald.waitForRequests(2));
    ASSERT_TRUE(waitForCaption("Herald unreachable since 18:05 \xE2\x80\x94 3 failed updates")) << caption();
    EXPECT_EQ(cache(), "<none>");
    EXPECT_TRUE(boxes.calls.empty());

    // A herald that answers at last is taken at once.
    herald.respondWith([](const std::string&) { return lengthReply(kListed); });
    main.Label5.click();
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(main.XMLData, kListed);
}

TEST_F(LocationListTest, MakerHostTurnedUnsendableDuringTheConnectEndsTheFetchVisibly) {
    // The update waits for the list; before the connection is made the maker's host changes
    // into something no request may carry. The fetch ends, and does not hold up later ones.
    const std::string list = statusLocation();
    serveHeraldAnd(&list);
    main.HostServers = {""};
    main.Label5.click();
    WriteSetting("LocationHost", peer.hostPort() + "\r\nX-Forged: 1");
    ASSERT_TRUE(waitForCaption("An error occurred, update failed.")) << caption();
    EXPECT_TRUE(peer.requests().empty());

    WriteSetting("LocationHost", peer.hostPort());
    main.Label5.click();
    // The list comes and the status document after it; that herald's empty document asks for
    // the list once more, which may arrive at any moment after the status request.
    ASSERT_TRUE(runUntil([&] { return statusPaths.size() == 1 && listRequests == 2; })) << listRequests;
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, EntriesThatCannotBeSentAreRefused) {
    // Which entries cannot be sent is the request texts' own table; here: they end visibly.
    const std::string port = std::to_string(peer.port());
    const std::string badEntries[] = {
        statusLocation() + "\rX-Forged: 1",                                 // a header line of its own
        std::string("127.0.0.1\0evil.example:", 23) + port + "/server-info.xml",  // the lookup stops at the NUL
    };
    auto listFrom = [&](const std::string& entry) {
        ASSERT_TRUE(platform::writeFileAtomically(listPath(), entry + "\r\n"));
        main.HostServers.clear();
        main.ReloadHostServers();
    };
    auto clickFails = [&] {
        main.lblServerInfo.setCaption("");
        main.Label5.click();
        EXPECT_EQ(caption(), "An error occurred, update failed.");
    };
    for (const std::string& entry : badEntries) {
        SCOPED_TRACE(entry);
        listFrom(entry);
        clickFails();
    }
    // The maker's host is held to the same rule, for the status request and for the list.
    WriteSetting("LocationHost", peer.hostPort() + "\r\nX-Forged: 1");
    listFrom(statusLocation());
    clickFails();
    std::filesystem::remove(listPath());
    main.HostServers = {""};
    clickFails();
    drainEvents(200);
    EXPECT_EQ(peer.connectionsAccepted(), 0);
}

// --- HTTPS: a certificate authority made for the test, trusted through SSL_CERT_FILE ---

class HttpsTest : public DownloadTest {
protected:
    void SetUp() override {
        DownloadTest::SetUp();
        ::setenv("SSL_CERT_FILE", ca.caFile().c_str(), 1);
        ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    }
    void TearDown() override { ::unsetenv("SSL_CERT_FILE"); }

    std::string secureLocation(const std::string& path = "/server-info.xml") const {
        return "https://" + peer.hostPort() + path;
    }
    // An update from the peer through a fresh server end, up to the request it received.
    std::unique_ptr<testing::TlsPeerEnd> startSecureUpdate(const testing::ServerFiles& certificate) {
        auto end = std::make_unique<testing::TlsPeerEnd>(certificate.certFile, certificate.keyFile);
        main.HostServers = {secureLocation()};
        main.Update();
        EXPECT_TRUE(runUntil([&] {
            end->pump(peer);
            return end->plain().find("\r\n\r\n") != std::string::npos;
        }));
        return end;
    }
    // Sends in pieces of 1, 4 and then 7000 bytes, each read before the next goes: the
    // record headers and the records themselves are cut.
    void sendCut(const std::string& bytes) {
        for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = at < 5 ? 4 : 7000) {
            peer.send(bytes.substr(at, piece));
            drainEvents(20);
        }
    }

    testing::TempFolder m_caFolder;
    testing::TestCa ca{m_caFolder.path()};
    testing::ServerFiles good = ca.issue("good", "", "127.0.0.1");
};

TEST_F(HttpsTest, RepliesArriveWhereverTheRecordsAreCutAndAreTakenOnlyWhenWhole) {
    const std::string body = kListed + std::string(20000, ' ');  // more than one record, 0x4e34 bytes
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4e34\r\n" + body + "\r\n0\r\n\r\n";
    const std::string untilClose = "HTTP/1.0 200 OK\r\n\r\n" + body;
    const struct {
        const char* label;
        std::string reply;
        bool closeNotify, saved;
        std::string caption;
    } rows[] = {
        {"content length", lengthReply(body), false, true, "Update complete"},
        {"chunked", chunked, false, true, "Update complete"},
        {"until close_notify", untilClose, true, true, "Update complete"},
        {"until a bare close", untilClose, false, false, "Connection to 127.0.0.1 cut short, update failed."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        main.XMLData = "kept";
        const auto end = startSecureUpdate(good);
        const std::string records = end->seal(row.reply);
        sendCut(records + (row.closeNotify ? end->closeNotify() : ""));
        peer.closeConnection();
        ASSERT_TRUE(waitForCaption(row.caption)) << caption();
        EXPECT_EQ(cache(), row.saved ? body + "\r\n" : kOldCache);
        EXPECT_EQ(main.XMLData, row.saved ? body : "kept");
        ASSERT_TRUE(platform::writeFileAtomically(m_folder + "server-info.xml", kOldCache));
    }
}

TEST_F(HttpsTest, HandshakeProblemsFailTheUpdateAndTheNextStartsCleanly) {
    const struct {
        const char* label;
        testing::ServerFiles certificate;
        std::size_t sendLimit;  // below npos: the peer stops sending there
        std::string caption;
        bool closes;  // after it stopped
    } rows[] = {
        {"another name", ca.issue("other", "other.example", ""), std::string::npos, "Certificate not valid for 127.0.0.1",
         false},
        {"expired", ca.issue("old", "", "127.0.0.1", testing::Validity::Expired), std::string::npos, "Certificate expired",
         false},
        {"untrusted", ca.issue("stray", "", "127.0.0.1", testing::Validity::Current, testing::Issuer::Untrusted),
         std::string::npos, "Certificate not trusted for 127.0.0.1", false},
        {"silent mid-handshake", good, 40, "Update failed: Connection timed out.", false},
        {"closed mid-handshake", good, 40, "TLS handshake with 127.0.0.1 failed", true},
    };
    main.watch.setDownloadIdleLimit(std::chrono::milliseconds(400));
    main.XMLData = "kept";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        testing::TlsPeerEnd end(row.certificate.certFile, row.certificate.keyFile);
        main.HostServers = {secureLocation()};
        main.Update();
        const bool stops = row.sendLimit != std::string::npos;
        ASSERT_TRUE(runUntil([&] {
            end.pump(peer, row.sendLimit);
            return stops ? end.sent() == row.sendLimit : caption() == row.caption;
        })) << caption();
        if (stops) {
            if (row.closes) peer.closeConnection();
            EXPECT_TRUE(waitForCaption(row.caption)) << caption();
        }
        EXPECT_EQ(cache(), kOldCache);
        EXPECT_EQ(main.XMLData, "kept");
    }
    // Nothing of those connections reaches this one.
    const auto end = startSecureUpdate(good);
    peer.send(end->seal(lengthReply(kListed)));
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(main.XMLData, kListed);
    // The window goes while a handshake is under way.
    main.Update();
    std::string hello;
    ASSERT_TRUE(runUntil([&] { return !(hello += peer.takeReceived()).empty(); }));
}

TEST_F(HttpsTest, RedirectsAreFollowedUpToFiveHopsAndNeverDowngraded) {
    // http to https, as a public web host does it: the simulator's plain port sends a 301.
    testing::ChildProcess simulator;
    ASSERT_FALSE(testing::startHeraldSimulator(simulator, {"--chunked", "--tls", good.certFile, good.keyFile,
                                                          "--redirect-from", "0"}).empty());
    ASSERT_TRUE(runUntil([&] { return simulator.process().canReadLine(); }));
    const std::string redirecting = simulator.process().readLine().trimmed().toStdString();
    main.HostServers = {redirecting.substr(redirecting.rfind(' ') + 1) + "/server-info.xml"};
    main.Update();
    ASSERT_TRUE(runUntil([&] { return caption() == "Update complete"; }, 15000)) << caption();
    EXPECT_NE(main.XMLData.find("<server"), std::string::npos);

    // A relative Location, and a chain that never ends (refused after five hops).
    peer.respondWith([](const std::string& request) {
        const std::string path = request.substr(4, request.find(' ', 4) - 4);
        if (path == "/herald/start") return std::string("HTTP/1.1 307 Moved\r\nLocation: doc.xml\r\n\r\n");
        if (path == "/herald/doc.xml") return lengthReply(kListed);
        return "HTTP/1.1 302 Found\r\nLocation: " + path + "x\r\nContent-Length: 0\r\n\r\n";
    });
    main.HostServers = {statusLocation("/herald/start")};
    main.Update();
    ASSERT_TRUE(runUntil([&] { return caption() == "Update complete" && main.XMLData == kListed; })) << caption();
    main.HostServers = {statusLocation("/loop")};
    main.Update();
    ASSERT_TRUE(waitForCaption("Redirect refused: more than 5 hops")) << caption();
    EXPECT_EQ(peer.requests().back().substr(0, 16), "GET /loopxxxxx H");

    // https to http is refused.
    peer.respondWith(nullptr);
    const auto end = startSecureUpdate(good);
    peer.send(end->seal("HTTP/1.1 301 Moved\r\nLocation: http://" + peer.hostPort() + "/x\r\n\r\n"));
    ASSERT_TRUE(waitForCaption("Redirect refused: https to http (" + peer.hostPort() + ")")) << caption();
    EXPECT_EQ(main.XMLData, kListed);
    EXPECT_EQ(cache(), kListed + "\r\n");
}

TEST_F(HttpsTest, DownloadsFromNginx) {
    if (!testing::NginxPeer::installed()) GTEST_SKIP() << "nginx is not installed";
    testing::TempFolder site;
    ASSERT_TRUE(platform::writeFileAtomically(site / "server-info.xml", kListed));
    testing::NginxPeer nginx(m_caFolder.path(), site.path(), good);
    ASSERT_NE(nginx.port(), 0) << nginx.errorLog();
    main.HostServers = {"https://127.0.0.1:" + std::to_string(nginx.port()) + "/server-info.xml"};
    main.Update();
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(main.XMLData, kListed);
}

}  // namespace
}  // namespace tw
