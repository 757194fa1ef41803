// Plays a seeded run of the herald simulator's frontier for two days, logs the first
// server's keep changes as the program would, and saves the holdings chart over that log,
// with the mouse over one step, as a PNG:
//     chart_screenshot out.png
// Run it on a 96-DPI display so the picture matches the window's twips layout.

#include <fstream>

#include "frontier.h"
#include "herald_document.h"
#include "history/frm_chart.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/local_zone.h"
#include "window_shot.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    tw::screenshots::ShotSession session(argc, argv);
    const std::string appPath = session.scratchFolder();

    // A fixed evening, so the picture is the same on every run.
    tw::platform::ScopedServices services;
    services.processFacts.clock = {2026, 12, 6, 21, 30, 0};
    const long long now = tw::zonedSecondsOf(services.processFacts.clock);

    herald_sim::Frontier frontier(14);
    const std::string server = frontier.servers().front().name;
    {
        std::ofstream log(tw::EventLogPath(appPath, server), std::ios::binary);
        constexpr long long kStepSeconds = 17 * 60;
        for (long long t = now - 2 * 24 * 3600; t < now; t += kStepSeconds)
            for (const herald_sim::OwnerChange& change : frontier.advance())
                if (change.server == server)
                    log << tw::eventRecordLine(change.keep, change.newOwner, change.oldOwner,
                                               tw::generalDate(tw::zonedDateTimeAt(t), services.processFacts.patterns));
    }
    tw::platform::writeFileAtomically(appPath + tw::platform::kStatusFile, herald_sim::heraldDocument(frontier));

    tw::frmChart chart(appPath, [&](const std::string& name, const std::string& fallback) {
        return name == "MonitorServer" ? server : fallback;
    });
    chart.show();
    session.settle();
    chart.picHoldings.hoverAt(tw::forms::twipsToPixels(chart.picHoldings.width()) * 7 / 10);
    session.settle();
    return session.save(chart, argv[1]) ? 0 : 1;
}
