#pragma once
// The about box: the program's name, the credits, contact and donation links and the
// version line. There is only ever one: open() shows the existing box when one is on
// screen. A closed box is destroyed once control is back in the event loop (or when the
// application quits).
//
//     frmSplash::open(&main, true, donationPicture);   // modal, owned by the main window
//     frmSplash::open(nullptr, false, donationPicture); // modeless, from the tray menu

#include "forms/forms.h"

namespace tw {

class frmSplash : public forms::Form {
public:
    // An empty picture gets a plain drawn donation button.
    explicit frmSplash(const forms::Picture& donationPicture = {});
    ~frmSplash() override;

    // Creates the box when none is on screen, centres it on the screen and shows it: modal
    // (owned by owner; returns once it is closed) or modeless (returns at once). With a box
    // already on screen, that box comes to the front and the call returns at once.
    static void open(forms::Form* owner, bool modal, const forms::Picture& donationPicture = {});
    // The box on screen or closed and not yet destroyed; nullptr when there is none.
    static frmSplash* current();

    void Form_Load();
    void Label4_Click();
    void Image2_Click();
    void cmdClose_Click();

    forms::Label Label1;
    forms::Label Label2;
    forms::Label Label3;
    forms::Label Label4;
    forms::Image Image2;
    forms::Label Label5;
    forms::Label lblVersion;
    forms::Button cmdClose;

private:
    void layOut(const forms::Picture& donationPicture);
};

}  // namespace tw
