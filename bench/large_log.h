#pragma once
// A long event log for benchmarks: seven places of the three frontiers and a battleground,
// owners taking turns, dates spread over four weeks in the United States general date form.

#include <fstream>
#include <string>

namespace tw::bench {

inline constexpr int kLargeLogLines = 200000;

// Writes `lines` record lines (CR LF) to `path`, replacing the file.
inline void writeLargeLog(const std::string& path, int lines = kLargeLogLines) {
    static const char* const realms[] = {"Albion", "Midgard", "Hibernia"};
    static const char* const places[] = {"Caer Brannoch", "Hrafnvik Faste", "Dun Aillen", "Dunmore",
                                         "Marrowdown Keep", "Caer Sulcombe", "Skarvik Faste"};
    std::ofstream log(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < lines; ++i) {
        const int day = 1 + (i / 8000) % 28;
        log << places[i % 7] << "," << realms[i % 3] << "," << realms[(i + 1) % 3] << ",5/" << day
            << "/2024 " << 1 + i % 12 << ":" << 10 + i % 50 << ":" << 10 + i % 49
            << (i % 2 ? " PM" : " AM") << "\r\n";
    }
}

}  // namespace tw::bench
