#include "history/export_writer.h"

#include <cstdio>

#include "history/event_fields.h"
#include "runtime/text.h"
#include "runtime/utf8.h"

namespace tw {
namespace {

constexpr const char* kColumns[] = {"place", "new_owner", "previous_owner", "date", "date_iso"};

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool needsCsvQuotes(std::string_view field) {
    for (char c : field)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

// A spreadsheet reads a cell that begins with one of these as a formula (or, for tab and CR,
// drops them and reads what follows), so a keep named "=HYPERLINK(...)" would run.
bool spreadsheetReadsAsFormula(std::string_view field) {
    return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// The leading apostrophe is part of the cell, so quoting looks at the cell with it.
void appendCsvField(std::string& out, std::string_view field, std::string& scratch) {
    if (spreadsheetReadsAsFormula(field)) {
        scratch.assign("'").append(field);
        field = scratch;
    }
    if (needsCsvQuotes(field))
        appendQuotedField(out, field);
    else
        out.append(field);
}

void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    size_t plain = 0;  // start of the run of characters that need no escape
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out.append(escaped);
        }
        }
    }
    out.append(text.substr(plain));
    out.push_back('"');
}

// Log text is usually plain ASCII names; only other text needs converting.
std::string_view asUtf8(std::string_view field, std::string& converted) {
    for (char c : field)
        if (static_cast<unsigned char>(c) >= 0x80) return converted = toUtf8(field);
    return field;
}

}  // namespace

std::optional<ExportFormat> exportFormatFor(const std::string& fileName) {
    if (endsWithNoCase(fileName, ".csv")) return ExportFormat::Csv;
    if (endsWithNoCase(fileName, ".json")) return ExportFormat::Json;
    return std::nullopt;
}

std::string exportText(std::span<const HistoryEventView> events, ExportFormat format,
                       const DatePatterns& patterns) {
    const GeneralDateReader dates(patterns);
    std::string out;
    out.reserve(events.size() * 96 + 64);
    if (format == ExportFormat::Csv) {
        for (const char* column : kColumns) out.append(column).push_back(',');
        out.back() = '\r';
        out.push_back('\n');
    } else {
        out.push_back('[');
    }
    std::string converted[4];
    std::string cell;
    for (auto event = events.rbegin(); event != events.rend(); ++event) {
        const auto moment = dates.read(event->When);
        const std::string iso = moment ? isoDateTime(*moment) : std::string();
        const std::string_view fields[] = {
            asUtf8(event->Place, converted[0]), asUtf8(event->NewOwner, converted[1]),
            asUtf8(event->OldOwner, converted[2]), asUtf8(event->When, converted[3]), iso};
        if (format == ExportFormat::Csv) {
            for (size_t i = 0; i < std::size(fields); ++i) {
                if (i > 0) out.push_back(',');
                appendCsvField(out, fields[i], cell);
            }
            out.append("\r\n");
            continue;
        }
        out.append(event == events.rbegin() ? "\n  {" : ",\n  {");
        for (size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) out.append(", ");
            appendJsonString(out, kColumns[i]);
            out.append(": ");
            appendJsonString(out, fields[i]);
        }
        out.push_back('}');
    }
    if (format == ExportFormat::Json) out.append(events.empty() ? "]\n" : "\n]\n");
    return out;
}

}  // namespace tw
