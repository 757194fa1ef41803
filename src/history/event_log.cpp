#include "history/event_log.h"

#include "platform/files.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {

std::optional<std::string> readEventLogText(const std::string& appPath, const std::string& serverName) {
    if (serverName == "None" || !isSafeLogServerName(serverName)) return std::nullopt;
    return platform::readWholeFile(EventLogPath(appPath, serverName));
}

void appendEventRecord(const std::string& appPath, const std::string& serverName,
                       const std::string& place, const std::string& newOwner,
                       const std::string& oldOwner, const std::string& when) {
    appendEventLine(appPath, serverName, eventRecordLine(place, newOwner, oldOwner, when));
}

void appendEventLine(const std::string& appPath, const std::string& serverName, const std::string& line) {
    if (!isSafeLogServerName(serverName)) throw RuntimeError(kErrBadFileName);
    if (!platform::appendLine(EventLogPath(appPath, serverName), line))
        throw RuntimeError(kErrPathFileAccess);
}

}  // namespace tw
