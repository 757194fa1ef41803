#pragma once
// The current user's registry, in the spirit of the Win32 calls the settings code was written
// against. Key paths are relative to HKEY_CURRENT_USER ("Software\\Vexlor\\Towerwatch"); key
// and value names compare without regard to ASCII letter case, as the Windows registry does.
// No call throws: failures are a false or empty result and change nothing.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tw::platform {

enum : uint32_t { REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The Run value that starts the program with the desktop session.
constexpr const char* kAutostartValueName = "Towerwatch";

// A value's type and bytes. REG_SZ data carries no terminating NUL (it may hold one inside);
// REG_DWORD data is four bytes, least significant first.
struct RegistryValue {
    uint32_t type = REG_SZ;
    std::string data;
    bool operator==(const RegistryValue&) const = default;
};

RegistryValue dwordValue(uint32_t number);

class Registry {
public:
    virtual ~Registry();
    virtual bool keyExists(const std::string& key) = 0;
    // Nothing when the key or the value is missing.
    virtual std::optional<RegistryValue> queryValue(const std::string& key, const std::string& name) = 0;
    // Creates the key (and its parents) as needed. False when the store cannot be written.
    virtual bool setValue(const std::string& key, const std::string& name, const RegistryValue& value) = 0;
    // False when the value did not exist or the store cannot be written.
    virtual bool deleteValue(const std::string& key, const std::string& name) = 0;
};

// ASCII case-insensitive ordering for key and value names.
struct RegistryNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
bool sameRegistryName(const std::string& a, const std::string& b);
// A key name without the backslashes before and after it.
std::string trimmedRegistryKey(std::string key);

// A registry held in memory, for tests. Setting failWrites makes every change fail.
class MemoryRegistry : public Registry {
public:
    bool keyExists(const std::string& key) override;
    std::optional<RegistryValue> queryValue(const std::string& key, const std::string& name) override;
    bool setValue(const std::string& key, const std::string& name, const RegistryValue& value) override;
    bool deleteValue(const std::string& key, const std::string& name) override;

    bool failWrites = false;
    using Values = std::map<std::string, RegistryValue, RegistryNameLess>;
    std::map<std::string, Values, RegistryNameLess> keys;
};

// The store on Linux: the REGEDIT4 text file at regFilePath, except the Run value "Towerwatch",
// which is the desktop session's autostart entry at autostartDesktopPath. The file is read
// afresh by every call and rewritten whole (atomically) by every change; lines it does not
// understand are kept. A file that exists but cannot be read is never overwritten.
class FileRegistry : public Registry {
public:
    FileRegistry(std::string regFilePath, std::string autostartDesktopPath);
    bool keyExists(const std::string& key) override;
    std::optional<RegistryValue> queryValue(const std::string& key, const std::string& name) override;
    bool setValue(const std::string& key, const std::string& name, const RegistryValue& value) override;
    bool deleteValue(const std::string& key, const std::string& name) override;

    const std::string& regFilePath() const { return m_regFilePath; }
    const std::string& autostartDesktopPath() const { return m_autostartPath; }

private:
    std::string m_regFilePath;
    std::string m_autostartPath;
};

// The store the program uses on this system: a FileRegistry at the default paths on Linux,
// the registry itself on Windows.
std::unique_ptr<Registry> makeSystemRegistry();

// $XDG_CONFIG_HOME/towerwatch/registry.reg and $XDG_CONFIG_HOME/autostart/towerwatch.desktop.
std::string defaultRegFilePath();
std::string defaultAutostartPath();

}  // namespace tw::platform
