// The holdings over a log of 200 000 lines: the model alone (reading the log and walking it
// back from the document), and opening the chart window on it (the model, the first paint).

#include <filesystem>
#include <string>

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include "bench/large_log.h"
#include "forms/application.h"
#include "history/frm_chart.h"
#include "history/holdings.h"
#include "platform/files.h"
#include "platform/services.h"

namespace {

const std::string& appPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tw-holdings-bench-XXXXXX";
        std::string folder = std::string(::mkdtemp(pattern)) + "/";
        tw::bench::writeLargeLog(folder + "Stone_Bridge.log");
        tw::platform::writeFileAtomically(folder + "server-info.xml", tw::bench::largeLogDocument());
        return folder;
    }();
    return path;
}

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
BENCHMARK(HoldingsModel)->Unit(benchmark::kMillisecond);

// The window as the viewer's button opens it, up to its plot drawn once.
void OpenChart(benchmark::State& state) {
    tw::platform::ScopedServices services;  // US date patterns, as the log is written
    services.processFacts.clock = {2024, 5, 29, 12, 0, 0};
    for (auto _ : state) {
        tw::frmChart chart(appPath(), [](const std::string& name, const std::string& fallback) {
            return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
        });
        const QPixmap picture = chart.picHoldings.widget()->grab();
        if (chart.Model.steps.size() != tw::bench::kLogLines) state.SkipWithError("steps missing");
        benchmark::DoNotOptimize(picture.width());
    }
}
BENCHMARK(OpenChart)->Unit(benchmark::kMillisecond);

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
