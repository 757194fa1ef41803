// The location list and the request texts made from it. The input is one byte choosing the
// server set, one byte giving the length of the "LocationHost" setting, that many bytes of
// it, then the list file's text. Both downloads are prepared as the main window prepares
// them; a request that gets built must be exactly its four lines: no CR, LF or NUL from an
// entry or the setting may reach it, and the Host line names a host without blanks or
// control characters.
// Checks (names for TW_FUZZ_SKIP): request-text, request-host.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "net/http_requests.h"
#include "net/location_list.h"
#include "runtime/runtime_error.h"

namespace {

bool isControlOrBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7f;
}

// Four lines ended by CR LF, the last one empty, and no other CR, LF or NUL anywhere.
void expectPlainRequest(const std::string& request) {
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < request.size(); ++i) {
        const char c = request[i];
        const bool pairedCr = c == '\r' && i + 1 < request.size() && request[i + 1] == '\n';
        const bool pairedLf = c == '\n' && i > 0 && request[i - 1] == '\r';
        if (pairedCr) ++lineEnds;
        tw::fuzz::check(c != '\0' && (c != '\r' || pairedCr) && (c != '\n' || pairedLf), "request-text",
                        [&] { return "a NUL, CR or LF inside the request at " + std::to_string(i); });
    }
    tw::fuzz::check(lineEnds == 4 && request.ends_with("\r\n\r\n"), "request-text",
                    [&] { return std::to_string(lineEnds) + " line ends in the request"; });

    const std::size_t host = request.find("\r\nHost: ");
    if (host == std::string::npos) return;
    const std::size_t from = host + 8;
    const std::string_view value = std::string_view(request).substr(from, request.find("\r\n", from) - from);
    bool clean = !value.empty();
    for (char c : value) clean = clean && !isControlOrBlank(c);
    tw::fuzz::check(clean, "request-host", [&] { return "Host line \"" + std::string(value) + "\""; });
}

// The status download: the set's entry, split at its "/", with its port read.
void prepareStatusRequest(const std::string& entry, const std::string& makerHost) {
    if (entry.empty()) return;  // no location yet: the update waits for the list
    try {
        const tw::Location location = tw::splitLocation(entry);
        tw::splitHostPort(location.host, location.scheme);
        expectPlainRequest(tw::statusRequest(location, makerHost));
    } catch (const tw::RuntimeError&) {
        // A refused entry fails the update visibly and sends nothing.
    }
}

void prepareListRequest(const std::string& makerHost) {
    try {
        const tw::Location list = tw::locationListAt(makerHost);
        tw::splitHostPort(list.host, list.scheme);
        expectPlainRequest(tw::locationListRequest(makerHost));
    } catch (const tw::RuntimeError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int set = data[0] % 3;
    const std::size_t settingSize = std::min<std::size_t>(data[1], size - 2);
    const std::string setting(tw::fuzz::inputText(data + 2, settingSize));
    const std::string fileText(tw::fuzz::inputText(data + 2 + settingSize, size - 2 - settingSize));

    std::string makerHost;
    try {
        makerHost = tw::makerWebHost(setting);
    } catch (const tw::RuntimeError&) {
        return 0;  // a refused setting fails both downloads visibly: nothing is sent
    }
    prepareListRequest(makerHost);

    std::vector<std::string> hostServers;
    try {
        tw::reloadLocations(hostServers, set, fileText);
    } catch (const tw::RuntimeError&) {
        return 0;  // no entry for the set: error 9, nothing is sent
    }
    prepareStatusRequest(hostServers[static_cast<std::size_t>(set)], makerHost);
    return 0;
}
