#include "history/event_fields.h"

#include <optional>

namespace tw {
namespace {

constexpr char kSeparator = ',';
constexpr char kQuote = '"';

bool needsQuotes(std::string_view field) {
    return field.find(kSeparator) != std::string_view::npos ||
           (!field.empty() && field.front() == kQuote);
}

// The quoted field starting at line[from], when it is well formed. `next` becomes the
// position of the separator after it, or npos at the line end.
std::optional<std::string_view> readQuoted(std::string_view line, size_t from, std::string& scratch,
                                           size_t& next) {
    if (from >= line.size() || line[from] != kQuote) return std::nullopt;
    bool doubled = false;
    size_t close = from + 1;
    while (true) {
        close = line.find(kQuote, close);
        if (close == std::string_view::npos) return std::nullopt;
        if (close + 1 < line.size() && line[close + 1] == kQuote) {
            doubled = true;
            close += 2;
            continue;
        }
        break;
    }
    const size_t after = close + 1;
    if (after < line.size() && line[after] != kSeparator) return std::nullopt;
    next = after < line.size() ? after : std::string_view::npos;
    const std::string_view inner = line.substr(from + 1, close - from - 1);
    if (!doubled) return inner;
    const size_t start = scratch.size();
    for (size_t i = 0; i < inner.size(); ++i) {
        scratch.push_back(inner[i]);
        if (inner[i] == kQuote) ++i;  // the second quote of a pair
    }
    return std::string_view(scratch).substr(start);
}

}  // namespace

void appendQuotedField(std::string& line, std::string_view field) {
    line.push_back(kQuote);
    for (char c : field) {
        if (c == kQuote) line.push_back(kQuote);
        line.push_back(c);
    }
    line.push_back(kQuote);
}

void appendEventFields(std::string& line, std::span<const std::string_view> fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line.push_back(kSeparator);
        if (needsQuotes(fields[i]))
            appendQuotedField(line, fields[i]);
        else
            line.append(fields[i]);
    }
}

bool splitEventFields(std::string_view line, std::span<std::string_view> fields, std::string& scratch) {
    scratch.clear();
    // Unquoted fields are never longer than the line, so the views into scratch stay put.
    scratch.reserve(line.size());
    size_t count = 0;
    size_t from = 0;
    while (true) {
        if (count == fields.size()) return false;  // one field too many
        size_t next = std::string_view::npos;
        if (auto quoted = readQuoted(line, from, scratch, next)) {
            fields[count++] = *quoted;
        } else {
            next = line.find(kSeparator, from);
            fields[count++] = line.substr(from, next == std::string_view::npos ? line.npos : next - from);
        }
        if (next == std::string_view::npos) break;
        from = next + 1;
    }
    // An empty line is one empty field, so it never reaches four.
    return count == fields.size();
}

}  // namespace tw
