// Reading a large herald document: the server-list walk and one server's panel, on a
// document of 50 servers with 6 relics and 40 keeps each.

#include <string>

#include <benchmark/benchmark.h>

#include "herald/scanning.h"
#include "herald/server_panel.h"

namespace {

const char* const kRealms[] = {"Albion", "Midgard", "Hibernia"};

std::string keepName(int realm, int i) {
    const std::string n = std::to_string(i);
    switch (realm) {
    case 0: return "Caer Brannoch " + n;
    case 1: return "Hrafnvik " + n + " Faste";
    case 2: return "Dun Aillen " + n;
    default: return "Marrowdown " + n + " Keep";
    }
}

std::string heraldDocument(int servers, int keeps, int relics) {
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

const std::string& document() {
    static const std::string xml = heraldDocument(50, 40, 6);
    return xml;
}

tw::PanelMetrics metrics() {
    tw::PanelMetrics m;
    m.textWidth = [](const std::string& s) { return 80 * static_cast<int>(s.size()); };
    return m;
}

// The server list's walk: every name, status and population.
int walkServers(const std::string& xml) {
    int servers = 0;
    double p = 1;
    for (std::string name = tw::GetXML(xml, "server", "name", p); !name.empty();
         name = tw::GetXML(xml, "server", "name", p)) {
        benchmark::DoNotOptimize(tw::GetSimpleXML(xml, "status", p));
        benchmark::DoNotOptimize(tw::GetSimpleXML(xml, "population", p));
        ++servers;
        p += 1;
    }
    return servers;
}

void BM_ServerListWalk(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(walkServers(document()));
    state.counters["bytes"] = static_cast<double>(document().size());
}
BENCHMARK(BM_ServerListWalk)->Unit(benchmark::kMicrosecond);

// The last server is the farthest from the start of the document.
void BM_ServerPanel(benchmark::State& state) {
    const auto m = metrics();
    for (auto _ : state) benchmark::DoNotOptimize(tw::buildServerPanel(document(), "Shard 49", {}, m));
}
BENCHMARK(BM_ServerPanel)->Unit(benchmark::kMicrosecond);

// What one update costs the main window's data side: the list, then the shown server.
void BM_ServerListThenPanel(benchmark::State& state) {
    const auto m = metrics();
    for (auto _ : state) {
        benchmark::DoNotOptimize(walkServers(document()));
        auto panel = tw::buildServerPanel(document(), "Shard 49", {}, m);
        if (!panel || !panel->completed) state.SkipWithError("panel did not complete");
        benchmark::DoNotOptimize(panel);
    }
}
BENCHMARK(BM_ServerListThenPanel)->Unit(benchmark::kMicrosecond);

}  // namespace
