// Shows the main window over a seeded document of the herald simulator's frontier, its
// second server picked as by a click, and saves the window as a PNG:
//     main_window_screenshot out.png
// Run it on a 96-DPI display; Qt's scaling (QT_SCALE_FACTOR) and a dark desktop
// (TW_SHOT_PALETTE=dark) show how the window meets other desktops.

#include "app/frm_main.h"
#include "frontier.h"
#include "herald_document.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "window_shot.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    tw::screenshots::ShotSession session(argc, argv);
    tw::platform::ScopedServices services;
    tw::ScopedMessageBoxRecorder boxes;  // nothing of the run reaches the screen but the window
    services.processFacts.folder = session.scratchFolder();

    herald_sim::Frontier frontier(14);
    for (int step = 0; step < 40; ++step) frontier.advance();
    tw::frmMain main;
    main.AppPath = session.scratchFolder();
    main.watch.XMLData = herald_sim::heraldDocument(frontier);
    main.LoadServers();
    main.lblServers_Click(1);
    main.show();
    session.settle();
    return session.save(main, argv[1]) ? 0 : 1;
}
