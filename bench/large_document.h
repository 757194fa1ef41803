#pragma once
// A large herald document for benchmarks: many servers, each with relics of three realms
// and keeps of three frontiers plus battleground keeps, a third of them claimed.

#include <string>

namespace tw::bench {

inline const char* const kRealms[] = {"Albion", "Midgard", "Hibernia"};

inline std::string keepName(int realm, int i) {
    const std::string n = std::to_string(i);
    switch (realm) {
    case 0: return "Caer Brannoch " + n;
    case 1: return "Hrafnvik " + n + " Faste";
    case 2: return "Dun Aillen " + n;
    default: return "Marrowdown " + n + " Keep";
    }
}

inline std::string heraldDocument(int servers, int keeps, int relics) {
    std::string xml = "<?xml version=\"1.0\"?>\n<heraldstatus>\n";
    for (int s = 0; s < servers; ++s) {
        xml += "  <server name=\"Shard " + std::to_string(s) + "\">\n    <status>Up</status>\n"
               "    <population>" + std::to_string(400 + s * 13) + "</population>\n";
        for (int r = 0; r < relics; ++r)
            xml += "    <relic name=\"Relic " + std::to_string(r) + "\" realm=\"" + kRealms[r * 3 / relics] +
                   "\">\n      <owner>" + kRealms[(r + s) % 3] + "</owner>\n    </relic>\n";
        for (int k = 0; k < keeps; ++k) {
            const int realm = k * 4 / keeps;  // three frontiers, then the battlegrounds
            xml += "    <keep name=\"" + keepName(realm, k) + "\" realm=\"" +
                   (realm < 3 ? kRealms[realm] : "Neutral") + "\">\n      <owner>" + kRealms[(k * 7 + s) % 3] +
                   "</owner>\n";
            if (k % 3 == 0)
                xml += "      <claimant>Wardens of the Long Ember Watch " + std::to_string(k) +
                       "</claimant>\n      <claimant_heraldurl>http://herald.example.org/guild/" +
                       std::to_string(k) + "</claimant_heraldurl>\n";
            xml += "    </keep>\n";
        }
        xml += "  </server>\n";
    }
    return xml + "</heraldstatus>\n";
}

}  // namespace tw::bench
