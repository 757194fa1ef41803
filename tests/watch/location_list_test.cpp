// The location list: fetched from the maker's host when a herald answers without servers or
// with an error page, or when there is none yet; what it changes, and how its failures end.
#include <chrono>
#include <filesystem>

#include "watch_fixture.h"

namespace tw::testing {
namespace {

const std::string kNoServers = "<servers>\r\n</servers>";

class LocationListTest : public WatchTest {
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
    std::string listPath() const { return folder + "towerwatchlocations.txt"; }
    // The last lines heard are these: the steps before them have all happened, and, as
    // whatever the watch starts it says at once, nothing was started after them.
    bool heardLast(const Texts& tail) const {
        const Texts& h = listener.heard;
        return h.size() >= tail.size() && std::equal(tail.begin(), tail.end(), h.end() - tail.size());
    }
    bool heardLast(const Texts& tail, int deadlineMs) {
        return runUntil([&] { return heardLast(tail); }, deadlineMs);
    }
    std::string statusReply = lengthReply(kNoServers);  // a herald without servers
    std::string listStatus = "200 OK";
    int listRequests = 0;
    std::vector<std::string> statusPaths;
};

const Texts kListSaved = {"status XML Locations Updated"};

TEST_F(LocationListTest, EmptyDocumentFetchesTheListOnceAndUpdatesOnlyOnAChange) {
    // The list names the same location: one fetch, no second download.
    std::string list = statusLocation();
    serveHeraldAnd(&list);
    ASSERT_TRUE(platform::writeFileAtomically(listPath(), list + "\r\n"));
    watch.ReloadHostServers();
    watch.Update();
    ASSERT_TRUE(heardLast(kListSaved, 5000)) << caption();
    EXPECT_EQ(listRequests, 1);
    EXPECT_EQ(statusPaths, Texts{"/server-info.xml"});
    EXPECT_EQ(file("towerwatchlocations.txt"), list + "\r\n");

    // The list, with LF line ends, names a moved location: exactly one download from there,
    // whose empty document fetches the (now unchanged) list once more and stops.
    list = statusLocation("/moved.xml") + "\n" + statusLocation("/euro.xml");
    watch.Update();
    ASSERT_TRUE(runUntil([&] { return listRequests == 3 && heardLast(kListSaved); })) << caption();
    EXPECT_EQ(statusPaths, (Texts{"/server-info.xml", "/server-info.xml", "/moved.xml"}));
    EXPECT_EQ(watch.HostServers, (Texts{statusLocation("/moved.xml"), statusLocation("/euro.xml"), ""}));
}

TEST_F(LocationListTest, ErrorRepliesNeverReplaceTheDocumentOrTheList) {
    struct Case {
        const char* label;
        std::string statusReply, listStatus;
        bool documentKept;
        std::string caption;
        const char* before;  // what the status line said just before
    };
    const Case cases[] = {
        // An error page may come from a herald that moved: the list is asked where it went,
        // names the same place, and the status line keeps the failure.
        {"herald busy", lengthReply(kNoServers, "503 Service Unavailable"), "200 OK", true,
         "An error occurred, update failed (HTTP 503).", "XML Locations Updated"},
        {"not HTTP at all", "ICY 200 OK\r\n\r\n" + kNoServers, "200 OK", true, "An error occurred, update failed.",
         "XML Locations Updated"},
        // A herald without servers asks for the list, which the maker's host does not have.
        {"list not found", lengthReply(kNoServers), "404 Not Found", false,
         "An error occurred, update failed (HTTP 404).", "An error occurred, update failed (HTTP 404)."},
    };
    std::string list = statusLocation();
    serveHeraldAnd(&list);
    ASSERT_TRUE(platform::writeFileAtomically(listPath(), list + "\r\n"));
    watch.ReloadHostServers();
    int fetches = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(platform::writeFileAtomically(folder + "server-info.xml", kOldCache));
        watch.XMLData = "kept";
        statusReply = c.statusReply;
        listStatus = c.listStatus;
        click();
        ++fetches;
        ASSERT_TRUE(runUntil([&] {
            return listRequests == fetches && heardLast({"status " + std::string(c.before), "status " + c.caption});
        })) << caption();
        EXPECT_EQ(cache(), c.documentKept ? kOldCache : kNoServers + "\r\n");
        EXPECT_EQ(watch.XMLData, c.documentKept ? "kept" : kNoServers);
        EXPECT_EQ(file("towerwatchlocations.txt"), list + "\r\n");
        EXPECT_EQ(watch.HostServers, (Texts{list, ""}));
    }
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, RefusedListFetchEndsVisiblyAndTheNextUpdateTriesAgain) {
    // A first run whose maker's host refuses (the fixture's port 1): the waiting update goes
    // with the failed fetch, and the status line says what happened.
    const std::string refused = "Updating XML Locations failed: Connection refused.";
    watch.ReloadHostServers();
    watch.Update();
    ASSERT_TRUE(waitForCaption(refused));
    // A click tries the list again, and fails visibly again.
    listener.caption.clear();
    click();
    ASSERT_TRUE(waitForCaption(refused));

    // The host answers at last. A list fetched now starts no download of its own, since the
    // updates that waited for the failed fetches were dropped with them...
    const std::string list = statusLocation();
    serveHeraldAnd(&list);
    watch.ReloadHostServers();
    ASSERT_TRUE(heardLast(kListSaved, 5000)) << caption();
    EXPECT_TRUE(statusPaths.empty());
    // ...and with the list missing again, the next click fetches it and then downloads.
    std::filesystem::remove(listPath());
    watch.HostServers = {""};
    click();
    // (The herald's empty document then asks for the list once more.)
    ASSERT_TRUE(runUntil([&] { return statusPaths.size() == 1 && listRequests == 3; })) << listRequests;
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(LocationListTest, SilentHostsTimeOutAndTheThirdFailureTurnsTheDataStale) {
    // A first run whose maker's host takes the connection and never answers: the fetch times
    // out like a connection the system gave up on, and the update that waited fails with it.
    services.processFacts.clock = {2026, 12, 6, 18, 5, 0};
    watch.restartStaleWatch();
    WriteSetting("LocationHost", peer.hostPort());
    watch.setDownloadIdleLimit(std::chrono::milliseconds(400));
    watch.ReloadHostServers();
    watch.Update();
    ASSERT_TRUE(peer.waitForRequests(1));
    ASSERT_TRUE(waitForCaption("Updating XML Locations failed: Connection timed out.")) << caption();
    EXPECT_TRUE(runUntil([&] { return peer.clientClosed(); }));
    EXPECT_FALSE(platform::fileExists(listPath()));

    // The next click asks for the list afresh, which names a herald that is silent too.
    ScriptedPeer herald;
    const std::string list = herald.hostPort() + "/server-info.xml";
    peer.respondWith([&](const std::string&) { return lengthReply(list); });
    click();
    ASSERT_TRUE(herald.waitForRequests(1));
    ASSERT_TRUE(waitForCaption("Update failed: Connection timed out.")) << caption();
    click();
    ASSERT_TRUE(herald.waitForRequests(2));
    ASSERT_TRUE(waitForCaption("Herald unreachable since 18:05 \xE2\x80\x94 3 failed updates")) << caption();
    EXPECT_EQ(cache(), "<none>");
    EXPECT_EQ(watch.XMLData, "");

    // A herald that answers at last is taken at once.
    herald.respondWith([](const std::string&) { return lengthReply(kListed); });
    click();
    ASSERT_TRUE(waitForCaption("Update complete")) << caption();
    EXPECT_EQ(listener.heard.back(), "taken " + kListed);
}

TEST_F(LocationListTest, UnsendableEntriesAndMakerHostsEndVisiblyWithoutAConnection) {
    // Which entries cannot be sent is the request texts' own table; here: they end visibly.
    const std::string port = std::to_string(peer.port());
    const std::string badEntries[] = {
        statusLocation() + "\rX-Forged: 1",                                       // a header line of its own
        std::string("127.0.0.1\0evil.example:", 23) + port + "/server-info.xml",  // the lookup stops at the NUL
    };
    auto listFrom = [&](const std::string& entry) {
        ASSERT_TRUE(platform::writeFileAtomically(listPath(), entry + "\r\n"));
        watch.HostServers.clear();
        watch.ReloadHostServers();
    };
    auto clickFails = [&] {
        listener.caption.clear();
        click();
        EXPECT_EQ(caption(), "An error occurred, update failed.");
    };
    for (const std::string& entry : badEntries) {
        SCOPED_TRACE(entry);
        listFrom(entry);
        clickFails();
    }
    // The maker's host is held to the same rule, for the status request and for the list...
    WriteSetting("LocationHost", peer.hostPort() + "\r\nX-Forged: 1");
    listFrom(statusLocation());
    clickFails();
    std::filesystem::remove(listPath());
    watch.HostServers = {""};
    clickFails();
    // ...and when it turns unsendable while the update waits for the list's connection.
    const std::string list = statusLocation();
    serveHeraldAnd(&list);
    click();
    WriteSetting("LocationHost", peer.hostPort() + "\r\nX-Forged: 1");
    ASSERT_TRUE(waitForCaption("An error occurred, update failed.")) << caption();
    // The first request the peer ever sees is the one of the next click: the list, then the
    // status document (whose empty document asks for the list once more).
    WriteSetting("LocationHost", peer.hostPort());
    click();
    ASSERT_TRUE(runUntil([&] { return statusPaths.size() == 1 && listRequests == 2; })) << listRequests;
    EXPECT_EQ(peer.requests().front().rfind("GET /towerwatchlocations.txt ", 0), 0u);
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw::testing
