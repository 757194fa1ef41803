#include "platform/registry.h"

#include <filesystem>
#include <system_error>

#include "platform/autostart.h"
#include "platform/files.h"
#include "platform/registry_store.h"

namespace tw::platform {
namespace {

// A registry file past this size is not ours: it is neither read nor replaced.
constexpr std::uintmax_t kMaxRegFileBytes = 8u << 20;

std::string parentFolder(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool isAutostartValue(const std::string& key, const std::string& name) {
    return sameRegistryName(trimmedRegistryKey(key), kRunKey) && sameRegistryName(name, kAutostartValueName);
}

// The document as stored; nothing when a file is there that cannot be read in full (it must
// then not be overwritten either).
std::optional<RegistryDocument> loadDocument(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return error ? std::nullopt : std::optional(RegistryDocument{});
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxRegFileBytes) return std::nullopt;
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) return std::nullopt;
    return RegistryDocument::parse(*text);
}

// The store may hold the on-change command and a token in it: a new one is the user's alone.
bool storeDocument(const std::string& path, const RegistryDocument& doc) {
    return makeFolders(parentFolder(path)) && writeFileAtomically(path, doc.text(), NewFileAccess::OwnerOnly);
}

}  // namespace

// ---- FileRegistry

FileRegistry::FileRegistry(std::string regFilePath, std::string autostartDesktopPath)
    : m_regFilePath(std::move(regFilePath)), m_autostartPath(std::move(autostartDesktopPath)) {}

bool FileRegistry::keyExists(const std::string& key) {
    // The Run key belongs to the session and is always there.
    if (sameRegistryName(trimmedRegistryKey(key), kRunKey)) return true;
    const auto doc = loadDocument(m_regFilePath);
    return doc && doc->keyExists(key);
}

std::optional<RegistryValue> FileRegistry::queryValue(const std::string& key, const std::string& name) {
    if (isAutostartValue(key, name)) {
        const auto entry = readWholeFile(m_autostartPath);
        if (!entry) return std::nullopt;
        const auto command = autostartCommand(*entry);
        if (!command) return std::nullopt;
        return RegistryValue{REG_SZ, *command};
    }
    const auto doc = loadDocument(m_regFilePath);
    if (!doc) return std::nullopt;
    return doc->value(key, name);
}

bool FileRegistry::setValue(const std::string& key, const std::string& name, const RegistryValue& value) {
    if (isAutostartValue(key, name)) {
        // A desktop entry holds one line of text: other types cannot be kept there.
        if (value.type != REG_SZ || value.data.find('\0') != std::string::npos) return false;
        return makeFolders(parentFolder(m_autostartPath)) &&
               writeFileAtomically(m_autostartPath, autostartEntryText(value.data, fileExists));
    }
    auto doc = loadDocument(m_regFilePath);
    return doc && doc->setValue(key, name, value) && storeDocument(m_regFilePath, *doc);
}

bool FileRegistry::deleteValue(const std::string& key, const std::string& name) {
    if (isAutostartValue(key, name)) return removeFile(m_autostartPath);
    auto doc = loadDocument(m_regFilePath);
    return doc && doc->deleteValue(key, name) && storeDocument(m_regFilePath, *doc);
}

std::unique_ptr<Registry> makeSystemRegistry() {
    return std::make_unique<FileRegistry>(defaultRegFilePath(), defaultAutostartPath());
}

std::string defaultRegFilePath() { return userConfigFolder() + "/towerwatch/registry.reg"; }

std::string defaultAutostartPath() { return userConfigFolder() + "/autostart/towerwatch.desktop"; }

}  // namespace tw::platform
