// The paint box a form draws on: it shows what its paint handler draws, and the mouse
// arrives in the box's own pixels.
#include <gtest/gtest.h>

#include "forms/form.h"
#include "forms/paint_box.h"
#include "forms_probe.h"

namespace tw::forms {
namespace {

namespace probe = tw::testing;

TEST(PaintBox, ShowsWhatOnPaintDrawsAndHearsTheMouseInItsOwnPixels) {
    Form form("frmPaint");
    PaintBox box(form, "picBox");
    box.move(150, 300, 600, 450);  // 10, 20, 40 x 30 pixels
    int paints = 0;
    box.onPaint = [&](DrawingSurface& s) {
        ++paints;
        s.drawRect({0, 0, 40, 30}, solidFill(kWhite), std::nullopt);
        s.drawLine({0, 29}, {39, 29}, Pen{rgb(0, 128, 0)});
    };
    ASSERT_EQ(probe::shownSize(box), Size(40, 30));
    EXPECT_GT(paints, 0);
    EXPECT_EQ(probe::shownPixel(box, 20, 29), rgb(0, 128, 0));
    EXPECT_EQ(probe::shownPixel(box, 20, 28), kWhite);

    int movedX = -1, movedY = -1, left = 0;
    box.onMouseMove = [&](int x, int y) { movedX = x, movedY = y; };
    box.onMouseLeave = [&] { ++left; };
    probe::moveMouseOver(box, 7, 9);
    EXPECT_EQ(movedX, 7);
    EXPECT_EQ(movedY, 9);
    probe::moveMouseAway(box);
    EXPECT_EQ(left, 1);
}

}  // namespace
}  // namespace tw::forms
