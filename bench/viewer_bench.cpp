// The history viewer over a log of 200 000 lines: opening the window (reading and filtering
// the whole log, filling the rows) and one filter change (which reads it all again), beside
// grep counting the same log's lines; and the export of all its rows.

#include <cstdlib>
#include <filesystem>
#include <optional>
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

// The Export... button writing all 200 000 rows, dates read back as ISO 8601 included; the
// argument picks CSV (0) or JSON (1).
void ExportAll(benchmark::State& state) {
    tw::frmMonitoring viewer(appPath(), readSetting);
    const std::string path = appPath() + (state.range(0) ? "export.json" : "export.csv");
    viewer.askExportPath = [&] { return std::optional<std::string>(path); };
    for (auto _ : state) viewer.cmdExport_Click();
    state.counters["rows"] = static_cast<double>(viewer.Events.size());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(ExportAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
