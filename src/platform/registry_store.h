#pragma once
// The REGEDIT4 text form of the registry file, parsed into lines that can be changed one at
// a time and written back. Only HKEY_CURRENT_USER sections are read; every other line
// (comments, other roots, deletion entries, lines that do not parse) is kept as it was, so a
// hand-edited or damaged file loses nothing when a value is changed. Plain C++, no files.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tw::platform {

class RegistryDocument {
public:
    // Reads as much of the text as makes sense; never fails.
    static RegistryDocument parse(std::string_view text);
    std::string text() const;

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
        std::vector<std::string> lines;  // physical lines as read, or as last rendered
        std::string key;                 // Section: its key; Value: its section's key
        std::string name;                // Value only
        RegistryValue value;             // Value only
    };
    static Entry plainLine(std::string text);
    size_t insertionPointFor(const std::string& key) const;
    bool keyExistsAsSection(const std::string& key) const;

    std::vector<Entry> m_entries;
    bool m_hasHeader = false;
};

// The one-line text form of a value ("Name"="text", dword:, hex(N):), without line end.
std::string renderValueLine(const std::string& name, const RegistryValue& value);

}  // namespace tw::platform
