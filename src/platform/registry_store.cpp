#include "platform/registry_store.h"

#include <cstdio>

namespace tw::platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && sameRegistryName(std::string(s.substr(0, prefix.size())), std::string(prefix));
}

std::string normalizedKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
    return std::string(key);
}

// A physical line as stored keeps its line end; its content is what the reader sees: the
// text before the LF, less one CR before it (or at the very end of the file).
std::string_view lineContent(std::string_view raw) {
    if (!raw.empty() && raw.back() == '\n') raw.remove_suffix(1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    return raw;
}

std::string_view lineEnd(std::string_view raw) { return raw.substr(lineContent(raw).size()); }

bool isBlankLine(std::string_view raw) { return trimmed(lineContent(raw)).empty(); }

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A hex number of 1 to 8 digits filling the whole text.
std::optional<uint32_t> parseHexNumber(std::string_view s) {
    if (s.empty() || s.size() > 8) return std::nullopt;
    uint32_t n = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        n = n * 16 + static_cast<uint32_t>(d);
    }
    return n;
}

// A quoted text starting at s[at] == '"'; at moves past the closing quote. Only \\ and \"
// are escapes; any other backslash stands for itself, as regedit reads it.
std::optional<std::string> parseQuoted(std::string_view s, size_t& at) {
    std::string out;
    for (size_t i = at + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            at = i + 1;
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out.push_back(s[i]);
    }
    return std::nullopt;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// "hex:" / "hex(N):" data: comma-separated byte pairs, blanks and line joins allowed.
std::optional<RegistryValue> parseHexData(std::string_view data) {
    RegistryValue v{REG_BINARY, {}};
    data.remove_prefix(3);
    if (!data.empty() && data.front() == '(') {
        const size_t close = data.find(')');
        if (close == std::string_view::npos) return std::nullopt;
        const auto type = parseHexNumber(data.substr(1, close - 1));
        if (!type) return std::nullopt;
        v.type = *type;
        data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':') return std::nullopt;
    data = trimmed(data.substr(1));
    while (!data.empty()) {
        const size_t comma = data.find(',');
        const std::string_view item = trimmed(data.substr(0, comma));
        if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0) return std::nullopt;
        v.data.push_back(static_cast<char>(hexDigit(item[0]) * 16 + hexDigit(item[1])));
        if (comma == std::string_view::npos) break;
        data = trimmed(data.substr(comma + 1));
        if (data.empty()) return std::nullopt;  // a dangling comma
    }
    return v;
}

struct ParsedValue {
    std::string name;
    RegistryValue value;
};

std::optional<ParsedValue> parseValueLine(std::string_view line) {
    ParsedValue out;
    size_t at = 0;
    if (line.empty()) return std::nullopt;
    if (line[0] == '@') {
        at = 1;
    } else if (line[0] == '"') {
        auto name = parseQuoted(line, at);
        if (!name) return std::nullopt;
        out.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    std::string_view rest = trimmed(line.substr(at));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = trimmed(rest.substr(1));
    if (!rest.empty() && rest.front() == '"') {
        size_t end = 0;
        auto text = parseQuoted(rest, end);
        if (!text || !trimmed(rest.substr(end)).empty()) return std::nullopt;
        out.value = {REG_SZ, std::move(*text)};
        return out;
    }
    if (startsWithNoCase(rest, "dword:")) {
        const auto n = parseHexNumber(rest.substr(6));
        if (!n) return std::nullopt;
        out.value = dwordValue(*n);
        return out;
    }
    if (startsWithNoCase(rest, "hex")) {
        auto v = parseHexData(rest);
        if (!v) return std::nullopt;
        out.value = std::move(*v);
        return out;
    }
    return std::nullopt;
}

std::string hexBytes(std::string_view data) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
        out += buffer;
    }
    return out;
}

// A value line whose data is in hex form ends with "\" when it goes on on the next line.
bool continuesOnNextLine(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.empty() || t.back() != '\\') return false;
    size_t at = 1;
    if (t.front() == '"') {
        at = 0;
        if (!parseQuoted(t, at)) return false;
    } else if (t.front() != '@') {
        return false;
    }
    std::string_view rest = trimmed(t.substr(at));
    if (rest.empty() || rest.front() != '=') return false;
    return startsWithNoCase(trimmed(rest.substr(1)), "hex");
}

}  // namespace

std::string renderValueLine(const std::string& name, const RegistryValue& value) {
    std::string line = name.empty() ? "@=" : quoted(name) + "=";
    if (value.type == REG_SZ && !hasLineBreakOrNul(value.data)) return line + quoted(value.data);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n * 256 + static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", n);
        return line + buffer;
    }
    if (value.type == REG_BINARY) return line + "hex:" + hexBytes(value.data);
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    return line + buffer + hexBytes(value.data);
}

