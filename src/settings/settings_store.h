#pragma once
// The program's settings: text values under HKEY_CURRENT_USER\Software\Vexlor\ + product
// name, read afresh on every call. Every reader passes its own default; nothing is reported
// when the registry cannot be read or written.

#include <string>

namespace tw {

// The value's text up to its first NUL; Default when the key or the value is missing or the
// value is not a string.
std::string ReadSetting(const std::string& ValueName, const std::string& Default);

// Stores Value as a string value, creating the key when needed. A failed write leaves the
// old value.
void WriteSetting(const std::string& ValueName, const std::string& Value);

// "Software\\Vexlor\\" + the product name.
std::string settingsKey();

}  // namespace tw
