#pragma once
// A long ownership log for benchmarks, and a status document it fits. Line i tells that
// place i % 7 was taken by realm i % 3 from realm (i + 2) % 3, so the lines of each place
// chain: each one's old owner is the new owner of that place's line before.

#include <fstream>
#include <string>

namespace tw::bench {

constexpr int kLogLines = 200000;
inline const char* const kLogRealms[] = {"Albion", "Midgard", "Hibernia"};
inline const char* const kLogPlaces[] = {"Caer Brannoch", "Hrafnvik Faste", "Dun Aillen", "Dunmore",
                                         "Marrowdown Keep", "Caer Sulcombe", "Skarvik Faste"};
inline const char* const kLogPlaceRealms[] = {"Albion", "Midgard", "Hibernia", "Hibernia",
                                              "Neutral", "Albion", "Midgard"};

inline void writeLargeLog(const std::string& path, int lines = kLogLines) {
    std::ofstream log(path, std::ios::binary);
    for (int i = 0; i < lines; ++i) {
        const int day = 1 + (i / 8000) % 28;
        log << kLogPlaces[i % 7] << "," << kLogRealms[i % 3] << "," << kLogRealms[(i + 2) % 3] << ",5/"
            << day << "/2024 " << 1 + i % 12 << ":" << 10 + i % 50 << ":" << 10 + i % 49
            << (i % 2 ? " PM" : " AM") << "\r\n";
    }
}

// The server "Stone Bridge" holding the log's places, each owned by its last line's new owner.
inline std::string largeLogDocument(int lines = kLogLines) {
    std::string xml = "<heraldstatus>\n  <server name=\"Stone Bridge\">\n    <status>Up</status>\n"
                      "    <relic name=\"Shard of Ember\" realm=\"Albion\">\n      <owner>Albion</owner>\n"
                      "    </relic>\n";
    for (int p = 0; p < 7; ++p) {
        const int last = (lines - 1 - p) / 7 * 7 + p;  // the place's last line
        xml += std::string("    <keep name=\"") + kLogPlaces[p] + "\" realm=\"" + kLogPlaceRealms[p] +
               "\">\n      <owner>" + kLogRealms[last % 3] + "</owner>\n    </keep>\n";
    }
    return xml + "  </server>\n</heraldstatus>\n";
}

}  // namespace tw::bench
