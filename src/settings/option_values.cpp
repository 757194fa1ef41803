#include "settings/option_values.h"

#include "runtime/conversions.h"
#include "runtime/runtime_error.h"

namespace tw {

namespace {

// The stored text as a whole number, or nothing when it is not one within 32 bits.
bool storedNumber(const std::string& text, int& number) {
    try {
        number = toInt32(text);
        return true;
    } catch (const RuntimeError&) {
        return false;  // type mismatch or overflow: treated like an unknown position
    }
}

}  // namespace

int storedListIndex(const std::string& text, int count, int fallback) {
    int index = 0;
    if (!storedNumber(text, index)) return fallback;
    return index >= 0 && index < count ? index : fallback;
}

int storedCheckValue(const std::string& text) {
    int value = 0;
    return storedNumber(text, value) && value == 1 ? 1 : 0;
}

std::string startupCommandLine(const std::string& executablePath) {
    return executablePath + " -startup";
}

}  // namespace tw
