// Pictures made by drawing, on either window system: the pixels land where they were drawn,
// in the colour drawn; text measures; copies share one picture and one shell icon.
#include <gtest/gtest.h>

#include "forms/drawn_picture.h"

namespace tw::forms {
namespace {

// The picture's pixels, straight (not premultiplied), read back through the recolouring.
std::vector<Rgba> pixelsOf(const Picture& picture) {
    std::vector<Rgba> pixels;
    mapPixels(picture, [&](Rgba c) {
        pixels.push_back(c);
        return c;
    });
    return pixels;
}

struct Pixels {
    explicit Pixels(const Picture& picture) : width(picture.width()), all(pixelsOf(picture)) {}
    Rgba at(int x, int y) const { return all.at(static_cast<std::size_t>(y * width + x)); }
    int width;
    std::vector<Rgba> all;
};

void expectColour(Rgba c, int red, int green, int blue, int alpha) {
    EXPECT_EQ(c.red, red);
    EXPECT_EQ(c.green, green);
    EXPECT_EQ(c.blue, blue);
    EXPECT_EQ(c.alpha, alpha);
}

TEST(DrawnPicture, IsTheSizeAskedClearWhereNothingWasDrawnAndScaledWhereAsked) {
    const Picture picture = drawPicture(20, 10, [](DrawingSurface& s) {
        s.drawRect({2, 3, 4, 5}, solidFill(rgb(200, 40, 10)), std::nullopt);
        s.setScale(2);
        s.drawRect({8, 1, 1, 1}, solidFill(rgb(0, 0, 255)), std::nullopt);  // pixels 16..17, 2..3
    });
    ASSERT_EQ(picture.width(), 20);
    ASSERT_EQ(picture.height(), 10);
    const Pixels drawn(picture);
    ASSERT_EQ(drawn.all.size(), 200u);
    expectColour(drawn.at(2, 3), 200, 40, 10, 255);  // red in the low byte became red
    expectColour(drawn.at(5, 7), 200, 40, 10, 255);
    EXPECT_EQ(drawn.at(6, 3).alpha, 0);  // a rectangle ends before left + width
    EXPECT_EQ(drawn.at(2, 8).alpha, 0);
    EXPECT_EQ(drawn.at(0, 0).alpha, 0);
    expectColour(drawn.at(17, 3), 0, 0, 255, 255);
    EXPECT_EQ(drawn.at(8, 1).alpha, 0);

    const Picture grey = mapPixels(picture, [](Rgba c) { return Rgba{c.alpha, c.alpha, c.alpha, c.alpha / 2}; });
    const Rgba half = Pixels(grey).at(2, 3);
    EXPECT_EQ(half.alpha, 127);
    EXPECT_NEAR(half.red, 255, 2) << "a translucent pixel keeps its colour";
    EXPECT_EQ(Pixels(grey).at(0, 0).alpha, 0);
    expectColour(Pixels(picture).at(2, 3), 200, 40, 10, 255);  // the original stays as drawn
    EXPECT_TRUE(drawPicture(0, 5, [](DrawingSurface&) { ADD_FAILURE() << "nothing to draw on"; }).isNull());
}

TEST(DrawnPicture, OutlinesPathsAndTextLandInsideTheirBounds) {
    int wide = 0, narrow = 0, height = 0, ascent = 0;
    const Picture picture = drawPicture(40, 20, [&](DrawingSurface& s) {
        s.drawRect({0.5, 0.5, 9, 9}, std::nullopt, Pen{rgb(0, 128, 0), 1, false});
        Path triangle;
        triangle.moveTo({20, 0});
        triangle.lineTo({30, 0});
        triangle.lineTo({20, 10});
        triangle.close();
        s.drawPath(triangle, solidFill(rgb(0, 0, 0)), std::nullopt);
        wide = s.textWidth("WWWW", Font{});
        narrow = s.textWidth("W", Font{});
        height = s.textHeight(Font{});
        ascent = s.textAscent(Font{});
        s.drawText("W", {0, 10, 40, 10}, Font{}, kBlack, Alignment::Left, VerticalAlignment::Top);
    });
    const Pixels drawn(picture);
    expectColour(drawn.at(0, 0), 0, 128, 0, 255);
    expectColour(drawn.at(9, 5), 0, 128, 0, 255);
    EXPECT_EQ(drawn.at(5, 5).alpha, 0) << "an outline leaves the inside alone";
    EXPECT_EQ(drawn.at(21, 1).alpha, 255);
    EXPECT_EQ(drawn.at(28, 8).alpha, 0) << "the far side of the diagonal";
    EXPECT_GT(narrow, 0);
    EXPECT_NEAR(wide, 4 * narrow, 2);
    EXPECT_GT(height, ascent);
    EXPECT_GT(ascent, 0);
    int inked = 0;
    for (int y = 10; y < 20; ++y)
        for (int x = 0; x < 40; ++x) inked += drawn.at(x, y).alpha > 0;
    EXPECT_GT(inked, 5) << "the letter was drawn";
}

TEST(DrawnPicture, CopiesAreOnePictureWithOneShellIcon) {
    auto dot = [] { return drawPicture(16, 16, [](DrawingSurface& s) { s.drawRect({4, 4, 8, 8}, solidFill(kBlack), std::nullopt); }); };
    const Picture first = dot();
    const Picture copy = first;
    const Picture second = dot();
    EXPECT_EQ(first, copy);
    EXPECT_FALSE(first == second);
    EXPECT_EQ(Picture(), Picture());
    EXPECT_NE(iconHandle(first), 0u);
    EXPECT_EQ(iconHandle(first), iconHandle(copy));
    EXPECT_NE(iconHandle(first), iconHandle(second));
    EXPECT_EQ(iconHandle(Picture()), 0u);
}

}  // namespace
}  // namespace tw::forms
