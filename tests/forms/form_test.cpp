// Forms: closing with an unload handler, the list of open forms, modal showing, text
// measurement and window state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "forms/form.h"
#include "forms/label.h"
#include "forms/timer.h"
#include "forms_probe.h"
#include "runtime/runtime_error.h"

namespace tw::forms {
namespace {

namespace probe = tw::testing;

bool isOpen(const Form& form) {
    const auto forms = Form::openForms();
    return std::find(forms.begin(), forms.end(), &form) != forms.end();
}

TEST(FormClose, UnloadHandlerCanCancelAndOpenFormsFollows) {
    Form main("frmMain");
    Form options("frmOptions");
    const auto forms = Form::openForms();
    ASSERT_GE(forms.size(), 2u);
    EXPECT_LT(std::find(forms.begin(), forms.end(), &main),
              std::find(forms.begin(), forms.end(), &options));  // creation order

    bool refuse = true;
    int unloads = 0;
    main.onUnload = [&](bool& cancel) {
        ++unloads;
        cancel = refuse;
    };
    main.show();
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isShown());
    EXPECT_TRUE(isOpen(main));

    // The window's own close button goes through the same handler.
    probe::closeWithCloseButton(main);
    EXPECT_EQ(unloads, 2);
    EXPECT_TRUE(main.isShown());

    refuse = false;
    probe::closeWithCloseButton(main);
    EXPECT_FALSE(main.isShown());
    EXPECT_FALSE(isOpen(main));
    EXPECT_TRUE(isOpen(options));

    // Shown again, it is back in its place in the list.
    main.show();
    const auto again = Form::openForms();
    EXPECT_LT(std::find(again.begin(), again.end(), &main),
              std::find(again.begin(), again.end(), &options));

    // What the main window does: closing without the tray closes everything, itself too.
    unloads = 0;
    main.onUnload = [&](bool&) {
        if (++unloads == 1) main.close();
    };
    EXPECT_TRUE(main.close());
    EXPECT_EQ(unloads, 2);
    EXPECT_FALSE(isOpen(main));
}

TEST(FormModal, ShowModalEndsOnCloseOrHideWhileTheOwnersTimerRunsAndShowingTwiceIsAnError) {
    Form main("frmMain");
    Form history("frmMonitoring");
    main.show();
    Timer tick(main, "tmrUpdate");
    int ticks = 0;
    tick.onTimer = [&] { ++ticks; };
    tick.setInterval(1);
    tick.setEnabled(true);
    probe::runAfter(100, [&] { history.close(); });
    history.showModal(&main);
    EXPECT_FALSE(history.isShown());
    EXPECT_GT(ticks, 0);  // the owner's timer kept running meanwhile
    EXPECT_FALSE(probe::shownModal(history));

    // A disabled timer stays quiet; called directly it still runs its handler.
    tick.setEnabled(false);
    const int stopped = ticks;
    int errorNumber = 0;
    probe::runAfter(10, [&] {
        try {
            history.showModal(nullptr);
        } catch (const RuntimeError& error) {
            errorNumber = error.number();
        }
        history.hide();
    });
    history.showModal(nullptr);
    EXPECT_EQ(errorNumber, 400);
    EXPECT_FALSE(history.isShown());
    EXPECT_EQ(ticks, stopped);
    tick.tick();
    EXPECT_EQ(ticks, stopped + 1);
    main.hide();
}

TEST(FormModal, FormDestroyedWhileModalDoesNotCrash) {
    auto dialog = std::make_unique<Form>("frmOptions");
    Form* raw = dialog.get();
    probe::runAfter(10, [&] { dialog.reset(); });
    raw->showModal(nullptr);
    EXPECT_EQ(dialog, nullptr);
}

TEST(FormText, TextWidthFollowsTheFormFontAndMatchesLabels) {
    Form form("frmMain");
    Label label(form, "lblMeasure");
    label.setAutoSize(true);
    label.setCaption("Wardens of the Ford");
    EXPECT_EQ(form.textWidth("Wardens of the Ford"), label.width());
    EXPECT_EQ(form.textHeight("x"), 195);
    EXPECT_EQ(form.textHeight("x\r\ny"), 390);
    const int normal = form.textWidth("Wardens of the Ford");
    Font big = form.font();
    big.size = 12;
    form.setFont(big);
    EXPECT_GT(form.textWidth("Wardens of the Ford"), normal);
    Label later(form, "lblLater");  // controls made now take the new font
    EXPECT_EQ(later.font(), big);
}

TEST(FormWindow, ClientSizeAndCentring) {
    Form form("frmMain");
    form.setClientSize(7485, 7230);
    EXPECT_EQ(probe::windowWidth(form), 499);
    form.show();
    form.centreOnScreen();
    EXPECT_LE(std::abs(probe::frameOnScreen(form).centreX() - probe::availableScreen(form).centreX()), 1);

    Form dialog("frmOptions");
    dialog.setClientSize(3105, 3810);
    dialog.centreOn(form);
    EXPECT_LE(std::abs(probe::frameOnScreen(dialog).centreX() - probe::frameOnScreen(form).centreX()), 1);
    form.hide();
}

}  // namespace
}  // namespace tw::forms
