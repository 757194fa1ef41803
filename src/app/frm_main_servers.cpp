// The server list on the left of the main window, the selection of one server, and what the
// herald watch tells the window: the status line, a completed update, a new document.
#include "app/frm_main.h"

#include "app/server_list_rows.h"
#include "platform/files.h"
#include "runtime/conversions.h"
#include "runtime/error_handler.h"
#include "runtime/runtime_error.h"

namespace tw {

void frmMain::LoadXML() {
    const std::optional<std::string> text = platform::readWholeFile(AppPath + platform::kStatusFile);
    if (!text) throw RuntimeError(kErrFileNotFound);
    watch.XMLData = *text;
    LoadServers();
}

void frmMain::LoadServers() { m_rebuilds.askForList(); }

void frmMain::rebuildServerList() {
    withErrorHandler(
        "LoadServers",
        [&] {
            // A download may replace XMLData while a message box of this build is open.
            const std::string document = watch.XMLData;
            const ServerListArrays rows{lblServers, lblPopSize, shpServerUp};
            clearServerList(rows);
            fillServerList(rows, readServerEntries(document));
            for (int i = 0; i <= lblServers.ubound(); ++i) {
                if (lblServers[i].caption() == lblServerName.caption()) {
                    m_rebuilds.selectFromList([&] { lblServers_Click(i); });
                    return;
                }
            }
            ClearPanel();
        },
        "\r\nTry reloading the info,\r\nif that doesn't work, e-mail me");
}

void frmMain::lblServers_Click(int Index) {
    const std::string previousTag = lblServers[0].tag();
    const int previous = previousTag.empty() ? -1 : toInt16(previousTag);
    markChosenServer({lblServers, lblPopSize, shpServerUp}, previous, Index, lblUpdate.font());
    const forms::Label& selected = lblServers[Index];
    lblServerName.setCaption(selected.caption());
    lblServerName.setVisible(true);
    lblServers[0].setTag(std::to_string(Index));
    LoadInfo(selected.caption());
}

void frmMain::statusText(const std::string& caption) { lblServerInfo.setCaption(caption); }

void frmMain::updateCompleted(const std::string& lastUpdate) { lblUpdate.setCaption(lastUpdate); }

bool frmMain::documentTaken() {
    DoSwitchOff();
    LoadServers();
    return lblServers.ubound() == 0 && lblServers[0].caption().empty();
}

void frmMain::changesLogged(const std::vector<LoggedChange>& changes) { m_alerts.changesLogged(changes); }

}  // namespace tw
