#pragma once
// Where a download goes when a reply sends it elsewhere (301, 302, 303, 307 or 308 with a
// Location field). The chain starts at the address first asked and decides each hop: an
// absolute or relative Location is resolved against the address it came from; http to https
// is followed, https to http is refused (a downgrade), and so is a hop back to an address
// already asked or a sixth hop. Nothing here is saved: every download follows afresh.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_requests.h"

namespace tw {

bool isRedirectStatus(int status);

// The Location value resolved against `from`: "scheme://host/path", "//host/path", "/path"
// or a path relative to from's folder (a "#fragment" dropped). Nothing when the result
// could not be requested as a location entry could not (an empty host, a control
// character, a bad port, another scheme).
std::optional<Location> resolveRedirect(const Location& from, std::string_view target);

class RedirectChain {
public:
    static constexpr std::size_t kMaxHops = 5;

    explicit RedirectChain(Location start);

    struct Verdict {
        std::optional<Location> next;  // set: go there (current() is now it)
        std::string caption;           // "Redirected to <host>..." or why the hop is refused
    };
    // A redirect reply from current() with this Location value.
    Verdict follow(std::string_view target);
    const Location& current() const { return m_visited.back(); }

private:
    std::vector<Location> m_visited;
};

}  // namespace tw
