#include "about/frm_splash.h"

#include <cstdint>
#include <memory>

#include "about/about_texts.h"
#include "about/donation_picture.h"
#include "forms/application.h"
#include "platform/services.h"

namespace tw {

namespace {

// A box still held when the program's statics go (no quit signal came) is left alone: its
// widgets may not be destroyed once the application object is gone.
struct DeleteWhileApplicationRuns {
    void operator()(frmSplash* box) const {
        if (forms::applicationRunning()) delete box;
    }
};

// The one about box, and a count of boxes made so a late clean-up never takes a newer one.
std::unique_ptr<frmSplash, DeleteWhileApplicationRuns> g_current;
std::uint64_t g_generation = 0;

void destroyCurrent() { g_current.reset(); }

// Closing may come from inside one of the box's own handlers (its Close button), so the
// box goes once that handler has returned.
void destroyLaterIfStillClosed() {
    const std::uint64_t generation = g_generation;
    forms::runSoon([generation] {
        if (g_current && g_generation == generation && !g_current->isShown()) destroyCurrent();
    });
}

void destroyAtQuit() {
    static bool connected = false;
    if (connected || !forms::applicationRunning()) return;
    connected = true;
    forms::whenQuitting([] { destroyCurrent(); });
}

}  // namespace

frmSplash::frmSplash(const forms::Picture& donationPicture)
    : Form("frmSplash"),
      Label1(*this, "Label1"),
      Label2(*this, "Label2"),
      Label3(*this, "Label3"),
      Label4(*this, "Label4"),
      Image2(*this, "Image2"),
      Label5(*this, "Label5"),
      lblVersion(*this, "lblVersion"),
      cmdClose(*this, "cmdClose") {
    layOut(donationPicture);
    Label4.onClick = [this] { Label4_Click(); };
    Image2.onClick = [this] { Image2_Click(); };
    cmdClose.onClick = [this] { cmdClose_Click(); };
    Form_Load();
}

frmSplash::~frmSplash() {
    if (g_current.get() == this) (void)g_current.release();
}

void frmSplash::layOut(const forms::Picture& donationPicture) {
    setCaption("");
    setBackColor(forms::kWhite);
    setClientSize(4500, 3105);

    Label1.setFont({"Tahoma", 9.75, true, false});
    Label1.setAlignment(forms::Alignment::Center);
    Label1.setCaption("Towerwatch");
    Label1.move(30, 30, 4425, 255);

    Label2.setWordWrap(true);
    Label2.setCaption(kCreditText);
    Label2.move(120, 270, 4335, 1395);

    Label3.setCaption("Contact:");
    Label3.move(1290, 1770, 630, 195);
    Label3.setAutoSize(true);  // a wider face still ends before the address
    Label4.setCaption(kMakerAddress);
    forms::makeLink(Label4, forms::AccessibleRole::Link, kMakerAddress);
    Label4.move(2010, 1770, 1320, 195);
    // The whole address stays readable: the row has room to its right.
    Label4.setAutoSize(true);

    Image2.setStretch(true);
    Image2.setPicture(donationPicture.isNull() ? plainDonationPicture() : donationPicture);
    Image2.setMousePointer(forms::kCustomPointer);
    Image2.setAccessible(forms::AccessibleRole::Button, "Donate");
    Image2.move(180, 2040, 930, 465);

    Label5.setWordWrap(true);
    Label5.setCaption(kAuthorLine);
    Label5.move(1260, 2040, 3195, 585);

    lblVersion.move(60, 2880, 525, 195);
    lblVersion.setAutoSize(true);

    cmdClose.setCaption("&Close");
    cmdClose.move(1620, 2760, 1245, 285);
    cmdClose.setCancel(true);

    onUnload = [](bool&) { destroyLaterIfStillClosed(); };
}

void frmSplash::Form_Load() {
    const platform::ProcessFacts& facts = platform::processFacts();
    lblVersion.setCaption(versionLine(facts.versionMajor(), facts.versionMinor(), facts.versionRevision()));
}

void frmSplash::Label4_Click() { platform::openLink(kMailLink, LinkSource::Program); }

void frmSplash::Image2_Click() { platform::openLink(kDonationPage, LinkSource::Program); }

void frmSplash::cmdClose_Click() { close(); }

frmSplash* frmSplash::current() { return g_current.get(); }

void frmSplash::open(forms::Form* owner, bool modal, const forms::Picture& donationPicture) {
    destroyAtQuit();
    if (g_current && g_current->isShown()) {
        g_current->showModeless(nullptr);  // already up: only brought to the front
        return;
    }
    destroyCurrent();  // a closed box still waiting to go
    g_current.reset(new frmSplash(donationPicture));
    ++g_generation;
    g_current->centreOnScreen();
    if (modal) g_current->showModal(owner);
    else g_current->showModeless(owner);
}

}  // namespace tw
