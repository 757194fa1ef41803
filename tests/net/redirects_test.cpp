// Where a redirect goes and which hops are refused, without a socket.
#include "net/redirects.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

std::string shown(const std::optional<Location>& at) {
    if (!at) return "<refused>";
    return (at->scheme == Scheme::Https ? "https://" : "http://") + at->host + at->path;
}

TEST(Redirects, LocationsResolveAgainstTheAddressTheyCameFrom) {
    const Location from = splitLocation("herald.example:8080/game/now/server-info.xml?x=/y");
    const struct {
        const char* target;
        const char* expected;
    } rows[] = {
        {"https://new.example/doc.xml", "https://new.example/doc.xml"},
        {"HTTP://new.example:81", "http://new.example:81/"},
        {"https://new.example?q=1", "https://new.example/?q=1"},
        {"//other.example/d", "http://other.example/d"},
        {"/top.xml#part", "http://herald.example:8080/top.xml"},
        {"next.xml", "http://herald.example:8080/game/now/next.xml"},
        {"../up.xml", "http://herald.example:8080/game/now/../up.xml"},
        {"", "<refused>"},
        {"#only", "<refused>"},
        {"https://", "<refused>"},
        {"https:///path", "<refused>"},
        {"ftp://files.example/x", "<refused>"},
        {"https://bad host/x", "<refused>"},
        {"https://h:99999/x", "<refused>"},
        {"/x\r\nX-Forged: 1", "<refused>"},
    };
    for (const auto& row : rows) EXPECT_EQ(shown(resolveRedirect(from, row.target)), row.expected) << row.target;
}

TEST(Redirects, ChainFollowsUpgradesAndRefusesDowngradesLoopsAndASixthHop) {
    RedirectChain upgrade(splitLocation("h.example/a"));
    RedirectChain::Verdict v = upgrade.follow("https://h.example/a");
    EXPECT_EQ(v.caption, "Redirected to h.example...");
    EXPECT_EQ(shown(upgrade.current()), "https://h.example/a");
    v = upgrade.follow("http://h.example/b");
    EXPECT_FALSE(v.next);
    EXPECT_EQ(v.caption, "Redirect refused: https to http (h.example)");

    RedirectChain loop(splitLocation("h.example/1"));
    EXPECT_TRUE(loop.follow("/2").next);
    v = loop.follow("/1");
    EXPECT_FALSE(v.next);
    EXPECT_EQ(v.caption, "Redirect refused: a loop back to h.example");

    RedirectChain hops(splitLocation("h.example/0"));
    for (int hop = 1; hop <= 5; ++hop) EXPECT_TRUE(hops.follow("/" + std::to_string(hop)).next) << hop;
    v = hops.follow("/6");
    EXPECT_FALSE(v.next);
    EXPECT_EQ(v.caption, "Redirect refused: more than 5 hops");
    EXPECT_EQ(shown(hops.current()), "http://h.example/5");
    EXPECT_FALSE(hops.follow("").next);
}

}  // namespace
}  // namespace tw
