#include "runtime/link_check.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

TEST(LinkCheck, OnlyWebPagesWithAHostAndTheProgramsOwnMailLinksOpen) {
    const struct {
        std::string url;
        bool fromDocument, fromProgram;
        const char* label;
    } rows[] = {
        {"http://herald.example.org/guild/pale-lantern", true, true, "plain web page"},
        {"https://herald.example.org", true, true, "secure, no path"},
        {"HTTPS://Herald.Example.org/g?id=4#top", true, true, "scheme in capitals"},
        {"hTtP://user:pw@herald.example.org:8080/g", true, true, "user and port"},
        {"http://[::1]:8080/", true, true, "IPv6 literal"},
        {"http://h\xc3\xa9rald.example/guilde", true, true, "non-ASCII host and path"},
        {"mailto:vexlor@towerwatch.example", false, true, "mail link: the program's own only"},
        {"MAILTO:someone@example.org", false, true, "mail scheme in capitals"},
        {"mailto:", false, false, "mail link without an address"},
        {"", false, false, "empty"},
        {"file:///etc/passwd", false, false, "local file"},
        {"/usr/bin/xterm", false, false, "bare path"},
        {"~/.bashrc", false, false, "home path"},
        {"javascript:alert(1)", false, false, "script"},
        {"smb://share/x", false, false, "other scheme"},
        {"httpx://herald.example.org", false, false, "scheme that begins with http"},
        {"http:herald.example.org", false, false, "no slashes"},
        {"http:/herald.example.org", false, false, "one slash"},
        {"http://", false, false, "no host"},
        {"http:///etc/passwd", false, false, "empty host before the path"},
        {"http://user@/x", false, false, "empty host after the user"},
        {"http://:80/x", false, false, "port without host"},
        {"http://[]/x", false, false, "empty IPv6 literal"},
        {"http://?q=1", false, false, "query without host"},
        {"http://\\evil", false, false, "backslash ends the authority"},
        {" http://herald.example.org", false, false, "leading blank"},
        {"http://herald.example.org/a b", false, false, "blank inside"},
        {"http://herald.example.org/\r\nX: y", false, false, "line break inside"},
        {std::string("http://herald.example.org\0.evil", 31), false, false, "NUL inside"},
        {"http://herald.example.org/\x7f", false, false, "DEL inside"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(mayOpenLink(r.url, LinkSource::Document), r.fromDocument) << r.label;
        EXPECT_EQ(mayOpenLink(r.url, LinkSource::Program), r.fromProgram) << r.label;
    }
}

}  // namespace
}  // namespace tw
