// Control arrays: loading copies of element 0, unloading, and the errors of missing or
// duplicate elements.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>

#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/shape.h"

namespace tw::forms {
namespace {

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

class ControlArrayTest : public ::testing::Test {
protected:
    Form form{"frmArrays"};
    ControlArray<Label> rows{form, "lblServers"};

    void SetUp() override {
        Label& first = rows[0];
        first.move(210, 930, 45, 195);
        first.setAutoSize(true);
        Font link;
        link.size = 8;
        link.bold = true;
        link.underline = true;
        first.setFont(link);
        first.setForeColor(rgb(0, 0, 255));
        first.setMousePointer(kCustomPointer);
        first.setToolTipText("Click for server info");
        first.setTag("3");
        first.setCaption("Excalibur");
    }
};

TEST_F(ControlArrayTest, LoadedElementIsAHiddenCopyOfElementZero) {
    Label& copy = rows.load(1);
    const Label& first = rows[0];
    EXPECT_EQ(copy.index(), 1);
    EXPECT_EQ(copy.name(), "lblServers");
    EXPECT_FALSE(copy.visible());
    EXPECT_TRUE(first.visible());
    EXPECT_EQ(copy.caption(), "Excalibur");
    EXPECT_EQ(copy.left(), first.left());
    EXPECT_EQ(copy.top(), first.top());
    EXPECT_EQ(copy.width(), first.width());
    EXPECT_EQ(copy.height(), first.height());
    EXPECT_EQ(copy.font(), first.font());
    EXPECT_EQ(copy.foreColor(), rgb(0, 0, 255));
    EXPECT_EQ(copy.mousePointer(), kCustomPointer);
    EXPECT_EQ(copy.toolTipText(), "Click for server info");
    EXPECT_EQ(copy.tag(), "3");
    EXPECT_TRUE(copy.autoSize());
    EXPECT_TRUE(copy.widget()->isHidden());

    // The copy sizes itself like element 0 does.
    copy.setCaption("Excalibur and Lancelot");
    EXPECT_GT(copy.width(), first.width());
    // Changing the copy leaves element 0 alone.
    copy.setForeColor(kBlack);
    EXPECT_EQ(rows[0].foreColor(), rgb(0, 0, 255));
}

TEST_F(ControlArrayTest, BoundsFollowLoadAndUnload) {
    EXPECT_EQ(rows.lbound(), 0);
    EXPECT_EQ(rows.ubound(), 0);
    for (int i = 1; i <= 5; ++i) rows.load(i);
    EXPECT_EQ(rows.ubound(), 5);
    rows.unload(5);
    EXPECT_EQ(rows.ubound(), 4);
    rows.unload(2);  // a hole: the upper bound stays
    EXPECT_EQ(rows.ubound(), 4);
    EXPECT_FALSE(rows.exists(2));
    EXPECT_TRUE(rows.exists(3));
    EXPECT_EQ(rows.indexes(), (std::vector<int>{0, 1, 3, 4}));
    for (int i = rows.ubound(); i >= 1; --i)
        if (rows.exists(i)) rows.unload(i);
    EXPECT_EQ(rows.ubound(), 0);
    EXPECT_EQ(rows.count(), 1);
}

TEST_F(ControlArrayTest, MissingDuplicateAndDesignedElementsRaiseTheirErrors) {
    EXPECT_EQ(errorNumberOf([&] { rows[1]; }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows[-1]; }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows.unload(7); }), 340);
    EXPECT_EQ(errorNumberOf([&] { rows.load(-1); }), 340);
    rows.load(1);
    EXPECT_EQ(errorNumberOf([&] { rows.load(1); }), 360);
    EXPECT_EQ(errorNumberOf([&] { rows.unload(0); }), 362);
    rows.unload(1);
    EXPECT_EQ(errorNumberOf([&] { rows[1].setCaption("gone"); }), 340);
    // The error names the array, as a handler reports it.
    try {
        rows[9];
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.source(), "lblServers");
    }
}

TEST_F(ControlArrayTest, UnloadRemovesTheWidget) {
    QPointer<QWidget> widget = rows.load(1).widget();
    rows.unload(1);
    ASSERT_TRUE(widget.isNull() || widget->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
}

TEST_F(ControlArrayTest, ClicksReachTheArrayWithTheirIndex) {
    std::vector<int> clicked;
    rows.onClick = [&](int index) { clicked.push_back(index); };
    rows.load(1);
    rows.load(2);
    rows[2].click();
    rows[0].click();
    EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
}

TEST_F(ControlArrayTest, AnElementMayUnloadItselfFromItsOwnClick) {
    rows.load(1);
    rows.onClick = [&](int index) {
        // A click handler that rebuilds the list, including the row that was clicked.
        for (int i = rows.ubound(); i >= 1; --i) rows.unload(i);
        (void)index;
    };
    rows[1].click();
    EXPECT_FALSE(rows.exists(1));
}

TEST_F(ControlArrayTest, HundredsOfRowsRebuildQuickly) {
    ControlArray<Shape> lamps(form, "shpServerUp");
    lamps[0].setKind(Shape::Circle);
    for (int round = 0; round < 5; ++round) {
        for (int i = 1; i <= 300; ++i) {
            rows.load(i).setCaption("Server " + std::to_string(i));
            lamps.load(i).setFillColor(rgb(0, 255, 0));
        }
        for (int i = 300; i >= 1; --i) {
            rows.unload(i);
            lamps.unload(i);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(rows.ubound(), 0);
    EXPECT_EQ(lamps[0].kind(), Shape::Circle);
}

}  // namespace
}  // namespace tw::forms
