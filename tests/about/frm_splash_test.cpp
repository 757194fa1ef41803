#include "about/frm_splash.h"

#include <gtest/gtest.h>

#include "about/about_texts.h"
#include "forms_probe.h"
#include "platform/services.h"

namespace tw {
namespace {

// Lets the deferred clean-up of a closed box run.
void settle() {
    for (int i = 0; i < 3; ++i) testing::runDeferredDeletes();
}

int aboutBoxesLoaded() {
    int count = 0;
    for (const forms::Form* form : forms::Form::openForms()) count += form->name() == "frmSplash";
    return count;
}

class AboutTest : public ::testing::Test {
protected:
    ~AboutTest() override {
        if (frmSplash::current()) frmSplash::current()->close();
        settle();
    }
    platform::ScopedServices services;
};

TEST_F(AboutTest, VersionLineComesFromTheProgramsVersionAndSizesItself) {
    services.processFacts.major = 1;
    services.processFacts.minor = 1;
    services.processFacts.revision = 1;
    frmSplash box;
    EXPECT_EQ(box.lblVersion.caption(), "Version 1.1 build 1");
    EXPECT_LE(box.lblVersion.left() + box.lblVersion.width(), box.cmdClose.left())
        << "the version line runs under the Close button";
}

TEST_F(AboutTest, MailAndDonationLinksGoThroughTheShellAndTheDonationPictureIsTheOneGiven) {
    frmSplash box;
    EXPECT_EQ("mailto:" + box.Label4.caption(), kMailLink);
    box.Label4.click();
    box.Image2.click();
    const std::vector<platform::ShellRecorder::Call> expected = {
        {"", kMailLink, "", "C:\\", 1},
        {"", kDonationPage, "", "C:\\", 1},
    };
    EXPECT_EQ(services.shell.calls, expected);

    const forms::Picture given = testing::solidPicture(62, 31, forms::rgb(255, 0, 0));
    frmSplash withPicture{given};
    EXPECT_EQ(withPicture.Image2.picture(), given);
    EXPECT_FALSE(box.Image2.picture().isNull()) << "without one, a plain picture";
}

TEST_F(AboutTest, EveryTextFitsItsLabelAndEveryControlLiesInsideTheWindow) {
    frmSplash box;
    for (const forms::Label* label : {&box.Label1, &box.Label2, &box.Label3, &box.Label4, &box.Label5}) {
        const forms::Size shown = testing::shownSize(*label);
        const forms::Size needed = testing::textNeeds(*label, label->caption(), label->wordWrap() ? shown.width() : 0);
        EXPECT_LE(needed.height(), shown.height()) << label->name() << " cuts its text";
        EXPECT_LE(needed.width(), shown.width()) << label->name() << " cuts its text";
    }
    const testing::Rect inside = testing::inside(box);
    for (const testing::ShownChild& child : testing::shownChildren(box))
        EXPECT_TRUE(inside.contains(child.area)) << child.name;
}

TEST_F(AboutTest, ModalBoxReturnsOnEscAndTheTrayMenuReachesTheSameBoxMeanwhile) {
    forms::Form owner("frmMain");
    owner.show();
    frmSplash* seenByTray = nullptr;
    bool wasModal = false;
    testing::runAfter(20, [&] {
        frmSplash* box = frmSplash::current();
        ASSERT_NE(box, nullptr);
        wasModal = testing::shownModal(*box);
        frmSplash::open(nullptr, false);  // the tray menu's About while the box is up
        EXPECT_EQ(frmSplash::current(), box);
        seenByTray = frmSplash::current();
        EXPECT_EQ(aboutBoxesLoaded(), 1);
        testing::pressEscape(*box);
    });
    frmSplash::open(&owner, true);
    EXPECT_TRUE(wasModal);
    EXPECT_NE(seenByTray, nullptr);
    settle();
    EXPECT_EQ(frmSplash::current(), nullptr);
    EXPECT_EQ(aboutBoxesLoaded(), 0);
    owner.hide();
}

TEST_F(AboutTest, CloseButtonHidesTheBoxAndReopeningBeforeItIsCleanedUpMakesAFreshOne) {
    frmSplash::open(nullptr, false);
    frmSplash* first = frmSplash::current();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isShown());
    first->cmdClose.click();
    EXPECT_FALSE(first->isShown());
    frmSplash::open(nullptr, false);  // before the event loop has run
    frmSplash* second = frmSplash::current();
    ASSERT_NE(second, nullptr);
    settle();
    EXPECT_EQ(frmSplash::current(), second) << "the late clean-up must not take the new box";
    EXPECT_TRUE(second->isShown());
    EXPECT_EQ(aboutBoxesLoaded(), 1);
}

}  // namespace
}  // namespace tw
