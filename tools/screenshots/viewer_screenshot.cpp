// Shows the history viewer over a sample log of our own and saves the window as a PNG:
//     viewer_screenshot out.png
// Run it on a 96-DPI display so the picture matches the window's twips layout.

#include <fstream>

#include "history/frm_monitoring.h"
#include "platform/services.h"
#include "window_shot.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    tw::screenshots::ShotSession session(argc, argv);
    const std::string appPath = session.scratchFolder();

    // Dates written with this machine's own patterns, so the day lines fall where they should.
    const tw::DatePatterns patterns = tw::platform::processFacts().datePatterns();
    struct Change {
        const char* place;
        const char* newOwner;
        const char* oldOwner;
        tw::LocalDateTime when;
    };
    const Change changes[] = {
        {"Caer Ashwold", "Midgard", "Albion", {2024, 5, 15, 21, 12, 40}},
        {"Dun Mellow", "Albion", "Hibernia", {2024, 5, 15, 22, 3, 5}},
        {"Grimfell Faste", "Hibernia", "Midgard", {2024, 5, 16, 9, 41, 18}},
        {"Dunmore", "Midgard", "Hibernia", {2024, 5, 16, 10, 2, 55}},
        {"Caer Ashwold", "Albion", "Midgard", {2024, 5, 16, 13, 27, 9}},
        {"Vorn Faste", "Albion", "Midgard", {2024, 5, 16, 19, 50, 31}},
        {"Dun Mellow", "Hibernia", "Albion", {2024, 5, 17, 8, 15, 0}},
        {"Caer Lintwood", "Hibernia", "Albion", {2024, 5, 17, 11, 38, 47}},
        {"Grimfell Faste", "Midgard", "Hibernia", {2024, 5, 17, 14, 6, 12}},
        {"Dun Orrin", "Midgard", "Hibernia", {2024, 5, 17, 16, 44, 3}},
        {"Caer Lintwood", "Albion", "Hibernia", {2024, 5, 17, 18, 20, 26}},
        {"Vorn Faste", "Midgard", "Albion", {2024, 5, 17, 20, 59, 58}},
    };
    {
        std::ofstream log(tw::EventLogPath(appPath, "Stone Bridge"), std::ios::binary);
        for (const Change& c : changes)
            log << tw::eventRecordLine(c.place, c.newOwner, c.oldOwner,
                                       tw::generalDate(c.when, patterns));
    }

    tw::frmMonitoring viewer(appPath, [](const std::string& name, const std::string& fallback) {
        return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
    });
    viewer.show();
    session.settle();
    return session.save(viewer, argv[1]) ? 0 : 1;
}
