#include "net/http_requests.h"
#include "net/location_list.h"

#include <gtest/gtest.h>

#include "error_number.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

using tw::testing::errorNumberOf;

TEST(RequestTexts, StatusRequestByteForByteWithTheMakersHostForABlankSetting) {
    const Location where = splitLocation("herald.example.net/game/server-info.xml");
    EXPECT_EQ(statusRequest(where, makerWebHost("   ")),
              "GET /game/server-info.xml HTTP/1.1\r\n"
              "User-Agent: Towerwatch (towerwatch.vexlor.example)\r\n"
              "Host: herald.example.net\r\n"
              "\r\n");
}

TEST(RequestTexts, LocationSplitsAtTheFirstSlashAndPortDefaultsToEighty) {
    const Location loc = splitLocation("host.example:8080/a/b:c/d.xml");
    EXPECT_EQ(loc.host, "host.example:8080");
    EXPECT_EQ(loc.path, "/a/b:c/d.xml");
    const HostAndPort withPort = splitHostPort(loc.host);
    EXPECT_EQ(withPort.name, "host.example");
    EXPECT_EQ(withPort.port, 8080);
    const HostAndPort plain = splitHostPort("host.example");
    EXPECT_EQ(plain.name, "host.example");
    EXPECT_EQ(plain.port, 80);
    EXPECT_EQ(splitLocation("h/").path, "/");
    EXPECT_EQ(splitLocation("/only-path").host, "");
}

TEST(RequestTexts, SchemeChoosesTheDefaultPortAndStaysOutOfTheRequest) {
    const Location secure = splitLocation("HTTPS://herald.example.net/x.xml");
    EXPECT_EQ(splitHostPort(secure.host, secure.scheme).port, 443);
    EXPECT_EQ(splitHostPort(splitLocation("http://h/a").host, Scheme::Http).port, 80);
    EXPECT_EQ(errorNumberOf([] { splitLocation("https://no-path"); }), kErrInvalidArgument);
    const std::string maker = makerWebHost(" https://maker.example:8443 ");
    EXPECT_EQ(locationListAt(maker).scheme, Scheme::Https);
    EXPECT_EQ(statusRequest(secure, maker), "GET /x.xml HTTP/1.1\r\nUser-Agent: Towerwatch (maker.example:8443)\r\n"
                                            "Host: herald.example.net\r\n\r\n");
}

TEST(RequestTexts, EntriesThatCannotBeSentAsTheyStandAreInvalidArguments) {
    EXPECT_EQ(errorNumberOf([] { splitLocation(""); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { splitLocation("no-slash.example"); }), kErrInvalidArgument);
    // Control characters anywhere (a forged header line, a name cut short at a NUL) and
    // blanks in the host; the maker's host setting is held to the same rule.
    const std::string badHosts[] = {std::string("h\0evil", 6), "h h", "h\n", "h\x01:80", "\t h", "h\r\nX: y"};
    for (const std::string& host : badHosts) {
        EXPECT_EQ(errorNumberOf([&] { splitLocation(host + "/x"); }), kErrInvalidArgument) << host;
        EXPECT_EQ(errorNumberOf([&] { makerWebHost(host); }), kErrInvalidArgument) << host;
    }
    for (const std::string path : {"/x\r\nX-Forged: 1", "/x\ty", "/\x7f", "/x\r"})
        EXPECT_EQ(errorNumberOf([&] { splitLocation("h" + path); }), kErrInvalidArgument) << path;
    EXPECT_EQ(splitLocation("h\xc3\xa9/a b").path, "/a b");
    for (const char* bad : {"", ":80", "h:", "h:0", "h:65536", "h:8o", "h:123456", "h:-1"})
        EXPECT_EQ(errorNumberOf([&] { splitHostPort(bad); }), kErrInvalidArgument) << bad;
    EXPECT_EQ(splitHostPort("h:65535").port, 65535);
    // A location host setting overrides the maker's host.
    EXPECT_EQ(makerWebHost(""), "towerwatch.vexlor.example");
    EXPECT_EQ(makerWebHost(" 127.0.0.1:4000 "), "127.0.0.1:4000");
}

TEST(LocationList, LinesAreEntriesInOrderAndFormattingRoundTrips) {
    const std::vector<std::string> entries = {"us.example/server-info.xml", "eu.example:81/x.xml"};
    const std::string file = formatLocationList(entries);
    EXPECT_EQ(file, "us.example/server-info.xml\r\neu.example:81/x.xml\r\n");
    const auto read = parseLocationList(file);
    ASSERT_EQ(read.size(), 3u);  // the final CR LF gives an empty last entry
    EXPECT_EQ(read[1], "eu.example:81/x.xml");
    EXPECT_EQ(read[2], "");
    EXPECT_TRUE(parseLocationList("").empty());
    // LF alone ends a line as well; a CR elsewhere stays (and the entry is refused on use).
    EXPECT_EQ(parseLocationList("a/1\nb/2\r\nc\r/3\n"), (std::vector<std::string>{"a/1", "b/2", "c\r/3", ""}));
}

TEST(LocationList, ReloadTakesTheSetsLineAndUpdatesOnlyWhenItChanged) {
    // First load with set 1: the second line, no update.
    std::vector<std::string> hosts;
    LocationReload r = reloadLocations(hosts, 1, std::string("a/1\r\nb/2"));
    EXPECT_FALSE(r.updateNow || r.fetchList);
    EXPECT_EQ(hosts, (std::vector<std::string>{"a/1", "b/2"}));
    EXPECT_FALSE(reloadLocations(hosts, 1, std::string("x/9\r\nb/2\r\n")).updateNow);
    EXPECT_TRUE(reloadLocations(hosts, 1, std::string("x/9\r\nc/3\r\n")).updateNow);
    EXPECT_EQ(hosts[1], "c/3");
    // A missing file asks for the fetch and keeps room for the set.
    std::vector<std::string> none;
    EXPECT_TRUE(reloadLocations(none, 2, std::nullopt).fetchList);
    EXPECT_EQ(none.size(), 3u);
    // A short file or a negative set is out of range; a final CR LF makes an empty last line.
    EXPECT_EQ(errorNumberOf([&] { reloadLocations(none, 3, std::string("a/1\r\n")); }), kErrSubscriptOutOfRange);
    EXPECT_EQ(errorNumberOf([&] { reloadLocations(none, -1, std::nullopt); }), kErrSubscriptOutOfRange);
    reloadLocations(none, 1, std::string("a/1\r\n"));
    EXPECT_EQ(none[1], "");
}

}  // namespace
}  // namespace tw
