#include "platform/program_name.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#include <vector>

namespace tw::platform {

std::string programBaseName() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "towerwatch";
        if (n < path.size()) break;
        path.resize(path.size() * 2);  // a long path was cut short
    }
    // Message names are narrow text: the name's letters in UTF-8.
    const std::u8string stem = std::filesystem::path(path.data()).stem().u8string();
    return std::string(stem.begin(), stem.end());
}

}  // namespace tw::platform
