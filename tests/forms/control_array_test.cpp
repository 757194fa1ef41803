// Control arrays: loading copies of element 0, unloading, and the errors of missing or
// duplicate elements.
#include <gtest/gtest.h>

#include <tuple>

#include "error_number.h"
#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms_probe.h"

namespace tw::forms {
namespace {

using tw::testing::errorNumberOf;
namespace probe = tw::testing;

class ControlArrayTest : public ::testing::Test {
protected:
    Form form{"frmArrays"};
    ControlArray<Label> rows{form, "lblServers"};

    void SetUp() override {
        Label& first = rows[0];
        first.move(210, 930, 45, 195);
        first.setAutoSize(true);
        Font link;
        link.bold = true;
        link.underline = true;
        first.setFont(link);
        first.setForeColor(rgb(0, 0, 255));
        first.setMousePointer(kCustomPointer);
        first.setToolTipText("Click for server info");
        first.setTag("3");
        first.setCaption("Ironmoor");
    }
};

TEST_F(ControlArrayTest, LoadedElementIsAHiddenCopyOfElementZeroThatChangesOnItsOwn) {
    Label& copy = rows.load(1);
    const Label& first = rows[0];
    EXPECT_EQ(copy.index(), 1);
    EXPECT_EQ(copy.name(), "lblServers");
    EXPECT_FALSE(copy.visible());
    EXPECT_TRUE(probe::nativeHidden(copy));
    EXPECT_EQ(copy.caption(), "Ironmoor");
    EXPECT_EQ(std::make_tuple(copy.left(), copy.top(), copy.width(), copy.height()),
              std::make_tuple(first.left(), first.top(), first.width(), first.height()));
    EXPECT_EQ(copy.font(), first.font());
    EXPECT_EQ(copy.foreColor(), rgb(0, 0, 255));
    EXPECT_EQ(copy.mousePointer(), kCustomPointer);
    EXPECT_EQ(copy.toolTipText(), "Click for server info");
    EXPECT_EQ(copy.tag(), "3");

    copy.setCaption("Ironmoor and Ashvale");  // sizes itself like element 0 does
    EXPECT_GT(copy.width(), first.width());
    copy.setForeColor(kBlack);
    EXPECT_EQ(rows[0].foreColor(), rgb(0, 0, 255));
}

TEST_F(ControlArrayTest, BoundsFollowLoadAndUnloadAndMissingOrDuplicateElementsRaise) {
    for (int i = 1; i <= 5; ++i) rows.load(i);
    rows.unload(5);
    rows.unload(2);  // a hole: the upper bound stays
    EXPECT_EQ(rows.ubound(), 4);
    EXPECT_EQ(rows.indexes(), (std::vector<int>{0, 1, 3, 4}));

    EXPECT_EQ(errorNumberOf([&] { rows[2]; }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows[-1]; }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows.unload(7); }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows.load(-1); }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows.load(1); }), 360);
    EXPECT_EQ(errorNumberOf([&] { rows.unload(0); }), 362);
    try {
        rows[9];
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.source(), "lblServers") << "the error names the array, as a handler reports it";
    }
    for (int i : {4, 3, 1}) rows.unload(i);
    EXPECT_EQ(rows.ubound(), 0);
    EXPECT_EQ(rows.count(), 1);
}

TEST_F(ControlArrayTest, ClicksCarryTheIndexAndAnElementMayUnloadItselfFromItsOwnClick) {
    std::vector<int> clicked;
    rows.onClick = [&](int index) {
        clicked.push_back(index);
        // A click handler that rebuilds the list, including the row that was clicked.
        if (index == 2)
            for (int i = rows.ubound(); i >= 1; --i) rows.unload(i);
    };
    rows.load(1);
    Label& second = rows.load(2);
    const auto goneOrHidden = probe::nativeGoneOrHidden(second);
    second.setCaption("Ashvale");
    second.setToolTipText("");
    second.setTag("7");
    second.setForeColor(kBlack);
    second.setVisible(true);
    rows[0].click();
    rows[2].click();
    EXPECT_EQ(clicked, (std::vector<int>{0, 2}));
    EXPECT_FALSE(rows.exists(2));
    probe::runDeferredDeletes();
    ASSERT_TRUE(goneOrHidden());

    // Loading again, also under another index, gives a hidden copy of element 0 with
    // nothing left of the unloaded row, whether or not its widget is reused.
    Label& again = rows.load(3);
    EXPECT_EQ(again.index(), 3);
    EXPECT_FALSE(again.visible());
    EXPECT_TRUE(probe::nativeHidden(again));
    EXPECT_EQ(again.caption(), "Ironmoor");
    EXPECT_EQ(again.width(), rows[0].width());
    EXPECT_EQ(again.toolTipText(), "Click for server info");
    EXPECT_EQ(again.tag(), "3");
    EXPECT_EQ(again.foreColor(), rgb(0, 0, 255));
    again.click();
    EXPECT_EQ(clicked, (std::vector<int>{0, 2, 3}));
}

}  // namespace
}  // namespace tw::forms
