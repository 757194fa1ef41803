// Renders the options dialog and the about box into PNG files (docs/options.png and
// docs/about.png) on whatever display Qt is given; not a test. Settings come from an
// in-memory registry, so the user's own are neither read nor changed.
//
//     dialog_screenshots <output folder>
#include <cstdio>
#include <string>

#include "about/frm_splash.h"
#include "platform/files.h"
#include "platform/services.h"
#include "settings/frm_options.h"
#include "settings/settings_store.h"
#include "window_shot.h"

// An on-change command as a player on each system would write it.
#ifdef _WIN32
constexpr const char* kCommand = "C:\\Games\\keeps-to-guild-chat.exe";
#else
constexpr const char* kCommand = "/home/me/bin/keeps-to-guild-chat";
#endif

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    tw::screenshots::ShotSession session(argc, argv);

    tw::platform::ScopedServices services;
    services.processFacts.major = 1;
    services.processFacts.minor = 0;
    services.processFacts.revision = 1;
    const std::string appPath = session.scratchFolder();
    tw::platform::writeFileAtomically(appPath + tw::platform::kStatusFile, "<servers/>");
    tw::WriteSetting("MonitorServer", "Ironvale");
    tw::WriteSetting("Realm", "1");
    tw::WriteSetting("UpdateTime", "1");
    tw::WriteSetting("OnChangeCommand", kCommand);

    bool ok = true;
    {
        tw::frmOptions options({"Stormreach", "Ironvale", "Duskmere", "Brightwater"}, appPath);
        options.show();
        ok = session.save(options, out + "options.png") && ok;
        options.close();
    }
    tw::frmSplash about;
    about.show();
    ok = session.save(about, out + "about.png") && ok;
    about.close();
    return ok ? 0 : 1;
}
