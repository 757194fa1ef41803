#include "net/http_requests.h"

#include <utility>

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string requestText(std::string_view path, std::string_view host, std::string_view makerHost) {
    std::string text;
    text.reserve(path.size() + host.size() + makerHost.size() + 64);
    text.append("GET ").append(path).append(" HTTP/1.1").append(kCrLf);
    text.append("User-Agent: Towerwatch (").append(splitScheme(makerHost).rest).append(")").append(kCrLf);
    text.append("Host: ").append(host).append(kCrLf);
    text.append(kCrLf);
    return text;
}

}  // namespace

SchemeAndRest splitScheme(std::string_view text) {
    for (const auto& [prefix, scheme] : {std::pair{std::string_view("http://"), Scheme::Http},
                                         std::pair{std::string_view("https://"), Scheme::Https}}) {
        if (text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix))
            return {scheme, text.substr(prefix.size())};
    }
    return {Scheme::Http, text};
}

bool fitsRequest(std::string_view text, RequestPart part) {
    for (char c : text)
        if (isAsciiControl(c) || (c == ' ' && part == RequestPart::Host)) return false;
    return true;
}

std::string makerWebHost(std::string_view locationHostSetting) {
    std::string host = trimSpaces(locationHostSetting);
    if (host.empty()) return std::string(kMakerWebHost);
    if (!fitsRequest(host, RequestPart::Host)) throw RuntimeError(kErrInvalidArgument);
    return host;
}

HostAndPort splitHostPort(std::string_view host, Scheme scheme) {
    const std::size_t colon = host.rfind(':');
    // Nothing to connect to: the Host line would be empty.
    if (host.empty() || colon == 0) throw RuntimeError(kErrInvalidArgument);
    if (colon == std::string_view::npos) return {std::string(host), scheme == Scheme::Https ? kHttpsPort : kHttpPort};
    const std::string_view digits = host.substr(colon + 1);
    unsigned long port = 0;
    bool ok = !digits.empty() && digits.size() <= 5;
    for (char c : digits) {
        if (c < '0' || c > '9') ok = false;
        else port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (!ok || port == 0 || port > 65535) throw RuntimeError(kErrInvalidArgument);
    return {std::string(host.substr(0, colon)), static_cast<std::uint16_t>(port)};
}

Location splitLocation(std::string_view entry) {
    const auto [scheme, rest] = splitScheme(entry);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) throw RuntimeError(kErrInvalidArgument);
    Location location{scheme, std::string(rest.substr(0, slash)), std::string(rest.substr(slash))};
    if (!fitsRequest(location.host, RequestPart::Host) || !fitsRequest(location.path, RequestPart::Path))
        throw RuntimeError(kErrInvalidArgument);
    return location;
}

Location locationListAt(std::string_view makerHost) {
    const auto [scheme, host] = splitScheme(makerHost);
    return {scheme, std::string(host), std::string(kLocationListPath)};
}

std::string statusRequest(const Location& location, std::string_view makerHost) {
    return requestText(location.path, location.host, makerHost);
}

std::string locationListRequest(std::string_view makerHost) {
    return requestText(kLocationListPath, splitScheme(makerHost).rest, makerHost);
}

}  // namespace tw
