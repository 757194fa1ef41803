#pragma once
// The options dialog: every stored setting plus the start-with-the-desktop entry. Loading
// happens in the constructor, from the settings and the server captions handed in; Save
// writes and closes, Cancel (or Esc, or the close button) closes without writing.
//
//     frmOptions dlg(serverCaptions, AppPath);
//     dlg.showModal(&main);   // centred on main; returns once the dialog has closed
//
// The dialog never calls back into the main window: the caller re-reads the settings it
// needs after showModal returns, whether the user saved or not.

#include <string>
#include <vector>

#include "forms/forms.h"

namespace tw {

class frmOptions : public forms::Form {
public:
    // mainServerCaptions: the main window's server list in list order, a snapshot that does
    // not follow later changes. AppPath: the program folder with its trailing "/".
    frmOptions(std::vector<std::string> mainServerCaptions, std::string AppPath);

    // Centres the dialog on its owner, then shows it modal.
    void showModal(forms::Form* owner);

    void cmbServer_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    forms::Frame Frame1;
    forms::CheckBox chkUpdateOnStart;
    forms::CheckBox chkStartWithWin;
    forms::CheckBox chkSystemTray;
    forms::Label Label3;
    forms::ComboBox cmbServerSet;
    forms::Frame frameMonitor;
    forms::Label Label1;
    forms::ComboBox cmbFrequency;
    forms::Label Label2;
    forms::ComboBox cmbServer;
    forms::Label lblFromRealm;
    forms::ComboBox cmbRealm;
    forms::CheckBox chkFilterNoob;
    forms::Frame frameAlerts;
    forms::Label lblNotify;
    forms::ComboBox cmbNotify;
    forms::Label lblSound;
    forms::ComboBox cmbSound;
    forms::Label lblOnChangeCommand;
    forms::TextBox txtOnChangeCommand;
    forms::Button cmdSave;
    forms::Button cmdCancel;

private:
    void layOut();
    void Form_Load();
    // Load steps, in the order they run.
    void LoadStartWithWin();
    void LoadServerList();
    static void selectStored(forms::ComboBox& list, const std::string& stored);

    std::vector<std::string> m_serverCaptions;
    std::string m_appPath;
    // Whether the autostart entry existed at load: Save touches it only when the user
    // changed the tick.
    short StartWithWin = 0;
};

}  // namespace tw
