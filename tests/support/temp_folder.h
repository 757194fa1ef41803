#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <filesystem>
#include <random>
#include <string>

namespace tw::testing {

class TempFolder {
public:
    // A name nobody holds yet: create_directory answers false for one that exists.
    TempFolder() {
        std::error_code failed;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(failed);
        if (failed) return;
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = "towerwatch-test-" + std::to_string(random() % 1000000000);
            const std::string path = (temp / name).generic_string();
            if (std::filesystem::create_directory(path, failed)) {
                m_path = path;
                return;
            }
            if (failed) return;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Without a trailing "/"; empty when the folder could not be made.
    const std::string& path() const { return m_path; }
    // With a trailing "/", as the program's folder is handed around.
    std::string slashed() const { return m_path + "/"; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

}  // namespace tw::testing
