#include "history/event_log.h"

#include <cstring>

#include "history/event_fields.h"
#include "runtime/text.h"

namespace tw {

std::string EventLogPath(const std::string& appPath, const std::string& serverName) {
    return appPath + replaceAll(serverName, " ", "_") + ".log";
}

bool isSafeLogServerName(const std::string& serverName) {
    if (serverName == "." || serverName == "..") return false;
    // The path goes to the system as a C string: a NUL would end it early and the record
    // would land in another file.
    return serverName.find('/') == std::string::npos &&
           serverName.find('\0') == std::string::npos;
}

std::string eventRecordLine(const std::string& place, const std::string& newOwner,
                            const std::string& oldOwner, const std::string& when) {
    const std::string_view fields[] = {place, newOwner, oldOwner, when};
    std::string line;
    line.reserve(place.size() + newOwner.size() + oldOwner.size() + when.size() + 5);
    appendEventFields(line, fields);
    line.append("\r\n");
    return line;
}

std::optional<HistoryEventView> splitEventLine(std::string_view line, std::string& scratch) {
    std::string_view fields[4];
    if (!splitEventFields(line, fields, scratch)) return std::nullopt;
    return HistoryEventView{fields[0], fields[3], fields[1], fields[2]};
}

void forEachEventView(std::string_view logText,
                      const std::function<void(const HistoryEventView&)>& visit) {
    forEachEventLine(logText, [&](const HistoryEventView& event, std::string_view) { visit(event); });
}

void forEachEventLine(std::string_view logText,
                      const std::function<void(const HistoryEventView&, std::string_view line)>& visit) {
    std::string scratch;
    const char* const text = logText.data();
    const size_t size = logText.size();
    size_t from = 0;
    while (from < size) {
        // Two vectorised searches per line: the LF, then a CR before it. (find_first_of
        // with two characters searches the set once per byte, many times slower.)
        const void* lf = std::memchr(text + from, '\n', size - from);
        const size_t lineFeed = lf ? static_cast<size_t>(static_cast<const char*>(lf) - text) : size;
        const void* cr = std::memchr(text + from, '\r', lineFeed - from);
        const size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - text) : lineFeed;
        const std::string_view line = logText.substr(from, end - from);
        if (auto event = splitEventLine(line, scratch)) visit(*event, line);
        // CR LF is one line end; a lone CR or LF is one too.
        from = end + 1;
        if (cr && end + 1 == lineFeed) ++from;
    }
}

void forEachEvent(std::string_view logText, const std::function<void(const HistoryEvent&)>& visit) {
    forEachEventView(logText, [&](const HistoryEventView& event) { visit(event.toEvent()); });
}

}  // namespace tw
