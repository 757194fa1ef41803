// Labels: auto-size in their own font, captions on several lines, clicks, plain text.
#include <gtest/gtest.h>

#include "forms/form.h"
#include "forms/label.h"
#include "forms_probe.h"

namespace tw::forms {
namespace {

namespace probe = tw::testing;

class LabelTest : public ::testing::Test {
protected:
    Form form{"frmLabels"};
    Label label{form, "lblTest"};

    void SetUp() override {
        label.move(120, 90, 45, 195);
        label.setAutoSize(true);
    }
};

TEST_F(LabelTest, AutoSizeFollowsTextAndFontAndKeepsItsPlace) {
    label.setCaption("");
    EXPECT_EQ(label.width(), 45);
    EXPECT_EQ(label.height(), 195);
    label.setCaption("Server Info Status:");
    const int plain = label.width();
    // Tahoma 8.25 pt: one line is 13 pixels high and the design width of this caption is
    // 1395 twips; allow a pixel or two for the face in use.
    EXPECT_EQ(label.height(), 195);
    EXPECT_NEAR(plain, 1395, 45);
    EXPECT_EQ(label.left(), 120);
    EXPECT_EQ(label.top(), 90);

    Font bold = label.font();
    bold.bold = true;
    label.setFont(bold);
    EXPECT_GT(label.width(), plain);
    bold.size = 9.75;
    const int boldWidth = label.width();
    label.setFont(bold);
    EXPECT_GT(label.width(), boldWidth);
    EXPECT_EQ(label.height(), 240);  // 16 pixels, the design height of the panel heading
}

TEST_F(LabelTest, LineBreaksMakeLinesAndWrappingOrAFixedSizeKeepTheWidth) {
    label.setCaption("Towerwatch by Vexlor");
    const int oneLine = label.width();
    label.setCaption("short\r\nTowerwatch by Vexlor");
    EXPECT_EQ(label.width(), oneLine);
    EXPECT_EQ(label.height(), 2 * 195);

    Label fixed(form, "lblFixed");
    fixed.move(0, 0, 600, 195);
    fixed.setCaption("A caption much longer than six hundred twips");
    EXPECT_EQ(fixed.width(), 600);
    EXPECT_EQ(fixed.height(), 195);

    label.setAutoSize(false);
    label.move(120, 270, 1500, 195);
    label.setWordWrap(true);
    label.setAutoSize(true);
    label.setCaption("This started as a small viewer and grew into a logger of every change.");
    EXPECT_EQ(label.width(), 1500);
    EXPECT_GE(label.height(), 3 * 195);
}

TEST_F(LabelTest, ClickAnywhereOnTheLabelRunsOnClickButReleasingOutsideDoesNot) {
    int clicks = 0;
    label.onClick = [&] { ++clicks; };
    label.setCaption("Last Updated:");
    // Far right of the label, beyond where a short glyph run would end.
    const Size shown = probe::shownSize(label);
    const int x = shown.width() - 1, y = shown.height() - 1;
    probe::pressAndRelease(label, x, y, x, y);
    EXPECT_EQ(clicks, 1);
    probe::pressAndRelease(label, x, y, shown.width() + 20, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(LabelTest, AmpersandsMarkupAndBytesAreShownAndKeptAsWritten) {
    label.setCaption("Salt & Pepper");
    const int asWritten = label.width();
    label.setCaption("Salt  Pepper");
    EXPECT_GT(asWritten, label.width());  // the "&" takes room: it was drawn

    label.setCaption("<b>Wardens</b>");
    EXPECT_EQ(label.caption(), "<b>Wardens</b>");
    Label plain(form, "lblPlain");
    plain.setAutoSize(true);
    plain.setCaption("Wardens");
    EXPECT_GT(label.width(), plain.width());  // the tags were not taken for markup

    label.setUseMnemonic(true);
    label.setCaption("&New Owner");
    plain.setCaption("New Owner");
    EXPECT_EQ(label.width(), plain.width());

    const std::string windows1252("D\xFAn Bria");
    label.setCaption(windows1252);
    EXPECT_EQ(label.caption(), windows1252);
}

TEST_F(LabelTest, ForeColourAndOpaqueBackgroundAreDrawn) {
    form.setBackColor(kWhite);
    label.setCaption("\xE2\x96\x88\xE2\x96\x88\xE2\x96\x88");  // full blocks
    label.setForeColor(rgb(0, 0, 255));
    EXPECT_TRUE(probe::showsColourAnywhere(label, rgb(0, 0, 255)));

    Label box(form, "lblBox");
    box.move(0, 0, 300, 300);
    box.setBackColor(rgb(255, 0, 0));
    box.setOpaque(true);
    EXPECT_EQ(probe::shownPixel(box, 5, 5), rgb(255, 0, 0));
}

}  // namespace
}  // namespace tw::forms
