#include "app/frm_main.h"

#include <map>

#include "app/artwork.h"
#include "app/frm_main_design.h"
#include "platform/qt/notify_icon.h"
#include "platform/services.h"

namespace tw {

const char* const kHomePage = "https://towerwatch.vexlor.example/";
const char* const kByLine = "Towerwatch by Vexlor";

namespace {

using namespace main_design;

// A session often starts the program before its panel: look for the tray this often.
constexpr int kTrayHostPollMs = 5000;

void makeLink(forms::Label& label) {
    label.setForeColor(forms::kLinkBlue);
    label.setMousePointer(forms::kCustomPointer);
}

}  // namespace

frmMain::frmMain()
    : forms::Form("frmMain"),
      Label1(*this, "Label1"),
      lblServerInfo(*this, "lblServerInfo"),
      Label5(*this, "Label5"),
      lblUpdate(*this, "lblUpdate"),
      lblURL(*this, "lblURL"),
      Label2(*this, "Label2"),
      lblServers(*this, "lblServers"),
      lblPopSize(*this, "lblPopSize"),
      shpServerUp(*this, "shpServerUp"),
      lblServerName(*this, "lblServerName"),
      KeepLabel(*this, "KeepLabel"),
      RelicLabel(*this, "RelicLabel"),
      DFLabel(*this, "DFLabel"),
      lblKeepList(*this, "lblKeepList"),
      imgKeepOwn(*this, "imgKeepOwn"),
      lblClaimed(*this, "lblClaimed"),
      lblEnd(*this, "lblEnd"),
      lblRelicList(*this, "lblRelicList"),
      imgRelicOwn(*this, "imgRelicOwn"),
      lblDF(*this, "lblDF"),
      imgDF(*this, "imgDF"),
      imgTree(*this, "imgTree"),
      imgCup(*this, "imgCup"),
      imgHammer(*this, "imgHammer"),
      icoMain(*this, "icoMain"),
      icoRed(*this, "icoRed"),
      icoGreen(*this, "icoGreen"),
      icoYellow(*this, "icoYellow"),
      imgLogo(*this, "imgLogo"),
      shpFrame(*this, "shpFrame"),
      linTop(*this, "linTop"),
      linBottom(*this, "linBottom"),
      linDivider(*this, "linDivider"),
      cmdMonitorOptions(*this, "cmdMonitorOptions"),
      cmdProgramOptions(*this, "cmdProgramOptions"),
      cmdAbout(*this, "cmdAbout"),
      cmdExit(*this, "cmdExit"),
      tmrUpdate(*this, "tmrUpdate"),
      tmrIcoFlash(*this, "tmrIcoFlash"),
      tmrTrayHost(*this, "tmrTrayHost"),
      mPopUp(*this, "mPopUp", "popup") {
    designControls();
    connectHandlers();
}

frmMain::~frmMain() {
    // The notifier outlives the window; nothing of it may call back into a window gone.
    if (!m_alertsConnected) return;
    platform::desktopNotifier().onActivated = nullptr;
    platform::desktopNotifier().fallback = nullptr;
}

std::uintptr_t frmMain::iconHandle(const forms::Picture& picture) {
    if (picture.isNull()) return 0;
    // One handle per bitmap, however often the same picture is handed to the shell.
    static std::map<qint64, std::uintptr_t> handles;
    const auto [it, added] = handles.try_emplace(picture.pixmap().cacheKey(), 0);
    if (added) it->second = platform::iconHandle(picture.icon());
    return it->second;
}

void frmMain::designControls() {
    setCaption("Towerwatch");
    setClientSize(7485, 7230);
    setBackColor(forms::kWhite);
    setFont(forms::Font{});
    setIcon(forms::Picture(programIcon()));

    placeLabel(Label1, "Server Info Status:", 750, 90, 1395, 195);
    placeLabel(lblServerInfo, "Nothing done", 2250, 90, 1110, 195);
    lblServerInfo.setFont(forms::boldFont(8.25));
    placeLabel(Label5, "Last Updated:", 750, 300, 1020, 195);
    makeLink(Label5);
    placeLabel(lblUpdate, "Never updated", 1860, 300, 1245, 195);
    lblUpdate.setFont(forms::boldFont(8.25));
    placeLabel(lblURL, "", 5400, 100, 1995, 390);
    lblURL.setAlignment(forms::Alignment::Center);
    makeLink(lblURL);
    placeLabel(Label2, "Servers:", 120, 690, 615, 195);

    placeLabel(lblServers[0], "", 210, 930, 45, 195, false);
    placeLabel(lblPopSize[0], "", 630, 930, 45, 195, false);
    shpServerUp[0].move(60, 990, 105, 105);
    shpServerUp[0].setKind(forms::Shape::Circle);
    shpServerUp[0].setFilled(true);
    shpServerUp[0].setVisible(false);

    designPanel();

    // Pictures the program hands around; never shown themselves.
    const std::pair<forms::Image*, QPixmap> pictures[] = {
        {&imgTree, treePicture()},        {&imgCup, cupPicture()},
        {&imgHammer, hammerPicture()},    {&icoMain, programIcon()},
        {&icoRed, alertIcon(Qt::red)},    {&icoGreen, alertIcon(QColor(0, 176, 0))},
        {&icoYellow, alertIcon(QColor(240, 200, 0))}};
    for (const auto& [image, pixmap] : pictures) {
        image->setPicture(forms::Picture(pixmap));
        image->setVisible(false);
    }

    imgLogo.move(120, 60, 480, 480);
    imgLogo.setPicture(forms::Picture(programIcon()));
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
