// The history viewer over a log of 200 000 lines: opening the window (reading and filtering
// the whole log, filling the rows) and one filter change (which reads it all again), beside
// grep counting the same log's lines; the export of all its rows; and the holdings over the
// same log, the model alone and the chart window opened on it up to its first paint.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include "bench/large_log.h"
#include "forms/application.h"
#include "history/frm_chart.h"
#include "history/frm_monitoring.h"
#include "history/holdings.h"
#include "platform/files.h"
#include "platform/services.h"

namespace {

const std::string& appPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tw-viewer-bench-XXXXXX";
        std::string folder = std::string(::mkdtemp(pattern)) + "/";
        tw::bench::writeLargeLog(folder + "Stone_Bridge.log");
        tw::platform::writeFileAtomically(folder + "server-info.xml", tw::bench::largeLogDocument());
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

void HoldingsModel(benchmark::State& state) {
    const std::string document = *tw::platform::readWholeFile(appPath() + "server-info.xml");
    const tw::GeneralDateReader dates{tw::DatePatterns{}};
    for (auto _ : state) {
        tw::Holdings holdings = tw::holdingsOverTime(
            document, "Stone Bridge", *tw::platform::readWholeFile(appPath() + "Stone_Bridge.log"), dates);
        if (holdings.unfitLines != 0) state.SkipWithError("the log does not fit its document");
        benchmark::DoNotOptimize(holdings.steps.size());
    }
}
BENCHMARK(HoldingsModel)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window as the viewer's button opens it, up to its plot drawn once.
void OpenChart(benchmark::State& state) {
    tw::platform::ScopedServices services;  // US date patterns, as the log is written
    services.processFacts.clock = {2024, 5, 29, 12, 0, 0};
    for (auto _ : state) {
        tw::frmChart chart(appPath(), readSetting);
        const QPixmap picture = chart.picHoldings.widget()->grab();
        if (chart.Model.steps.size() != tw::bench::kLogLines) state.SkipWithError("steps missing");
        benchmark::DoNotOptimize(picture.width());
    }
}
BENCHMARK(OpenChart)->Unit(benchmark::kMillisecond)->UseRealTime();

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
