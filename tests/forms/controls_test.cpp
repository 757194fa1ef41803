// Lists, check boxes, scroll bars, buttons, images, shapes and menus:
// the events they raise and what they draw.
#include <gtest/gtest.h>

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/menu.h"
#include "forms/scroll_bar.h"
#include "forms/shape.h"
#include "forms_probe.h"
#include "runtime/runtime_error.h"

namespace tw::forms {
namespace {

namespace probe = tw::testing;

class ControlsTest : public ::testing::Test {
protected:
    Form form{"frmControls"};
};

TEST_F(ControlsTest, ComboKeepsNoPickUntilOneIsMadeClicksOnEveryChangeAndKeepsBytes) {
    ComboBox combo(form, "cmbNewOwner");
    int clicks = 0;
    combo.onClick = [&] { ++clicks; };
    for (const char* realm : {"All", "Midgard", "Albion", "Hibernia"}) combo.addItem(realm);
    EXPECT_EQ(combo.listIndex(), -1);  // adding entries picks none
    EXPECT_EQ(combo.text(), "");
    EXPECT_EQ(clicks, 0);

    combo.setListIndex(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(combo.text(), "All");
    combo.setListIndex(0);  // no change, no click
    EXPECT_EQ(clicks, 1);

    // The user's pick arrives the same way.
    probe::pickEntry(combo, 2);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(combo.listIndex(), 2);
    EXPECT_EQ(combo.text(), "Albion");

    EXPECT_EQ(combo.list(4), "");
    EXPECT_THROW(combo.setListIndex(4), RuntimeError);
    EXPECT_THROW(combo.setListIndex(-2), RuntimeError);

    combo.clear();
    EXPECT_EQ(combo.listIndex(), -1);
    EXPECT_EQ(clicks, 2);

    const std::string windows1252("Dun Br\xED");
    combo.addItem(windows1252);
    combo.setListIndex(0);
    EXPECT_EQ(combo.text(), windows1252);  // not re-encoded on the way back from the screen
}

TEST_F(ControlsTest, ScrollBarChangesOnCodeClampingAndUser) {
    ScrollBar bar(form, "ScrollBar");
    std::vector<int> seen;
    bar.onChange = [&] { seen.push_back(bar.value()); };
    bar.setMin(0);
    bar.setMax(5);
    bar.setValue(4);
    EXPECT_EQ(seen, (std::vector<int>{4}));
    // The order a list refresh uses: min, a lower max that pulls the value down, then 0.
    bar.setMin(0);
    bar.setMax(1);
    bar.setValue(0);
    EXPECT_EQ(seen, (std::vector<int>{4, 1, 0}));
    bar.setValue(0);
    EXPECT_EQ(seen.size(), 3u);
    bar.setValue(99);
    EXPECT_EQ(bar.value(), 1);
    probe::stepScrollBar(bar, -1);
    EXPECT_EQ(seen, (std::vector<int>{4, 1, 0, 1, 0}));
}

TEST_F(ControlsTest, CheckBoxClicksWhenItsValueChanges) {
    CheckBox check(form, "chkSystemTray");
    int clicks = 0;
    check.onClick = [&] { ++clicks; };
    check.setValue(1);
    check.setValue(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(check.value(), 1);
    probe::toggleAsUser(check);
    EXPECT_EQ(check.value(), 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_THROW(check.setValue(2), RuntimeError);
}

TEST_F(ControlsTest, EscClicksTheCancelButtonAndEnterTheDefault) {
    Button save(form, "cmdSave");
    Button cancel(form, "cmdCancel");
    int saved = 0, cancelled = 0;
    save.onClick = [&] { ++saved; };
    cancel.onClick = [&] { ++cancelled; };
    save.setDefault(true);
    cancel.setCancel(true);
    CheckBox focus(form, "chkFocus");
    form.show();

    // Keys sent to a child travel up to the form when the child does not use them.
    probe::pressEscape(focus);
    EXPECT_EQ(cancelled, 1);
    probe::pressEnter(focus);
    EXPECT_EQ(saved, 1);

    // A disabled cancel button does not answer, nor one that is gone.
    cancel.setEnabled(false);
    probe::pressEscape(form);
    EXPECT_EQ(cancelled, 1);
    {
        Button gone(form, "cmdGone");
        gone.setCancel(true);
    }
    EXPECT_EQ(form.cancelButton(), nullptr);
    probe::pressEscape(form);  // must not touch the destroyed button
    form.hide();
}

TEST_F(ControlsTest, AControlPutAfterAnotherInTheTabOrderIsReachedFromIt) {
    Button first(form, "cmdFirst");
    Button second(form, "cmdSecond");
    ComboBox third(form, "cmbThird");
    form.show();
    EXPECT_TRUE(probe::tabMovesTo(first, second)) << "the order they were made in";
    third.followInTabOrder(first);
    EXPECT_TRUE(probe::tabMovesTo(first, third));
    EXPECT_TRUE(probe::tabMovesTo(third, second));
    form.hide();
}

TEST_F(ControlsTest, ShapeFillsItsCircleAndImagesTakeOrStretchThePicture) {
    form.setBackColor(kWhite);
    Shape lamp(form, "shpServerUp");
    lamp.move(0, 0, 150, 150);
    lamp.setKind(Shape::Circle);
    lamp.setFilled(true);
    lamp.setFillColor(rgb(0, 255, 0));
    EXPECT_EQ(probe::shownPixel(lamp, 5, 5), rgb(0, 255, 0));
    EXPECT_TRUE(probe::letsMouseThrough(lamp));

    Image image(form, "imgCup");
    image.move(0, 0, 195, 180);
    image.setPicture(probe::solidPicture(16, 12, rgb(255, 0, 0)));
    EXPECT_EQ(image.width(), 16 * 15);  // unstretched: the control takes the picture's size
    EXPECT_EQ(image.height(), 12 * 15);
    image.setStretch(true);
    image.move(0, 0, 600, 600);
    EXPECT_EQ(probe::shownPixel(image, 35, 35), rgb(255, 0, 0));
}

TEST_F(ControlsTest, MenuItemsClickAndTheDefaultIsBold) {
    Menu menu(form, "mPopUp", "popup");
    MenuItem& show = menu.addItem("mServers", "&Show Servers");
    menu.addSeparator("msep1");
    MenuItem& exitItem = menu.addItem("mExit", "E&xit");
    int exits = 0;
    exitItem.onClick = [&] { ++exits; };
    probe::triggerAsUser(exitItem);
    EXPECT_EQ(exits, 1);

    menu.popup(&show);
    EXPECT_TRUE(menu.isShown());
    EXPECT_TRUE(probe::showsBold(show));
    EXPECT_FALSE(probe::showsBold(exitItem));
    probe::dismissPopup(menu);
    EXPECT_FALSE(menu.isShown());
}

}  // namespace
}  // namespace tw::forms
