#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/files.h"

namespace tw::platform {
namespace {

// Key and value names the program uses are ASCII: the ANSI calls take them as they are.
class WindowsRegistry : public Registry {
public:
    bool keyExists(const std::string& key) override;
    std::optional<RegistryValue> queryValue(const std::string& key, const std::string& name) override;
    bool setValue(const std::string& key, const std::string& name, const RegistryValue& value) override;
    bool deleteValue(const std::string& key, const std::string& name) override;
};

class OpenKey {
public:
    OpenKey(const std::string& key, REGSAM access) {
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, trimmedRegistryKey(key).c_str(), 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    // Creates the key and its parents when missing.
    static OpenKey created(const std::string& key) {
        OpenKey open;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, trimmedRegistryKey(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &open.m_key, nullptr) != ERROR_SUCCESS)
            open.m_key = nullptr;
        return open;
    }
    OpenKey(OpenKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (m_key) ::RegCloseKey(m_key);
    }
    HKEY get() const { return m_key; }

private:
    OpenKey() = default;
    HKEY m_key = nullptr;
};

bool isAutostartValue(const std::string& key, const std::string& name) {
    return sameRegistryName(trimmedRegistryKey(key), kRunKey) && sameRegistryName(name, kAutostartValueName);
}

// The Run value names the program in quotes, so a path with blanks (Program Files) starts the
// right file; the program is the longest leading run of words that names an existing file.
std::string quotedProgram(const std::string& command) {
    if (!command.empty() && command.front() == '"') return command;
    size_t programEnd = 0;
    for (size_t end = command.find(' ');; end = command.find(' ', end + 1)) {
        const size_t length = end == std::string::npos ? command.size() : end;
        if (length > 0 && fileExists(command.substr(0, length))) programEnd = length;
        if (end == std::string::npos) break;
    }
    if (programEnd == 0) return command;
    return "\"" + command.substr(0, programEnd) + "\"" + command.substr(programEnd);
}

// The command in the form it was written in: the program's quotes taken off again.
std::string unquotedProgram(const std::string& command) {
    if (command.empty() || command.front() != '"') return command;
    const size_t close = command.find('"', 1);
    if (close == std::string::npos) return command;
    return command.substr(1, close - 1) + command.substr(close + 1);
}

}  // namespace

bool WindowsRegistry::keyExists(const std::string& key) {
    return OpenKey(key, KEY_READ).get() != nullptr;
}

std::optional<RegistryValue> WindowsRegistry::queryValue(const std::string& key, const std::string& name) {
    const OpenKey open(key, KEY_QUERY_VALUE);
    if (!open.get()) return std::nullopt;
    std::vector<BYTE> data;
    DWORD type = 0;
    DWORD size = 0;
    // The value may grow between asking its size and reading it: ask again.
    LSTATUS status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
        status = ::RegQueryValueExA(open.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.resize(size);
        status = ::RegQueryValueExA(open.get(), name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value{static_cast<uint32_t>(type), std::string(reinterpret_cast<const char*>(data.data()), size)};
    // Text is stored with its terminating NUL, which the program's values do not carry.
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !value.data.empty() && value.data.back() == '\0')
        value.data.pop_back();
    if (isAutostartValue(key, name) && type == REG_SZ) value.data = unquotedProgram(value.data);
    return value;
}

bool WindowsRegistry::setValue(const std::string& key, const std::string& name, const RegistryValue& value) {
    if (trimmedRegistryKey(key).empty()) return false;
    const OpenKey open = OpenKey::created(key);
    if (!open.get()) return false;
    std::string data = value.data;
    if (isAutostartValue(key, name) && value.type == REG_SZ) data = quotedProgram(data);
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) data.push_back('\0');
    return ::RegSetValueExA(open.get(), name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool WindowsRegistry::deleteValue(const std::string& key, const std::string& name) {
    const OpenKey open(key, KEY_SET_VALUE);
    return open.get() && ::RegDeleteValueA(open.get(), name.c_str()) == ERROR_SUCCESS;
}

std::unique_ptr<Registry> makeSystemRegistry() { return std::make_unique<WindowsRegistry>(); }

}  // namespace tw::platform
