#pragma once
// A long ownership log for benchmarks, and a status document it fits. Line i tells that
// place i % 7 was taken by realm i % 3 from realm (i + 2) % 3, so the lines of each place
// chain: each one's old owner is the new owner of that place's line before. Dates run a
// day per 8 000 lines and a month per 28 days, from May 2024.

#include <fstream>
#include <string>

namespace tw::bench {

constexpr int kLogLines = 200000;
// About 100 MB: a log of years of watching, or one swollen by a document changing every keep.
constexpr int kHugeLogLines = 1960000;
inline const char* const kLogRealms[] = {"Albion", "Midgard", "Hibernia"};
inline const char* const kLogPlaces[] = {"Caer Brannoch", "Hrafnvik Faste", "Dun Aillen", "Dunmore",
                                         "Marrowdown Keep", "Caer Sulcombe", "Skarvik Faste"};
inline const char* const kLogPlaceRealms[] = {"Albion", "Midgard", "Hibernia", "Hibernia",
                                              "Neutral", "Albion", "Midgard"};

// Line i of the log, CR LF included.
inline std::string largeLogLine(int i) {
    const int day = 1 + (i / 8000) % 28, months = 4 + i / (8000 * 28);
    return std::string(kLogPlaces[i % 7]) + "," + kLogRealms[i % 3] + "," + kLogRealms[(i + 2) % 3] + "," +
           std::to_string(1 + months % 12) + "/" + std::to_string(day) + "/" + std::to_string(2024 + months / 12) +
           " " + std::to_string(1 + i % 12) + ":" + std::to_string(10 + i % 50) + ":" + std::to_string(10 + i % 49) +
           (i % 2 ? " PM" : " AM") + "\r\n";
}

inline void writeLargeLog(const std::string& path, int lines = kLogLines) {
    std::ofstream log(path, std::ios::binary);
    for (int i = 0; i < lines; ++i) log << largeLogLine(i);
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
