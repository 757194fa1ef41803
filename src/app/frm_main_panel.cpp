// The panel of one server: its keeps and relics by realm, claimant links, the Darkness
// Falls holder, and the tray tip that sums them up.
#include "app/frm_main.h"

#include <utility>

#include "app/panel_rows.h"
#include "app/tray_icon.h"
#include "herald/server_panel.h"
#include "history/event_log.h"
#include "platform/services.h"
#include "runtime/error_handler.h"
#include "settings/settings_store.h"

namespace tw {

const forms::Picture& frmMain::realmPicture(RealmPicture picture) const {
    static const forms::Picture none;
    switch (picture) {
    case RealmPicture::Hammer: return imgHammer.picture();
    case RealmPicture::Cup: return imgCup.picture();
    case RealmPicture::Tree: return imgTree.picture();
    case RealmPicture::None: break;
    }
    return none;
}

PanelArrays frmMain::panelArrays() {
    return {lblKeepList, imgKeepOwn, lblClaimed, lblEnd, lblRelicList, imgRelicOwn};
}

void frmMain::emptyPanelLists() {
    emptyPanelRows(panelArrays());
    for (forms::Control* c : std::initializer_list<forms::Control*>{&lblDF, &imgDF}) c->setVisible(false);
}

void frmMain::showHeadings(bool shown) {
    for (forms::Control* c : std::initializer_list<forms::Control*>{&RelicLabel, &KeepLabel, &DFLabel, &lblServerName})
        c->setVisible(shown);
}

void frmMain::ClearPanel() {
    emptyPanelLists();
    showHeadings(false);
}

// ServerName is taken by value: the caller's text is often a label's caption, which a
// rebuild run after a message box of this one may change.
void frmMain::LoadInfo(std::string ServerName) { m_rebuilds.askForPanel(std::move(ServerName)); }

void frmMain::buildPanel(const std::string& ServerName) {
    withErrorHandler("LoadInfo", [&] {
        if (watch.XMLData.empty()) return;
        // A download may replace XMLData while a message box of this build is open.
        const std::string document = watch.XMLData;
        WriteSetting("LastServer", ServerName);
        emptyPanelLists();
        showHeadings(true);
        lblServerName.setEnabled(true);

        PanelMetrics metrics;
        metrics.textWidth = [this](const std::string& text) { return textWidth(text); };
        metrics.labelWidth = [this](const std::string& text) { return lblKeepList[0].textExtent(text).width(); };
        metrics.linkWidth = [this](const std::string& text) { return lblClaimed[0].textExtent(text).width(); };
        metrics.rowHeight = lblKeepList[0].textExtent("Ag").height();
        const std::optional<ServerPanel> panel =
            buildServerPanel(document, ServerName, DarknessFalls{DFServer, DFStatus}, metrics);
        if (!panel) return;
        drawPanelRows(panelArrays(), *panel, [this](RealmPicture picture) -> auto& { return realmPicture(picture); });
        showHeldSince(*panel, ServerName);
        DFServer = panel->darknessFalls.server;
        DFStatus = panel->darknessFalls.status;
        if (panel->error) throw *panel->error;
        lblDF.setForeColor(panel->dfColor);
        lblDF.setCaption(DFStatus);
        imgDF.setPicture(realmPicture(panel->dfPicture));
        imgDF.setAccessible(forms::AccessibleRole::Picture, DFStatus);
        lblDF.setVisible(true);
        imgDF.setVisible(true);
        TrayStatus = panel->trayStatus;
        // While the icon flashes its tip belongs to the flashing.
        if (!tmrIcoFlash.enabled()) TrayModify(forms::iconHandle(icoMain.picture()), TrayStatus, hWnd());
    });
}

void frmMain::showHeldSince(const ServerPanel& panel, const std::string& ServerName) {
    // Only a new document appends to the log: every other rebuild finds it as it was.
    const bool followed = ServerName == MonitorServer && MonitorServer != "None" && isSafeLogServerName(MonitorServer);
    const HeldSince* held =
        followed ? m_heldSince.follow(EventLogPath(AppPath, MonitorServer), platform::processFacts().datePatterns())
                 : nullptr;
    const LocalDateTime now = held ? platform::processFacts().now() : LocalDateTime{};
    for (size_t i = 0; i < panel.keepRows.size(); ++i) {
        const PanelRow& row = panel.keepRows[i];
        // Row 0 stays from build to build, so a row is also set back to nothing.
        const bool keep = held && row.kind == RowKind::Entry;
        const std::string tip = keep ? held->text(row.place, row.owner, now) : std::string();
        forms::Label& label = lblKeepList[static_cast<int>(i)];
        if (label.toolTipText() != tip) label.setToolTipText(tip);
    }
}

void frmMain::lblClaimed_Click(int Index) {
    // A claimant without a page, or with anything but a web page, opens nothing.
    if (!lblKeepList.exists(Index)) return;
    platform::openLink(lblKeepList[Index].tag(), LinkSource::Document);
}

}  // namespace tw
