#include "app/artwork.h"

#include <utility>

#include "app/shades.h"
#include "forms/drawn_picture.h"

namespace tw {
namespace {

using forms::Colour;
using forms::DrawingSurface;
using forms::Point;
using forms::rgb;

// Pixel art: 'X' outline, '.' fill, anything else left clear.
void drawPixelArt(DrawingSurface& s, const char* const rows[], int rowCount, Colour outline, Colour fill) {
    for (int y = 0; y < rowCount; ++y)
        for (int x = 0; rows[y][x]; ++x) {
            const char c = rows[y][x];
            if (c == 'X') s.drawRect({double(x), double(y), 1, 1}, forms::solidFill(outline), std::nullopt);
            else if (c == '.') s.drawRect({double(x), double(y), 1, 1}, forms::solidFill(fill), std::nullopt);
        }
}

void setPixel(DrawingSurface& s, int x, int y, Colour colour) {
    s.drawRect({double(x), double(y), 1, 1}, forms::solidFill(colour), std::nullopt);
}

// A heater shield filling the rectangle, its point at the bottom centre.
forms::Path shieldPath(const forms::Rect& r) {
    const double left = r.left, top = r.top, right = r.left + r.width, bottom = r.top + r.height;
    const double mid = left + r.width / 2;
    const double shoulder = top + r.height * 0.45;
    forms::Path path;
    path.moveTo({left, top});
    path.lineTo({right, top});
    path.lineTo({right, shoulder});
    path.cubicTo({right, top + r.height * 0.75}, {mid + r.width * 0.25, bottom - r.height * 0.08}, {mid, bottom});
    path.cubicTo({mid - r.width * 0.25, bottom - r.height * 0.08}, {left, top + r.height * 0.75}, {left, shoulder});
    path.close();
    return path;
}

void paintShield(DrawingSurface& s, const forms::Rect& r, Colour base) {
    forms::Fill shade;
    shade.from = {r.left, r.top};
    shade.to = {r.left + r.width, r.top + r.height};
    shade.stops = {{0, lighterShade(base, 135)}, {1, darkerShade(base, 150)}};
    s.setAntialiasing(true);
    s.drawPath(shieldPath(r), shade, forms::Pen{darkerShade(base, 300), 1});
    s.setAntialiasing(false);
}

void fill(DrawingSurface& s, int left, int top, int width, int height, Colour colour) {
    s.drawRect({double(left), double(top), double(width), double(height)}, forms::solidFill(colour), std::nullopt);
}

constexpr Colour kStone = rgb(238, 230, 206);
constexpr Colour kStoneShadow = rgb(178, 166, 140);
constexpr Colour kMortar = rgb(40, 36, 30);
constexpr Colour kProgramBlue = rgb(52, 78, 150);

// The program icon on its 32-pixel grid; the surface's scale sets the size drawn.
void paintProgramIcon(DrawingSurface& s) {
    paintShield(s, {2.5, 2.5, 27, 28}, kProgramBlue);

    // The tower: battlement with three merlons, a shaft with a slit window and a gate.
    fill(s, 9, 6, 3, 3, kMortar);
    fill(s, 14, 6, 4, 3, kMortar);
    fill(s, 20, 6, 3, 3, kMortar);
    fill(s, 9, 9, 14, 4, kMortar);
    fill(s, 11, 13, 10, 12, kMortar);
    fill(s, 10, 7, 1, 5, kStone);
    fill(s, 15, 7, 2, 5, kStone);
    fill(s, 21, 7, 1, 5, kStone);
    fill(s, 10, 10, 12, 2, kStone);
    fill(s, 12, 12, 8, 12, kStone);
    fill(s, 18, 12, 2, 12, kStoneShadow);  // the shaded side
    fill(s, 15, 14, 2, 3, kMortar);        // window slit
    fill(s, 14, 20, 4, 4, kMortar);        // gate
    fill(s, 15, 19, 2, 1, kMortar);
    // A pennant on the middle merlon.
    fill(s, 16, 1, 1, 6, kMortar);
    fill(s, 17, 1, 3, 2, rgb(200, 40, 40));
}

// The same tower on a 16-pixel grid, plain enough to read at tray size.
void paintSmallIcon(DrawingSurface& s, Colour shield) {
    paintShield(s, {0.5, 0.5, 15, 15}, shield);
    fill(s, 4, 3, 8, 9, kMortar);
    fill(s, 5, 4, 1, 3, kStone);
    fill(s, 7, 4, 2, 3, kStone);
    fill(s, 10, 4, 1, 3, kStone);
    fill(s, 5, 6, 6, 5, kStone);
    fill(s, 7, 9, 2, 2, kMortar);  // gate
}

}  // namespace

forms::Picture programIcon() { return programIcon(32); }

forms::Picture programIcon(int size) {
    return forms::drawPicture(size, size, [size](DrawingSurface& s) {
        // Below 32 pixels the one-pixel details of the large drawing would blur away.
        const bool small = size < 32;
        s.setScale(size / (small ? 16.0 : 32.0));
        if (small) paintSmallIcon(s, kProgramBlue);
        else paintProgramIcon(s);
    });
}

forms::Picture staleIcon() {
    // The tower faded to grey: the colours are what tells a player the ownership is live.
    return forms::mapPixels(programIcon(), [](forms::Rgba c) {
        const int faded = 96 + (c.red * 11 + c.green * 16 + c.blue * 5) / 32 * 5 / 8;
        return forms::Rgba{faded, faded, faded, c.alpha};
    });
}

forms::Picture alertIcon(Colour tint) {
    return forms::drawPicture(16, 16, [tint](DrawingSurface& s) { paintSmallIcon(s, tint); });
}

forms::Picture hammerPicture() {
    static const char* const rows[] = {
        " XXXXXXXXXXX ",
        "X...........X",
        "X...........X",
        "X...........X",
        " XXXXX.XXXXX ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "    X...X    ",
        "    X...X    ",
        "     X.X     ",
        "      X      ",
    };
    return forms::drawPicture(13, 13, [&](DrawingSurface& s) {
        drawPixelArt(s, rows, 13, rgb(24, 30, 70), rgb(160, 170, 200));
        for (int x = 1; x <= 11; ++x) setPixel(s, x, 3, rgb(105, 115, 150));  // underside of the head
        for (int x = 2; x <= 4; ++x) setPixel(s, x, 1, rgb(225, 230, 245));   // a glint
        for (int y = 4; y <= 8; ++y) setPixel(s, 6, y, rgb(140, 90, 40));    // the wooden grip
    });
}

forms::Picture cupPicture() {
    static const char* const rows[] = {
        "XXXXXXXXXXXXX",
        "X...........X",
        "X...........X",
        " X.........X ",
        " X.........X ",
        "  X.......X  ",
        "   XX...XX   ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "   XX...XX   ",
        "  X.......X  ",
        "  XXXXXXXXX  ",
    };
    return forms::drawPicture(13, 13, [&](DrawingSurface& s) {
        drawPixelArt(s, rows, 13, rgb(110, 20, 20), rgb(232, 188, 60));
        for (int x = 2; x <= 4; ++x) setPixel(s, x, 2, rgb(255, 238, 170));  // a glint
    });
}

forms::Picture treePicture() {
    static const char* const rows[] = {
        "    XXXXX    ",
        "  XX.....XX  ",
        " X.........X ",
        "X...........X",
        "X...........X",
        "X...........X",
        " X.........X ",
        "  XXX...XXX  ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "    X...X    ",
        "   XXXXXXX   ",
    };
    return forms::drawPicture(13, 13, [&](DrawingSurface& s) {
        drawPixelArt(s, rows, 13, rgb(10, 60, 15), rgb(50, 160, 60));
        const Colour bark = rgb(120, 75, 35);
        for (int y = 7; y <= 11; ++y) setPixel(s, 6, y, bark);
        setPixel(s, 5, 11, bark);
        setPixel(s, 7, 11, bark);
        for (const auto& [x, y] : {std::pair{4, 2}, std::pair{3, 3}, std::pair{5, 3}, std::pair{8, 4}})
            setPixel(s, x, y, rgb(120, 210, 110));
    });
}

forms::Picture handCursor() {
    static const char* const rows[] = {
        "    XX          ",
        "   X..X         ",
        "   X..X         ",
        "   X..X         ",
        "   X..X         ",
        "   X..XXX       ",
        "   X..X..XXX    ",
        "   X..X..X..XXX ",
        "   X..X..X..X..X",
        " XXX..X..X..X..X",
        "X..X..X..X..X..X",
        "X..X...........X",
        "X..............X",
        " X.............X",
        " X.............X",
        "  X............X",
        "  X...........X ",
        "   X..........X ",
        "   X.........X  ",
        "    X........X  ",
        "    X........X  ",
        "    XXXXXXXXXX  ",
    };
    return forms::drawPicture(32, 32, [&](DrawingSurface& s) { drawPixelArt(s, rows, 22, forms::kBlack, forms::kWhite); });
}

HotSpot handCursorHotSpot() { return {5, 0}; }

forms::Picture donateButtonPicture() {
    return forms::drawPicture(62, 31, [](DrawingSurface& s) {
        s.setAntialiasing(true);
        forms::Fill gold;
        gold.from = {0.5, 0.5};
        gold.to = {0.5, 30.5};
        gold.stops = {{0, rgb(255, 228, 130)}, {0.5, rgb(250, 190, 60)}, {1, rgb(225, 140, 20)}};
        s.drawRect({0.5, 0.5, 61, 30}, gold, forms::Pen{rgb(140, 80, 10), 1}, 9);
        s.drawLine({8, 2.5}, {54, 2.5}, forms::Pen{rgb(255, 248, 215), 1});  // a highlight under the top edge

        forms::Font font;
        font.name = "DejaVu Sans";
        font.size = 9.75;  // 13 pixels
        font.bold = true;
        s.drawText("Donate", {0, 0, 62, 30}, font, rgb(20, 38, 100), forms::Alignment::Center,
                   forms::VerticalAlignment::Center);
    });
}

}  // namespace tw
