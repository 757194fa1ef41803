#include "settings/frm_options.h"

#include <utility>

#include "platform/files.h"
#include "platform/services.h"
#include "runtime/error_handler.h"
#include "settings/option_values.h"
#include "settings/settings_store.h"

namespace tw {

namespace {

void fill(forms::ComboBox& list, std::initializer_list<const char*> entries) {
    for (const char* entry : entries) list.addItem(entry);
}

std::string asText(int number) { return std::to_string(number); }

// A face wider than the designed one (Wine's Tahoma is a few pixels wider than Windows'):
// the list keeps its right edge and starts a pixel after its caption.
void keepClearOf(const forms::Label& caption, forms::ComboBox& list) {
    const int captionEnd = caption.left() + caption.width() + 15;
    if (captionEnd <= list.left()) return;
    const int right = list.left() + list.width();
    list.move(captionEnd, list.top(), right - captionEnd, list.height());
}

}  // namespace

frmOptions::frmOptions(std::vector<std::string> mainServerCaptions, std::string AppPath)
    : Form("frmOptions"),
      Frame1(*this, "Frame1"),
      chkUpdateOnStart(Frame1, "chkUpdateOnStart"),
      chkStartWithWin(Frame1, "chkStartWithWin"),
      chkSystemTray(Frame1, "chkSystemTray"),
      Label3(Frame1, "Label3"),
      cmbServerSet(Frame1, "cmbServerSet"),
      frameMonitor(*this, "frameMonitor"),
      Label1(frameMonitor, "Label1"),
      cmbFrequency(frameMonitor, "cmbFrequency"),
      Label2(frameMonitor, "Label2"),
      cmbServer(frameMonitor, "cmbServer"),
      lblFromRealm(frameMonitor, "lblFromRealm"),
      cmbRealm(frameMonitor, "cmbRealm"),
      chkFilterNoob(frameMonitor, "chkFilterNoob"),
      frameAlerts(*this, "frameAlerts"),
      lblNotify(frameAlerts, "lblNotify"),
      cmbNotify(frameAlerts, "cmbNotify"),
      lblSound(frameAlerts, "lblSound"),
      cmbSound(frameAlerts, "cmbSound"),
      lblOnChangeCommand(frameAlerts, "lblOnChangeCommand"),
      txtOnChangeCommand(frameAlerts, "txtOnChangeCommand"),
      cmdSave(*this, "cmdSave"),
      cmdCancel(*this, "cmdCancel"),
      m_serverCaptions(std::move(mainServerCaptions)),
      m_appPath(std::move(AppPath)) {
    layOut();
    cmbServer.onClick = [this] { cmbServer_Click(); };
    cmdSave.onClick = [this] { cmdSave_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    Form_Load();
}

void frmOptions::layOut() {
    setCaption("Options");
    setBackColor(forms::kWhite);
    setClientSize(3105, 5580);

    Frame1.setCaption("General Options");
    Frame1.setBackColor(forms::kWhite);
    Frame1.move(60, 60, 2985, 1605);
    chkUpdateOnStart.setCaption("Perform update on start");
    chkUpdateOnStart.move(150, 240, 2655, 225);
    chkStartWithWin.setCaption("Start with windows");
    chkStartWithWin.move(150, 480, 2655, 225);
    chkSystemTray.setCaption("Use system tray");
    chkSystemTray.move(150, 720, 2655, 225);
    Label3.setCaption("Server Set");
    Label3.move(270, 1110, 765, 195);
    fill(cmbServerSet, {"US Servers", "Euro Servers"});
    cmbServerSet.move(1140, 1080, 1635, 315);

    frameMonitor.setCaption("Monitor Options");
    frameMonitor.setBackColor(forms::kWhite);
    frameMonitor.move(60, 1740, 2985, 1725);
    Label1.setCaption("Update frequency");
    Label1.move(150, 300, 1305, 195);
    fill(cmbFrequency, {"15 minutes", "30 minutes", "60 minutes", "Never!"});
    cmbFrequency.move(1500, 270, 1395, 315);
    Label2.setCaption("Monitor server");
    Label2.move(150, 660, 1050, 195);
    cmbServer.move(1260, 630, 1635, 315);
    lblFromRealm.setCaption("From realm");
    lblFromRealm.move(330, 1020, 795, 195);
    fill(cmbRealm, {"None", "Midgard", "Albion", "Hibernia"});
    cmbRealm.move(1260, 990, 1635, 315);
    chkFilterNoob.setCaption("Filter out battleground keeps");
    chkFilterNoob.move(120, 1380, 2625, 225);

    // Below the two original groups, which keep their places; the buttons move down with it.
    frameAlerts.setCaption("Alerts");
    frameAlerts.setBackColor(forms::kWhite);
    frameAlerts.move(60, 3540, 2985, 1695);
    lblNotify.setCaption("Notifications");
    lblNotify.move(150, 300, 1050, 195);
    fill(cmbNotify, {"Off", "Every change", "Only my realm"});
    cmbNotify.move(1260, 270, 1635, 315);
    lblSound.setCaption("Play a sound");
    lblSound.move(150, 660, 1050, 195);
    fill(cmbSound, {"Off", "Every alert", "Lost keeps only"});
    cmbSound.move(1260, 630, 1635, 315);
    lblOnChangeCommand.setCaption("Command to run on each change");
    lblOnChangeCommand.move(150, 1050, 2745, 195);
    txtOnChangeCommand.move(150, 1290, 2745, 285);

    // The captions take the width they need in the font actually drawn, which can be a
    // pixel or two wider than the designed boxes; each still ends before its list.
    for (forms::Label* label : {&Label3, &Label1, &Label2, &lblFromRealm, &lblNotify, &lblSound, &lblOnChangeCommand})
        label->setAutoSize(true);
    keepClearOf(Label3, cmbServerSet);
    keepClearOf(Label1, cmbFrequency);
    keepClearOf(Label2, cmbServer);
    keepClearOf(lblFromRealm, cmbRealm);
    keepClearOf(lblNotify, cmbNotify);
    keepClearOf(lblSound, cmbSound);

    cmdSave.setCaption("&Save");
    cmdSave.move(1290, 5310, 855, 225);
    cmdCancel.setCaption("&Cancel");
    cmdCancel.move(2190, 5310, 855, 225);
    cmdCancel.setCancel(true);
}

void frmOptions::showModal(forms::Form* owner) {
    if (owner) centreOn(*owner);
    else centreOnScreen();
    Form::showModal(owner);
}

void frmOptions::Form_Load() {
    withErrorHandler("Form Load", [&] {
        LoadStartWithWin();
        chkUpdateOnStart.setValue(storedCheckValue(ReadSetting("UpdateOnStart", "1")));
        selectStored(cmbFrequency, ReadSetting("UpdateTime", "0"));
        chkSystemTray.setValue(storedCheckValue(ReadSetting("SystemTray", "1")));
        LoadServerList();
        selectStored(cmbRealm, ReadSetting("Realm", "0"));
        selectStored(cmbServerSet, ReadSetting("ServerSet", "0"));
        chkFilterNoob.setValue(storedCheckValue(ReadSetting("FilterNoob", "0")));
        // A value edited into nonsense shows the default rather than switching alerts off.
        cmbNotify.setListIndex(storedListIndex(ReadSetting("Notify", "1"), cmbNotify.listCount(), 1));
        cmbSound.setListIndex(storedListIndex(ReadSetting("Sound", "2"), cmbSound.listCount(), 2));
        txtOnChangeCommand.setText(ReadSetting("OnChangeCommand", ""));
    });
}

void frmOptions::LoadStartWithWin() {
    // Any value under that name counts, whatever its type: the session would run it.
    const bool present =
        platform::registry().queryValue(platform::kRunKey, platform::kAutostartValueName).has_value();
    chkStartWithWin.setValue(present ? 1 : 0);
    StartWithWin = static_cast<short>(chkStartWithWin.value());
}

void frmOptions::LoadServerList() {
    cmbServer.addItem("None");
    if (platform::fileExists(m_appPath + platform::kStatusFile)) {
        for (const std::string& caption : m_serverCaptions) cmbServer.addItem(caption);
    } else {
        // Without a cached document there is nothing to pick from; the stored choice stays.
        cmbServer.setEnabled(false);
        Label2.setEnabled(false);
    }
    const std::string stored = ReadSetting("MonitorServer", "None");
    int selected = 0;
    for (int i = 0; i < cmbServer.listCount(); ++i) {
        if (cmbServer.list(i) == stored) {
            selected = i;
            break;
        }
    }
    // Selecting runs cmbServer_Click, which sets the realm controls to match.
    cmbServer.setListIndex(selected);
}

void frmOptions::selectStored(forms::ComboBox& list, const std::string& stored) {
    list.setListIndex(storedListIndex(stored, list.listCount()));
}

void frmOptions::cmbServer_Click() {
    const bool server = cmbServer.listIndex() > 0;
    lblFromRealm.setEnabled(server);
    cmbRealm.setEnabled(server);
}

void frmOptions::cmdSave_Click() {
    withErrorHandler("cmdSave_Click", [&] {
        const short ticked = static_cast<short>(chkStartWithWin.value());
        if (ticked != StartWithWin) {
            platform::Registry& registry = platform::registry();
            if (ticked) {
                const std::string command =
                    startupCommandLine(platform::processFacts().executablePath());
                registry.setValue(platform::kRunKey, platform::kAutostartValueName,
                                  {platform::REG_SZ, command});
            } else {
                registry.deleteValue(platform::kRunKey, platform::kAutostartValueName);
            }
        }
        WriteSetting("UpdateOnStart", asText(chkUpdateOnStart.value()));
        WriteSetting("UpdateTime", asText(cmbFrequency.listIndex()));
        WriteSetting("SystemTray", asText(chkSystemTray.value()));
        if (cmbServer.enabled()) WriteSetting("MonitorServer", cmbServer.text());
        // Written even while the realm list is disabled, so the choice survives "None".
        WriteSetting("Realm", asText(cmbRealm.listIndex()));
        WriteSetting("ServerSet", asText(cmbServerSet.listIndex()));
        WriteSetting("FilterNoob", asText(chkFilterNoob.value()));
        WriteSetting("Notify", asText(cmbNotify.listIndex()));
        WriteSetting("Sound", asText(cmbSound.listIndex()));
        WriteSetting("OnChangeCommand", txtOnChangeCommand.text());
        close();
    });
}

void frmOptions::cmdCancel_Click() { close(); }

}  // namespace tw
