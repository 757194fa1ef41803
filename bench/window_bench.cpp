// The main window rebuilding its server list and one server's panel from a large document:
// 50 servers with 40 keeps and 6 relics each, widgets and all.

#include <QApplication>

#include <benchmark/benchmark.h>

#include "app/frm_main.h"
#include "bench/large_document.h"
#include "platform/services.h"
#include "runtime/message_box.h"

namespace {

void LoadServersThenLoadInfo(benchmark::State& state) {
    tw::platform::ScopedServices services;
    tw::ScopedMessageBoxRecorder boxes;
    tw::frmMain main;
    main.XMLData = tw::bench::heraldDocument(50, 40, 6);
    main.LoadServers();
    int server = 0;
    for (auto _ : state) {
        main.LoadServers();
        main.lblServers_Click(server);
        server = (server + 7) % 50;
    }
    if (!boxes.calls.empty()) state.SkipWithError(boxes.calls.front().text.c_str());
    state.counters["servers"] = main.lblServers.ubound() + 1;
    state.counters["keepRows"] = main.lblKeepList.ubound();
}
BENCHMARK(LoadServersThenLoadInfo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
