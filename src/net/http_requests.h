#pragma once
// The request texts of the two downloads and the pieces they are made of: where a status
// document lives (a location entry "host/path" or "host:port/path", optionally led by
// "http://" or "https://") and the maker's web host that serves the location list.

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// The maker's web host: serves "/towerwatchlocations.txt" and names the program in the
// User-Agent line. The "LocationHost" setting overrides it.
inline constexpr std::string_view kMakerWebHost = "towerwatch.vexlor.example";
inline constexpr std::uint16_t kHttpPort = 80;
inline constexpr std::uint16_t kHttpsPort = 443;
inline constexpr std::string_view kLocationListPath = "/towerwatchlocations.txt";

enum class RequestPart { Host, Path };
// True when the text can go into a request as that part, exactly as it stands: no control
// character (below 32, or 127; CR, LF and NUL among them) and, in a host, no blank. Anything
// else could end a request line early, forge a header line or name one host to the name
// lookup and another in the Host line.
bool fitsRequest(std::string_view text, RequestPart part);

// Without a scheme an address means plain HTTP.
enum class Scheme { Http, Https };

// "http://" or "https://" (any letter case) at the start of the text, and the rest.
struct SchemeAndRest {
    Scheme scheme = Scheme::Http;
    std::string_view rest;
};
SchemeAndRest splitScheme(std::string_view text);

// The maker's web host to use: the setting's value without surrounding spaces, or
// kMakerWebHost when the setting is empty or absent; a scheme stays as written. A value that
// does not fit a request raises error 5.
std::string makerWebHost(std::string_view locationHostSetting);

struct HostAndPort {
    std::string name;          // what is resolved and connected to
    std::uint16_t port = kHttpPort;
};

// "name" or "name:port"; without a port, 80 for http and 443 for https. An empty name, or a
// port that is not a number from 1 to 65535, raises error 5.
HostAndPort splitHostPort(std::string_view host, Scheme scheme = Scheme::Http);

struct Location {
    Scheme scheme = Scheme::Http;
    std::string host;  // the text before the first "/" after the scheme, port included as written
    std::string path;  // from that "/" to the end
    bool operator==(const Location&) const = default;
};

// Splits a location entry at its first "/" after the scheme. An entry without one (an
// empty entry too) raises error 5, as taking the text before a missing "/" always has; so
// does a host or a path that does not fit a request.
Location splitLocation(std::string_view entry);
// The location list on the maker's web host (as makerWebHost gives it).
Location locationListAt(std::string_view makerHost);

// "GET " path " HTTP/1.1", the User-Agent line naming the maker's host (without its
// scheme), "Host: " with the location's host part, and the empty line. Nothing else. Any
// address is asked this way: where a redirect sent a download, the location list too.
std::string statusRequest(const Location& location, std::string_view makerHost);
// The same for "/towerwatchlocations.txt" on the maker's host.
std::string locationListRequest(std::string_view makerHost);

}  // namespace tw