RegistryDocument RegistryDocument::parse(std::string_view text) {
    RegistryDocument doc;
    std::vector<std::string_view> lines;  // each with its line end, so text() gives back every byte
    for (size_t start = 0; start < text.size();) {
        const size_t newline = text.find('\n', start);
        const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }

    std::optional<std::string> section;  // the key of the HKEY_CURRENT_USER section we are in
    bool seenContent = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        Entry entry;
        entry.lines.emplace_back(lines[i]);
        std::string logical(trimmed(lineContent(lines[i])));
        // A continued hex line goes on to the next line unless that line is blank or missing:
        // a writer may then add lines after it without them being swallowed.
        while (continuesOnNextLine(logical) && i + 1 < lines.size() && !isBlankLine(lines[i + 1])) {
            logical.pop_back();
            logical += trimmed(lineContent(lines[++i]));
            entry.lines.emplace_back(lines[i]);
        }
        entry.openContinuation = continuesOnNextLine(logical);
        const std::string_view t = logical;
        if (!seenContent && !t.empty()) {
            seenContent = true;
            doc.m_hasHeader = t == kHeader || startsWithNoCase(t, "Windows Registry Editor");
        }
        if (!t.empty() && t.front() == '[') {
            section.reset();
            entry.kind = Kind::ForeignSection;
            if (t.back() == ']') {
                const std::string_view inner = t.substr(1, t.size() - 2);
                if (startsWithNoCase(inner, kUserRoot) &&
                    (inner.size() == kUserRoot.size() || inner[kUserRoot.size()] == '\\')) {
                    entry.kind = Kind::Section;
                    entry.key = normalizedKey(inner.substr(kUserRoot.size()));
                    section = entry.key;
                }
            }
        } else if (section) {
            if (auto parsed = parseValueLine(t)) {
                entry.kind = Kind::Value;
                entry.key = *section;
                entry.name = std::move(parsed->name);
                entry.value = std::move(parsed->value);
            }
        }
        doc.m_entries.push_back(std::move(entry));
    }
    return doc;
}

RegistryDocument::Entry RegistryDocument::plainLine(std::string text) {
    Entry entry;
    entry.lines.push_back(std::move(text) + "\n");
    return entry;
}

std::string RegistryDocument::text() const {
    std::string out;
    for (const Entry& e : m_entries) {
        for (const std::string& line : e.lines) {
            // Only the file's last line may lack its LF; it gets one when lines follow.
            if (!out.empty() && out.back() != '\n') out += '\n';
            out += line;
        }
    }
    return out;
}

RegistryContents RegistryDocument::contents() const {
    RegistryContents out;
    for (const Entry& e : m_entries) {
        if (e.kind == Kind::Section) out.sections.push_back(e.key);
        if (e.kind == Kind::Value) out.values.push_back({e.key, e.name, e.value});
    }
    return out;
}

bool RegistryDocument::keyExists(const std::string& key) const {
    const std::string k = normalizedKey(key);
    if (k.empty()) return true;
    for (const Entry& e : m_entries) {
        if (e.kind != Kind::Section) continue;
        if (sameRegistryName(e.key, k)) return true;
        if (e.key.size() > k.size() && e.key[k.size()] == '\\' && startsWithNoCase(e.key, k)) return true;
    }
    return false;
}

std::optional<RegistryValue> RegistryDocument::value(const std::string& key, const std::string& name) const {
    const std::string k = normalizedKey(key);
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->kind == Kind::Value && sameRegistryName(it->key, k) && sameRegistryName(it->name, name))
            return it->value;
    return std::nullopt;
}

std::optional<size_t> RegistryDocument::lastSectionOf(const std::string& key) const {
    for (size_t i = m_entries.size(); i-- > 0;)
        if (m_entries[i].kind == Kind::Section && sameRegistryName(m_entries[i].key, key)) return i;
    return std::nullopt;
}

size_t RegistryDocument::insertionPointAfter(size_t section) const {
    // After the last non-blank line of the section.
    size_t point = section + 1;
    for (size_t i = section + 1; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        if (e.kind == Kind::Section || e.kind == Kind::ForeignSection) break;
        if (!isBlankLine(e.lines.front())) point = i + 1;
    }
    return point;
}

void RegistryDocument::insertEntry(size_t at, Entry entry) {
    // A blank line ends a continued line that has nothing after it, so the new line does not
    // become its next part.
    if (at > 0 && m_entries[at - 1].openContinuation) {
        m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), plainLine(""));
        ++at;
    }
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

bool RegistryDocument::setValue(const std::string& key, const std::string& name, const RegistryValue& value) {
    const std::string k = normalizedKey(key);
    if (k.empty() || hasLineBreakOrNul(k) || hasLineBreakOrNul(name)) return false;
    Entry entry{Kind::Value, {renderValueLine(name, value) + "\n"}, k, name, value};

    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->kind == Kind::Value && sameRegistryName(it->key, k) && sameRegistryName(it->name, name)) {
            entry.key = it->key;
            entry.name = it->name;  // keep the spelling already in the file, and its line end
            entry.lines = {renderValueLine(entry.name, value) + std::string(lineEnd(it->lines.back()))};
            *it = std::move(entry);
            return true;
        }
    }
    if (!m_hasHeader) {
        m_entries.insert(m_entries.begin(), {plainLine(std::string(kHeader)), plainLine("")});
        m_hasHeader = true;
    }
    if (const auto section = lastSectionOf(k)) {
        entry.key = m_entries[*section].key;
        insertEntry(insertionPointAfter(*section), std::move(entry));
        return true;
    }
    if (!m_entries.empty() && !isBlankLine(m_entries.back().lines.back()))
        m_entries.push_back(plainLine(""));
    Entry section = plainLine("[" + std::string(kUserRoot) + "\\" + k + "]");
    section.kind = Kind::Section;
    section.key = k;
    m_entries.push_back(std::move(section));
    m_entries.push_back(std::move(entry));
    return true;
}

bool RegistryDocument::deleteValue(const std::string& key, const std::string& name) {
    const std::string k = normalizedKey(key);
    const size_t before = m_entries.size();
    std::erase_if(m_entries, [&](const Entry& e) {
        return e.kind == Kind::Value && sameRegistryName(e.key, k) && sameRegistryName(e.name, name);
    });
    return m_entries.size() != before;
}

}  // namespace tw::platform
