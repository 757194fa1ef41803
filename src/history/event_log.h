#pragma once
// The ownership event log: one plain text file per monitored server in the program's folder,
// one CR LF line per recorded change, four fields joined by "," (place, new owner, old owner,
// date text; a field holding a "," is quoted, see event_fields.h). The program only ever
// appends to it; the history viewer reads it back.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// One logged change as the history viewer holds it.
struct HistoryEvent {
    std::string Place;
    std::string When;
    std::string NewOwner;
    std::string OldOwner;
    bool operator==(const HistoryEvent&) const = default;
};

// The same four fields pointing into a log's text, for reading without copying.
struct HistoryEventView {
    std::string_view Place;
    std::string_view When;
    std::string_view NewOwner;
    std::string_view OldOwner;
    HistoryEvent toEvent() const {
        return {std::string(Place), std::string(When), std::string(NewOwner), std::string(OldOwner)};
    }
};

// AppPath + the server name with every space turned into "_" + ".log". Nothing else in the
// name is changed; see isSafeLogServerName before touching the file.
std::string EventLogPath(const std::string& appPath, const std::string& serverName);

// False for a server name whose log would not be a plain file in the program's folder: a
// "/" (which would lead into another folder), a NUL (which would cut the path short), or
// the names "." and "..".
bool isSafeLogServerName(const std::string& serverName);

// The whole text of the log of `serverName`; nothing when no server is monitored ("None"),
// for a name isSafeLogServerName refuses, or when the log cannot be read.
std::optional<std::string> readEventLogText(const std::string& appPath, const std::string& serverName);

// The record line, CR LF included, exactly as it is written to the file.
std::string eventRecordLine(const std::string& place, const std::string& newOwner,
                            const std::string& oldOwner, const std::string& when);

// Appends one record (the file is opened, written and closed, and created when missing),
// on a line of its own even after a cut-short earlier append. Raises RuntimeError 52 (bad
// file name) for a server name isSafeLogServerName refuses, and 75 (path/file access error)
// when the file cannot be opened or written; a failed write leaves the file as it was.
void appendEventRecord(const std::string& appPath, const std::string& serverName,
                       const std::string& place, const std::string& newOwner,
                       const std::string& oldOwner, const std::string& when);
// The same for a line eventRecordLine made.
void appendEventLine(const std::string& appPath, const std::string& serverName, const std::string& line);

// The four fields of one line, or nothing unless the line splits into exactly four. The
// views point into `line` or into `scratch`, which is overwritten.
std::optional<HistoryEventView> splitEventLine(std::string_view line, std::string& scratch);

// Calls `visit` for every usable line of a log's text, oldest first. Lines end at LF, CR
// LF or a lone CR; lines that are not four fields are skipped. The view form copies nothing.
void forEachEventView(std::string_view logText,
                      const std::function<void(const HistoryEventView&)>& visit);
void forEachEvent(std::string_view logText, const std::function<void(const HistoryEvent&)>& visit);
// The same with the line each event was split from, its line end left out.
void forEachEventLine(std::string_view logText,
                      const std::function<void(const HistoryEventView&, std::string_view line)>& visit);

}  // namespace tw
