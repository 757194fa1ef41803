#include "settings/settings_store.h"

#include "platform/services.h"

namespace tw {

std::string settingsKey() { return "Software\\Vexlor\\" + platform::processFacts().productName(); }

std::string ReadSetting(const std::string& ValueName, const std::string& Default) {
    platform::Registry& registry = platform::registry();
    const std::string key = settingsKey();
    // Open without creating: reading never makes the key appear.
    if (!registry.keyExists(key)) return Default;
    const auto value = registry.queryValue(key, ValueName);
    if (!value || value->type != platform::REG_SZ) return Default;
    return value->data.substr(0, value->data.find('\0'));
}

void WriteSetting(const std::string& ValueName, const std::string& Value) {
    platform::registry().setValue(settingsKey(), ValueName, {platform::REG_SZ, Value});
}

}  // namespace tw
