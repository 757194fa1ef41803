#include "net/redirects.h"

#include <utility>

#include "runtime/runtime_error.h"

namespace tw {

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<Location> resolveRedirect(const Location& from, std::string_view target) {
    target = target.substr(0, target.find('#'));
    if (target.empty()) return std::nullopt;
    const auto [scheme, rest] = splitScheme(target);
    Location next{from.scheme, from.host, {}};
    std::string_view hostAndPath;
    if (rest.size() != target.size()) {
        next.scheme = scheme;
        hostAndPath = rest;
    } else if (target.starts_with("//")) {
        hostAndPath = target.substr(2);
    } else if (target.starts_with("/")) {
        next.path = target;
    } else {
        // Relative to the folder of the address it came from; a scheme we do not speak
        // ("ftp://...") is no path.
        const std::size_t colon = target.find(':');
        if (colon != std::string_view::npos && colon < target.find('/')) return std::nullopt;
        const std::string_view fromPath = std::string_view(from.path).substr(0, from.path.find('?'));
        next.path = std::string(fromPath.substr(0, fromPath.rfind('/') + 1)).append(target);
    }
    if (!hostAndPath.empty()) {
        const std::size_t end = hostAndPath.find_first_of("/?");
        next.host = hostAndPath.substr(0, end);
        next.path = end == std::string_view::npos ? "/" : std::string(hostAndPath.substr(end));
        if (next.path.front() == '?') next.path = "/" + next.path;
    } else if (next.path.empty()) {
        return std::nullopt;  // "scheme://" or "//" with no host
    }
    if (next.host.empty() || !fitsRequest(next.host, RequestPart::Host) || !fitsRequest(next.path, RequestPart::Path))
        return std::nullopt;
    try {
        splitHostPort(next.host, next.scheme);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
    return next;
}

RedirectChain::RedirectChain(Location start) { m_visited.push_back(std::move(start)); }

RedirectChain::Verdict RedirectChain::follow(std::string_view target) {
    std::optional<Location> next = resolveRedirect(current(), target);
    if (!next) return {std::nullopt, "Redirect refused: unusable Location from " + current().host};
    if (current().scheme == Scheme::Https && next->scheme == Scheme::Http)
        return {std::nullopt, "Redirect refused: https to http (" + next->host + ")"};
    for (const Location& seen : m_visited)
        if (seen == *next) return {std::nullopt, "Redirect refused: a loop back to " + next->host};
    if (m_visited.size() > kMaxHops) return {std::nullopt, "Redirect refused: more than 5 hops"};
    m_visited.push_back(*next);
    return {std::move(next), "Redirected to " + m_visited.back().host + "..."};
}

}  // namespace tw
