// The history viewer over a log of 200 000 lines and one of about 100 MB: opening the window
// (reading and filtering the whole log, filling the rows) and one filter change (which reads
// it all again), beside grep counting the same log's lines; the export of all its rows; the
// holdings over the same log, the model alone and the chart window opened on it up to its
// first paint; and the main window's held-since tooltips after one more line is logged.
//
// Each case's argument is the log's line count. peakMB is the process's peak resident size
// so far: run one case per process (--benchmark_filter) for a figure of that case alone.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include "app/frm_main.h"
#include "bench/large_log.h"
#include "forms/application.h"
#include "forms/qt/native_control.h"
#include "history/event_log.h"
#include "history/frm_chart.h"
#include "history/frm_monitoring.h"
#include "history/holdings.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"

namespace {

std::string tempFolder() {
    char pattern[] = "/tmp/tw-viewer-bench-XXXXXX";
    return std::string(::mkdtemp(pattern)) + "/";
}

// A folder holding the log of `lines` lines and the status document it fits.
std::string makeFolder(int lines) {
    std::string folder = tempFolder();
    tw::bench::writeLargeLog(folder + "Stone_Bridge.log", lines);
    tw::platform::writeFileAtomically(folder + "server-info.xml", tw::bench::largeLogDocument(lines));
    return folder;
}

std::map<int, std::string>& folders() {
    static std::map<int, std::string> made;
    return made;
}

const std::string& appPath(int lines) {
    auto [it, added] = folders().try_emplace(lines);
    if (added) it->second = makeFolder(lines);
    return it->second;
}

int linesOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

std::string readSetting(const std::string& name, const std::string& fallback) {
    return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
}

// VmHWM: the most this process has held resident so far.
double peakResidentMB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmHWM:") {
            double kB = 0;
            status >> kB;
            return kB * 1024 / 1e6;
        }
    return 0;
}

void countMemory(benchmark::State& state, const std::string& folder) {
    state.counters["logMB"] = static_cast<double>(std::filesystem::file_size(folder + "Stone_Bridge.log")) / 1e6;
    state.counters["peakMB"] = peakResidentMB();
}

void OpenViewer(benchmark::State& state) {
    const std::string& folder = appPath(linesOf(state));
    for (auto _ : state) {
        tw::frmMonitoring viewer(folder, readSetting);
        benchmark::DoNotOptimize(viewer.Events.size());
    }
    countMemory(state, folder);
}
BENCHMARK(OpenViewer)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void ChangeFilter(benchmark::State& state) {
    const std::string& folder = appPath(linesOf(state));
    tw::frmMonitoring viewer(folder, readSetting);
    int pick = 0;
    for (auto _ : state) {
        pick = pick % 3 + 1;  // Midgard, Albion, Hibernia in turn: always a real change
        viewer.cmbLocation.setListIndex(pick);
        benchmark::DoNotOptimize(viewer.Events.size());
    }
    countMemory(state, folder);
}
BENCHMARK(ChangeFilter)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Export... button writing all 200 000 rows, dates read back as ISO 8601 included; the
// second argument picks CSV (0) or JSON (1).
void ExportAll(benchmark::State& state) {
    const std::string& folder = appPath(linesOf(state));
    tw::frmMonitoring viewer(folder, readSetting);
    const std::string path = folder + (state.range(1) ? "export.json" : "export.csv");
    viewer.askExportPath = [&] { return std::optional<std::string>(path); };
    for (auto _ : state) viewer.cmdExport_Click();
    state.counters["rows"] = static_cast<double>(viewer.Events.size());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(ExportAll)->Args({tw::bench::kLogLines, 0})->Args({tw::bench::kLogLines, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

void HoldingsModel(benchmark::State& state) {
    const std::string& folder = appPath(linesOf(state));
    const std::string document = *tw::platform::readWholeFile(folder + "server-info.xml");
    const tw::GeneralDateReader dates{tw::DatePatterns{}};
    for (auto _ : state) {
        tw::Holdings holdings = tw::holdingsOverTime(
            document, "Stone Bridge", *tw::platform::readWholeFile(folder + "Stone_Bridge.log"), dates);
        if (holdings.unfitLines != 0) state.SkipWithError("the log does not fit its document");
        benchmark::DoNotOptimize(holdings.steps.size());
    }
    countMemory(state, folder);
}
BENCHMARK(HoldingsModel)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window as the viewer's button opens it, up to its plot drawn once.
void OpenChart(benchmark::State& state) {
    const std::string& folder = appPath(linesOf(state));
    tw::platform::ScopedServices services;  // US date patterns, as the log is written
    services.processFacts.clock = {2024, 5, 29, 12, 0, 0};
    for (auto _ : state) {
        tw::frmChart chart(folder, readSetting);
        const QPixmap picture = tw::forms::qt::widgetOf(chart.picHoldings)->grab();
        if (chart.Model.steps.size() != static_cast<std::size_t>(linesOf(state))) state.SkipWithError("steps missing");
        benchmark::DoNotOptimize(picture.width());
    }
    countMemory(state, folder);
}
BENCHMARK(OpenChart)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The main window's panel of the monitored server rebuilt after one more change was logged,
// as it is after every document that changed a keep: its tooltips tell since when each keep
// is held. The log is a copy of its own, as the case lengthens it.
void HeldSinceAfterAppend(benchmark::State& state) {
    const int lines = linesOf(state);
    const std::string folder = tempFolder();
    std::filesystem::copy_file(appPath(lines) + "Stone_Bridge.log", folder + "Stone_Bridge.log");
    tw::platform::ScopedServices services;
    tw::ScopedMessageBoxRecorder boxes;
    tw::frmMain main;
    main.AppPath = folder;
    main.MonitorServer = "Stone Bridge";
    main.watch.XMLData = tw::bench::largeLogDocument(lines);
    main.LoadInfo("Stone Bridge");
    int next = lines;
    for (auto _ : state) {
        tw::appendEventRecord(folder, "Stone Bridge", tw::bench::kLogPlaces[next % 7], tw::bench::kLogRealms[next % 3],
                              tw::bench::kLogRealms[(next + 2) % 3], "1/2/2026 3:04:05 PM");
        ++next;
        main.LoadInfo("Stone Bridge");
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (!boxes.calls.empty()) state.SkipWithError(boxes.calls.front().text.c_str());
    if (main.lblKeepList[1].toolTipText().find(" since ") == std::string::npos) state.SkipWithError("no held-since tooltip");
    countMemory(state, folder);
    std::filesystem::remove_all(folder);
}
BENCHMARK(HeldSinceAfterAppend)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: grep counting the lines of the same log, process start included. The
// ratios of the two above to this one say how far the viewer is from a plain scan.
void GrepCountYardstick(benchmark::State& state) {
    const std::string command = "grep -c , '" + appPath(linesOf(state)) + "Stone_Bridge.log' >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("grep failed");
}
BENCHMARK(GrepCountYardstick)->Arg(tw::bench::kLogLines)->Arg(tw::bench::kHugeLogLines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::forms::registerBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [lines, folder] : folders()) std::filesystem::remove_all(folder);
    return 0;
}
