// Where a redirect goes and which hops are refused, without a socket (the end-to-end
// download tests follow upgrades, relative places, long chains and downgrades).
#include "net/redirects.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(Redirects, LocationsResolveAgainstTheAddressTheyCameFromOrAreRefused) {
    const Location from = splitLocation("herald.example:8080/game/now/server-info.xml?x=/y");
    const std::pair<const char*, const char*> rows[] = {
        {"HTTPS://new.example:81", "https://new.example:81/"},
        {"https://new.example?q=1", "https://new.example/?q=1"},
        {"//other.example/d", "http://other.example/d"},
        {"/top.xml#part", "http://herald.example:8080/top.xml"},
        {"next.xml", "http://herald.example:8080/game/now/next.xml"},
        {"", "-"}, {"#only", "-"}, {"https:///path", "-"}, {"ftp://files.example/x", "-"},
        {"https://bad host/x", "-"}, {"https://h:99999/x", "-"}, {"/x\r\nX-Forged: 1", "-"},
    };
    for (const auto& [target, expected] : rows) {
        const std::optional<Location> at = resolveRedirect(from, target);
        const std::string shown = at ? (at->scheme == Scheme::Https ? "https://" : "http://") + at->host + at->path : "-";
        EXPECT_EQ(shown, expected) << target;
    }
    // A hop back to an address already asked is a loop, however it is written.
    RedirectChain chain(splitLocation("h.example/1"));
    EXPECT_EQ(chain.follow("https://h.example/1").caption, "Redirected to h.example...");
    EXPECT_EQ(chain.follow("/2").caption, "Redirected to h.example...");
    EXPECT_EQ(chain.follow("1").caption, "Redirect refused: a loop back to h.example");
}

}  // namespace
}  // namespace tw
