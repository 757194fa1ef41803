// The history viewer over a log of 200 000 lines: opening the window (reading and filtering
// the whole log, filling the rows) and one filter change (which reads it all again), beside
// grep counting the same log's lines.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "bench/large_log.h"
#include "forms/application.h"
#include "history/frm_monitoring.h"

namespace {

const std::string& appPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tw-viewer-bench-XXXXXX";
        std::string folder = std::string(::mkdtemp(pattern)) + "/";
        tw::bench::writeLargeLog(folder + "Stone_Bridge.log");
        return folder;
    }();
    return path;
}

std::string readSetting(const std::string& name, const std::string& fallback) {
    return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
}

void OpenViewer(benchmark::State& state) {
    for (auto _ : state) {
        tw::frmMonitoring viewer(appPath(), readSetting);
        benchmark::DoNotOptimize(viewer.Events.size());
    }
}
BENCHMARK(OpenViewer)->Unit(benchmark::kMillisecond)->UseRealTime();

void ChangeFilter(benchmark::State& state) {
    tw::frmMonitoring viewer(appPath(), readSetting);
    int pick = 0;
    for (auto _ : state) {
        pick = pick % 3 + 1;  // Midgard, Albion, Hibernia in turn: always a real change
        viewer.cmbLocation.setListIndex(pick);
        benchmark::DoNotOptimize(viewer.Events.size());
    }
}
BENCHMARK(ChangeFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: grep counting the lines of the same log, process start included. The
// ratios of the two above to this one say how far the viewer is from a plain scan.
void GrepCountYardstick(benchmark::State& state) {
    const std::string command = "grep -c , '" + appPath() + "Stone_Bridge.log' >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("grep failed");
}
BENCHMARK(GrepCountYardstick)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::forms::registerBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(appPath());
    return 0;
}
