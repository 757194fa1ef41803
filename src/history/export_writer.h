#pragma once
// The history viewer's export: the events that pass its filters, newest first, as a CSV or
// JSON file for a spreadsheet or a web page. Both carry the same five columns: place,
// new_owner, previous_owner, date (the log's text) and date_iso (that text read back as
// ISO 8601 local time, "2024-05-17T14:30:00", or empty when it cannot be read). The text is
// UTF-8: log text that is not UTF-8 is read as Windows-1252, as the windows show it.

#include <optional>
#include <span>
#include <string>

#include "history/event_log.h"
#include "runtime/general_date.h"

namespace tw {

enum class ExportFormat { Csv, Json };

// The format a file name asks for by its extension, ".csv" or ".json" in any case; nothing
// for any other name.
std::optional<ExportFormat> exportFormatFor(const std::string& fileName);

// The whole file. `events` are oldest first, as the log holds them; the file lists them
// newest first, as the viewer does. CSV follows RFC 4180: CR LF after every record, the
// header included, and a field in double quotes (its quotes doubled) when it holds a comma,
// a quote, CR or LF. A field that begins with "=", "+", "-", "@", a tab or CR is written
// with a leading "'", so a spreadsheet shows it as text instead of running it as a formula;
// the quoting then looks at the field with its "'". JSON is an array with one object per
// line and holds every field as it is.
std::string exportText(std::span<const HistoryEventView> events, ExportFormat format,
                       const DatePatterns& patterns);

}  // namespace tw
