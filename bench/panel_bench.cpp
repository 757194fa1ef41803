// Reading a large herald document: the server-list walk and one server's panel, on a
// document of 50 servers with 6 relics and 40 keeps each.

#include <string>

#include <benchmark/benchmark.h>

#include "bench/large_document.h"
#include "herald/scanning.h"
#include "herald/server_panel.h"

namespace {

const std::string& document() {
    static const std::string xml = tw::bench::heraldDocument(50, 40, 6);
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
        if (!panel || panel->error) state.SkipWithError("panel did not complete");
        benchmark::DoNotOptimize(panel);
    }
}
BENCHMARK(BM_ServerListThenPanel)->Unit(benchmark::kMicrosecond);

}  // namespace
