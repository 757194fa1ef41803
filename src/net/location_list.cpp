#include "net/location_list.h"

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {

std::vector<std::string> parseLocationList(std::string_view fileText) {
    // Lists written by hand or served from elsewhere often end their lines with LF alone.
    std::vector<std::string> entries = splitText(fileText, "\n");
    for (std::string& entry : entries)
        if (!entry.empty() && entry.back() == '\r') entry.pop_back();
    return entries;
}

std::string formatLocationList(const std::vector<std::string>& entries) {
    std::string text;
    for (const auto& entry : entries) text.append(entry).append("\r\n");
    return text;
}

LocationReload reloadLocations(std::vector<std::string>& hostServers, int set,
                               const std::optional<std::string>& fileText) {
    if (set < 0) throw RuntimeError(kErrSubscriptOutOfRange);
    const auto index = static_cast<std::size_t>(set);
    if (hostServers.size() <= index) hostServers.resize(index + 1);
    const std::string old = hostServers[index];

    LocationReload result;
    if (!fileText) {
        result.fetchList = true;
        return result;
    }
    hostServers = parseLocationList(*fileText);
    if (hostServers.size() <= index) throw RuntimeError(kErrSubscriptOutOfRange);
    // The first load after start-up has nothing to compare with; its caller downloads.
    result.updateNow = !old.empty() && hostServers[index] != old;
    return result;
}

}  // namespace tw
