#pragma once
// The REGEDIT4 text form of the registry file, parsed into lines that can be changed one at
// a time and written back. Only HKEY_CURRENT_USER sections are read; every other line
// (comments, other roots, deletion entries, lines that do not parse) is kept as it was, so a
// hand-edited or damaged file loses nothing when a value is changed, and every line keeps
// its own line end. A hex value whose line ends in "\" goes on on the next line, unless that
// line is blank or the file ends there. Plain C++, no files.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tw::platform {

// What a document gives its readers: the key of every HKEY_CURRENT_USER section and every
// value entry, in file order. Two documents with equal contents answer every keyExists and
// value call alike.
struct RegistryContents {
    struct Value {
        std::string key;
        std::string name;
        RegistryValue value;
        bool operator==(const Value&) const = default;
    };
    std::vector<std::string> sections;
    std::vector<Value> values;
    bool operator==(const RegistryContents&) const = default;
};

class RegistryDocument {
public:
    // Reads as much of the text as makes sense; never fails. parse and text agree: text()
    // of a parsed document gives back the same bytes, and after any change its parse has
    // the contents of the changed document.
    static RegistryDocument parse(std::string_view text);
    std::string text() const;
    RegistryContents contents() const;

    // A key exists when a section names it or one of its subkeys.
    bool keyExists(const std::string& key) const;
    // The last entry for the value wins, as when the file is imported.
    std::optional<RegistryValue> value(const std::string& key, const std::string& name) const;
    // False when the key or name cannot be written in this form (a line break, a "]" in a
    // key, an empty key); the document is then unchanged.
    bool setValue(const std::string& key, const std::string& name, const RegistryValue& value);
    // Removes every entry of the value; false when there was none.
    bool deleteValue(const std::string& key, const std::string& name);

private:
    // ForeignSection: a section of another root, or one that does not parse; its values
    // are kept as Other lines.
    enum class Kind { Other, Section, ForeignSection, Value };
    struct Entry {
        Kind kind = Kind::Other;
        std::vector<std::string> lines;  // physical lines with their line ends, as read or rendered
        std::string key;                 // Section: its key; Value: its section's key
        std::string name;                // Value only
        RegistryValue value;             // Value only
        bool openContinuation = false;   // its last line asks for a next part it did not get
    };
    static Entry plainLine(std::string text);
    std::optional<size_t> lastSectionOf(const std::string& key) const;
    size_t insertionPointAfter(size_t section) const;
    void insertEntry(size_t at, Entry entry);

    std::vector<Entry> m_entries;
    bool m_hasHeader = false;
};

// The one-line text form of a value ("Name"="text", dword:, hex(N):), without line end.
std::string renderValueLine(const std::string& name, const RegistryValue& value);

}  // namespace tw::platform
