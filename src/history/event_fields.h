#pragma once
// How the fields of one event log line are joined and split. Fields are joined by ",". A
// field that holds a "," or begins with a double quote is written in double quotes with
// every quote inside doubled; any other field is written as it stands, so a line of ordinary
// names is the same bytes older copies of the program wrote and read.

#include <span>
#include <string>
#include <string_view>

namespace tw {

// Appends the fields to `line`, separated by ",", each quoted only when it has to be.
void appendEventFields(std::string& line, std::span<const std::string_view> fields);

// Appends `field` in double quotes with every quote inside doubled, as in a log line and in
// RFC 4180 CSV.
void appendQuotedField(std::string& line, std::string_view field);

// Splits `line` into exactly fields.size() fields; false when it holds more or fewer. A field
// that opens with a quote and whose closing quote is followed by "," or the line end reads
// without its quotes and with doubled quotes made single; any other field, also one whose
// quote never closes, reads exactly as written. The views point into `line`, or into
// `scratch` (overwritten here) for a field that had doubled quotes.
bool splitEventFields(std::string_view line, std::span<std::string_view> fields, std::string& scratch);

}  // namespace tw
