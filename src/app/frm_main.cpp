#include "app/frm_main.h"

#include "app/artwork.h"
#include "app/tray_icon.h"
#include "herald/realm_vocabulary.h"
#include "platform/notify_icon.h"
#include "platform/services.h"

namespace tw {

const char* const kHomePage = "https://towerwatch.vexlor.example/";
const char* const kByLine = "Towerwatch by Vexlor";

namespace {

// A label at its designed place that sizes itself to the caption.
void placeLabel(forms::Label& label, const std::string& caption, int left, int top, int width, int height,
                bool visible = true) {
    label.move(left, top, width, height);
    label.setAutoSize(true);
    label.setCaption(caption);
    label.setVisible(visible);
}

// A session often starts the program before its panel: look for the tray this often.
constexpr int kTrayHostPollMs = 5000;

void designImage(forms::Image& image, int left, int top) {
    image.move(left, top, 195, 180);
    image.setStretch(true);
    image.setVisible(false);
}

}  // namespace

frmMain::frmMain()
    : forms::Form("frmMain"),
      m_alerts({[this](const std::string& realm) {
                    const forms::Picture& picture = realmPicture(RealmImage(realm));
                    return forms::iconHandle(picture.isNull() ? icoMain.picture() : picture);
                },
                [this](const platform::DesktopNotification& n) {
                    if (TrayEnabled) TrayBalloon(n.summary, n.body, n.critical, hWnd(), n.icon, n.sound.empty());
                },
                [this] { openHistoryFromAlert(); }}),
      m_rebuilds([this] { rebuildServerList(); }, [this](const std::string& server) { buildPanel(server); }) {
    designControls();
    connectHandlers();
}

void frmMain::designControls() {
    setCaption("Towerwatch");
    setClientSize(7485, 7230);
    setBackColor(forms::kWhite);
    setFont(forms::Font{});
    setIcon(programIcon());

    placeLabel(Label1, "Server Info Status:", 750, 90, 1395, 195);
    placeLabel(lblServerInfo, "Nothing done", 2250, 90, 1110, 195);
    lblServerInfo.setFont(forms::boldFont(8.25));
    placeLabel(Label5, "Last Updated:", 750, 300, 1020, 195);
    forms::makeLink(Label5, forms::AccessibleRole::Button);  // "Last Updated:" updates
    placeLabel(lblUpdate, "Never updated", 1860, 300, 1245, 195);
    lblUpdate.setFont(forms::boldFont(8.25));
    placeLabel(lblURL, "", 5400, 100, 1995, 390);
    lblURL.setAlignment(forms::Alignment::Center);
    forms::makeLink(lblURL);
    placeLabel(Label2, "Servers:", 120, 690, 615, 195);

    placeLabel(lblServers[0], "", 210, 930, 45, 195, false);
    placeLabel(lblPopSize[0], "", 630, 930, 45, 195, false);
    shpServerUp[0].move(60, 990, 105, 105);
    shpServerUp[0].setKind(forms::Shape::Circle);
    shpServerUp[0].setFilled(true);
    shpServerUp[0].setVisible(false);

    designPanel();

    // Pictures the program hands around; never shown themselves.
    const std::pair<forms::Image*, forms::Picture> pictures[] = {
        {&imgTree, treePicture()},                  {&imgCup, cupPicture()},
        {&imgHammer, hammerPicture()},              {&icoMain, programIcon()},
        {&icoRed, alertIcon(forms::rgb(255, 0, 0))}, {&icoGreen, alertIcon(forms::rgb(0, 176, 0))},
        {&icoYellow, alertIcon(forms::rgb(240, 200, 0))}};
    for (const auto& [image, picture] : pictures) {
        image->setPicture(picture);
        image->setVisible(false);
    }

    imgLogo.move(120, 60, 480, 480);
    imgLogo.setPicture(programIcon());
    linTop.setPoints(60, 600, 7425, 600);
    linDivider.setPoints(2100, 690, 2100, 6400);
    linBottom.setPoints(60, 6420, 7425, 6420);
    for (forms::Line* line : {&linTop, &linDivider, &linBottom}) line->setBorderColor(forms::kRuleGrey);
    shpFrame.move(30, 30, 7425, 7170);
    shpFrame.setKind(forms::Shape::Rectangle);
    shpFrame.setFilled(false);
    shpFrame.setBorderColor(forms::kRuleGrey);

    cmdMonitorOptions.setCaption("&Monitoring...");
    cmdMonitorOptions.move(60, 6510, 1995, 285);
    cmdProgramOptions.setCaption("&Options...");
    cmdProgramOptions.move(60, 6870, 1995, 285);
    cmdAbout.setCaption("&About");
    cmdAbout.move(6600, 6480, 795, 315);
    cmdExit.setCaption("E&xit");
    cmdExit.move(6600, 6870, 795, 255);

    tmrUpdate.setInterval(60000);
    tmrUpdate.setEnabled(true);
    tmrIcoFlash.setInterval(1000);
    tmrIcoFlash.setEnabled(false);
    tmrTrayHost.setInterval(kTrayHostPollMs);
    tmrTrayHost.setEnabled(false);

    mServers = &mPopUp.addItem("mServers", "&Show Servers");
    mPopUp.addSeparator("msep1");
    mAbout = &mPopUp.addItem("mAbout", "&About");
    mExit = &mPopUp.addItem("mExit", "E&xit");
}

void frmMain::designPanel() {
    placeLabel(lblServerName, "Server Info", 2250, 720, 1110, 240, true);
    lblServerName.setFont(forms::boldFont(9.75));
    lblServerName.setEnabled(false);
    placeLabel(KeepLabel, "Keep Ownership", 2250, 1050, 1350, 195, false);
    KeepLabel.setFont(forms::boldFont(8.25));
    placeLabel(RelicLabel, "Relic Ownership", 5310, 1050, 1335, 225, false);
    RelicLabel.setFont(forms::boldFont(8.25));
    placeLabel(lblKeepList[0], "KeepList", 2460, 1320, 600, 195, false);
    designImage(imgKeepOwn[0], 2220, 1320);
    placeLabel(lblClaimed[0], "Claimed", 3420, 780, 555, 195, false);
    forms::makeLink(lblClaimed[0]);
    placeLabel(lblEnd[0], ")", 4020, 780, 60, 195, false);
    placeLabel(lblRelicList[0], "RelicList", 5520, 1320, 570, 195, false);
    designImage(imgRelicOwn[0], 5280, 1320);
    placeLabel(DFLabel, "Darkness Falls", 2250, 6660, 1215, 195, false);
    DFLabel.setFont(forms::boldFont(8.25));
    placeLabel(lblDF, "DF", 2580, 6900, 195, 195, false);
    designImage(imgDF, 2340, 6900);
}

void frmMain::connectHandlers() {
    onUnload = [this](bool& cancel) { Form_Unload(cancel); };
    cmdExit.onClick = [this] { cmdExit_Click(); };
    mExit->onClick = [this] { mExit_Click(); };
    cmdAbout.onClick = [this] { cmdAbout_Click(); };
    mAbout->onClick = [this] { mAbout_Click(); };
    cmdMonitorOptions.onClick = [this] { cmdMonitorOptions_Click(); };
    cmdProgramOptions.onClick = [this] { cmdProgramOptions_Click(); };
    Label2.onClick = [this] { Label2_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
    lblURL.onClick = [this] { lblURL_Click(); };
    mServers->onClick = [this] { mServers_Click(); };
    tmrUpdate.onTimer = [this] { tmrUpdate_Timer(); };
    tmrIcoFlash.onTimer = [this] { tmrIcoFlash_Timer(); };
    tmrTrayHost.onTimer = [this] { tmrTrayHost_Timer(); };
    lblServers.onClick = [this](int index) { lblServers_Click(index); };
    lblClaimed.onClick = [this](int index) { lblClaimed_Click(index); };
}

}  // namespace tw
