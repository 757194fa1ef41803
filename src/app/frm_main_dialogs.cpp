// The windows the main window opens: options, history viewer and about box. Downloads and
// timers go on while a modal one is open.
#include "app/frm_main.h"

#include "about/frm_splash.h"
#include "app/artwork.h"
#include "forms/qt/picture_data.h"
#include "history/frm_monitoring.h"
#include "runtime/error_handler.h"
#include "settings/frm_options.h"
#include "settings/settings_store.h"

namespace tw {

void frmMain::cmdProgramOptions_Click() {
    // A stored value that is not a number must not take the program down from a click.
    withErrorHandler("cmdProgramOptions_Click", [&] {
        std::vector<std::string> servers;
        for (int i = 0; i <= lblServers.ubound(); ++i)
            if (lblServers.exists(i)) servers.push_back(lblServers[i].caption());
        {
            frmOptions dialog(servers, AppPath);
            dialog.showModal(this);
        }
        ReapplySettings();
    });
}

void frmMain::cmdMonitorOptions_Click() {
    withErrorHandler("cmdMonitorOptions_Click", [&] {
        frmMonitoring viewer(AppPath, ReadSetting);
        viewer.showModal(this);
    });
}

void frmMain::cmdAbout_Click() { frmSplash::open(this, true, forms::qt::pictureFrom(donateButtonPicture())); }

void frmMain::mAbout_Click() { frmSplash::open(nullptr, false, forms::qt::pictureFrom(donateButtonPicture())); }

}  // namespace tw
