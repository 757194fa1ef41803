// The main window rebuilding its server list and one server's panel from a large document:
// 50 servers with 40 keeps and 6 relics each, widgets and all. The second run shows the
// monitored server every time, its keeps' tooltips telling since when they are held from a
// log of 20 000 changes.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "app/frm_main.h"
#include "bench/large_document.h"
#include "history/event_log.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"

namespace {

void rebuild(benchmark::State& state, bool monitored) {
    tw::platform::ScopedServices services;
    tw::ScopedMessageBoxRecorder boxes;
    char pattern[] = "/tmp/tw-window-bench-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    tw::frmMain main;
    main.AppPath = folder;
    main.watch.XMLData = tw::bench::heraldDocument(50, 40, 6);
    if (monitored) {
        main.MonitorServer = "Shard 0";
        std::string log;
        for (int i = 0; i < 20000; ++i)
            log += tw::eventRecordLine(tw::bench::keepName(i % 4, i % 40), tw::bench::kRealms[i % 3],
                                       tw::bench::kRealms[(i + 1) % 3], "5/17/2024 2:05:10 PM");
        tw::platform::writeFileAtomically(tw::EventLogPath(folder, "Shard 0"), log);
    }
    main.LoadServers();
    int server = 0;
    for (auto _ : state) {
        main.LoadServers();
        main.lblServers_Click(server);
        // What the event loop does after each rebuild: deliver what the widgets posted and
        // delete the unloaded controls' widgets. Without it the queue grows with every round
        // and each widget call scans it.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!monitored) server = (server + 7) % 50;
    }
    if (!boxes.calls.empty()) state.SkipWithError(boxes.calls.front().text.c_str());
    if (monitored && main.lblKeepList[1].toolTipText().empty()) state.SkipWithError("no held-since tooltip");
    state.counters["servers"] = main.lblServers.ubound() + 1;
    state.counters["keepRows"] = main.lblKeepList.ubound();
    std::filesystem::remove_all(folder);
}

void LoadServersThenLoadInfo(benchmark::State& state) { rebuild(state, false); }
BENCHMARK(LoadServersThenLoadInfo)->Unit(benchmark::kMillisecond);

void LoadServersThenLoadInfoMonitored(benchmark::State& state) { rebuild(state, true); }
BENCHMARK(LoadServersThenLoadInfoMonitored)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
