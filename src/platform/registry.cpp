#include "platform/registry.h"

#include <algorithm>

#include "runtime/text.h"

namespace tw::platform {

Registry::~Registry() = default;

RegistryValue dwordValue(uint32_t number) {
    std::string bytes(4, '\0');
    for (size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xff);
    return {REG_DWORD, bytes};
}

bool RegistryNameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
}

bool sameRegistryName(const std::string& a, const std::string& b) {
    return equalsIgnoringCase(a, b);
}

std::string trimmedRegistryKey(std::string key) {
    while (!key.empty() && key.back() == '\\') key.pop_back();
    const size_t first = key.find_first_not_of('\\');
    return first == std::string::npos ? std::string() : key.substr(first);
}

// ---- MemoryRegistry

bool MemoryRegistry::keyExists(const std::string& key) {
    const std::string k = trimmedRegistryKey(key);
    if (k.empty()) return true;
    for (const auto& [name, values] : keys) {
        (void)values;
        if (sameRegistryName(name, k)) return true;
        if (name.size() > k.size() && name[k.size()] == '\\' && sameRegistryName(name.substr(0, k.size()), k))
            return true;
    }
    return false;
}

std::optional<RegistryValue> MemoryRegistry::queryValue(const std::string& key, const std::string& name) {
    const auto k = keys.find(trimmedRegistryKey(key));
    if (k == keys.end()) return std::nullopt;
    const auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool MemoryRegistry::setValue(const std::string& key, const std::string& name, const RegistryValue& value) {
    const std::string k = trimmedRegistryKey(key);
    if (failWrites || k.empty()) return false;
    keys[k][name] = value;
    return true;
}

bool MemoryRegistry::deleteValue(const std::string& key, const std::string& name) {
    if (failWrites) return false;
    const auto k = keys.find(trimmedRegistryKey(key));
    return k != keys.end() && k->second.erase(name) > 0;
}

}  // namespace tw::platform
