#include "platform/program_name.h"

#include <filesystem>
#include <system_error>

namespace tw::platform {

std::string programBaseName() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("towerwatch") : exe.stem().string();
}

}  // namespace tw::platform
