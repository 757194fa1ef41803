#include "runtime/link_check.h"

#include <algorithm>

#include "runtime/text.h"

namespace tw {
namespace {

// Blanks and control characters would let the opener read the text differently from us.
bool hasBlankOrControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c == ' ' || isAsciiControl(c); });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The host of an authority "user@host:port": what stands between the last "@" and the port.
std::string_view hostOf(std::string_view authority) {
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[')  // an IPv6 literal keeps its colons
        return authority.substr(0, authority.find(']') + 1);
    return authority.substr(0, authority.find(':'));
}

bool isWebPage(std::string_view url) {
    std::string_view rest;
    if (startsWithNoCase(url, "http://")) rest = url.substr(7);
    else if (startsWithNoCase(url, "https://")) rest = url.substr(8);
    else return false;
    // Browsers end the authority at a backslash too.
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#\\"));
    const std::string_view host = hostOf(authority);
    return !host.empty() && host != "[]";
}

}  // namespace

bool mayOpenLink(std::string_view url, LinkSource source) {
    if (url.empty() || hasBlankOrControl(url)) return false;
    if (isWebPage(url)) return true;
    return source == LinkSource::Program && startsWithNoCase(url, "mailto:") && url.size() > 7;
}

}  // namespace tw
